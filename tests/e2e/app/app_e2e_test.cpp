// The real program on Xvfb and a private PulseAudio server.
#include "content/list_file.h"
#include "content/project_file.h"
#include "e2e_harness.h"
#include "fixture_writers.h"
#include "main_window_driver.h"
#include "recording.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

namespace {

using vokrin::e2e::kProgramTitle;
using vokrin::e2e::openListFile;
using vokrin::e2e::Program;
using vokrin::e2e::Recording;
using vokrin::e2e::waitForMainWindow;
using vokrin::e2e::XServer;

TEST(AppE2E, SplashThenMainWindowInItsPlaceAndClosingEndsWithZero)
{
    VOKRIN_E2E_SERVERS(x, sound);
    Program vokrin(x, &sound);
    ASSERT_TRUE(vokrin.started());
    QString splash;
    const QString window = waitForMainWindow(x, &splash);
    ASSERT_FALSE(splash.isEmpty()) << "no splash window";
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    EXPECT_EQ(x.geometry(window), QRect(121, 129, 761, 577));
    EXPECT_TRUE(x.waitForWindowGone(splash, 30000)) << "the splash is destroyed";
    EXPECT_TRUE(x.screenshot(vokrin.workDir() + "/main.png"));
    ASSERT_TRUE(x.closeWindow(window));
    EXPECT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
}

TEST(AppE2E, AListOpenedFromItsFilePlaysItsFirstEntryOnEnterAndClosingWhilePlayingEndsCleanly)
{
    VOKRIN_E2E_SERVERS(x, sound);
    Program vokrin(x, &sound);
    ASSERT_TRUE(vokrin.started());

    // A song of a steady 660 Hz tone, in a list file.
    const QString work = vokrin.workDir();
    const std::string track = (work + "/tone.wav").toStdString();
    ASSERT_TRUE(vokrin::fixtures::writeWav(track, vokrin::fixtures::sine(44100, 2, 20, 660, 0.5)));
    vokrin::content::SongProject project;
    project.backingTrackName = QByteArray::fromStdString(track);
    project.lines = {"la", "la la"};
    project.cues = {44100, 88200};
    vokrin::content::writeProjectFile(work + "/tone.lyp", project);
    vokrin::content::writeListFile(work + "/songs.lyl", {work + "/tone.lyp"});

    QString splash;
    const QString window = waitForMainWindow(x, &splash);
    ASSERT_FALSE(splash.isEmpty()) << "no splash window";
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    EXPECT_TRUE(x.waitForWindowGone(splash, 30000)) << "the splash is destroyed";

    // The real file dialog, with the list's full path typed into its name box.
    const QString opened = openListFile(x, window, work + "/songs.lyl");
    ASSERT_TRUE(opened.isEmpty()) << opened.toStdString();

    ASSERT_TRUE(sound.startRecording(work + "/heard.raw"));
    ASSERT_GE(vokrin::e2e::pressEnterToPlay(x, window, work + "/heard.raw", 0.05), 0)
        << "Enter played nothing";
    // Four seconds of the track as the sound server plays it, in real time: that stretch
    // of the recording is what is measured.
    QThread::sleep(4);
    sound.stopRecording();
    const Recording heard = Recording::load(work + "/heard.raw");
    ASSERT_GT(heard.frames(), 44100u) << "the recording is too short";
    const std::size_t loudest = heard.loudestWindow(8820);
    EXPECT_GT(heard.rms(loudest, 8820), 0.1) << "the track is not heard";
    EXPECT_NEAR(heard.toneFrequency(loudest, 8820), 660, 15);

    // Closing the window while the track plays ends the program with exit code 0.
    ASSERT_TRUE(x.closeWindow(window));
    EXPECT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
}

// Waits up to `timeoutMs` for what the main window shows to satisfy `shows`.
bool waitForPicture(const XServer &x, const QString &window,
                    const std::function<bool(const QImage &)> &shows, int timeoutMs = 20000)
{
    return vokrin::e2e::waitUntil(
        [&] {
            const QImage picture = x.grab(window);
            return !picture.isNull() && shows(picture);
        },
        timeoutMs);
}

TEST(AppE2E, WithTheCatalogueClickedEscCollapsesThePanelOnceAndCtrlRLightsTheReverb)
{
    VOKRIN_E2E_SERVERS(x, sound);
    Program vokrin(x, &sound);
    ASSERT_TRUE(vokrin.started());
    const QString work = vokrin.workDir();
    const std::string track = (work + "/tone.wav").toStdString();
    ASSERT_TRUE(vokrin::fixtures::writeWav(track, vokrin::fixtures::sine(44100, 2, 5, 440, 0.3)));
    vokrin::content::SongProject project;
    project.backingTrackName = QByteArray::fromStdString(track);
    project.lines = {"WWWWWWWW", "WWWWWWWW"};
    project.cues = {44100, 88200};
    vokrin::content::writeProjectFile(work + "/tone.lyp", project);
    vokrin::content::writeListFile(work + "/songs.lyl", {work + "/tone.lyp"});

    const QString window = waitForMainWindow(x);
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    const QString opened = openListFile(x, window, work + "/songs.lyl");
    ASSERT_TRUE(opened.isEmpty()) << opened.toStdString();

    // A click on the entry loads its lines (white on the black list) and gives the
    // catalogue the keyboard focus.
    ASSERT_TRUE(x.click(window, vokrin::e2e::kFirstCatalogueEntry));
    EXPECT_TRUE(x.screenshot(work + "/clicked.png"));
    ASSERT_TRUE(waitForPicture(x, window, [](const QImage &shown) {
        return vokrin::e2e::lookOfLine(shown, 0) == vokrin::e2e::LineLook::Unlit;
    })) << "the click on the entry loaded no project";

    // The column near the right edge: control panel while it shows, lyric list without it.
    const auto listReachesTheRightEdge = [](const QImage &shown) {
        for (int y = 5; y < shown.height() - 5; y += 4) {
            if ((shown.pixel(shown.width() - 30, y) & 0xFFFFFF) != 0)
                return false;
        }
        return true;
    };
    const QPoint reverLed = vokrin::e2e::kReverbLed;
    const auto reverLit = [reverLed](const QImage &shown) {
        return (shown.pixel(reverLed) & 0xFFFFFF) == 0x00FF00;
    };
    const auto reverUnlit = [reverLed](const QImage &shown) {
        return (shown.pixel(reverLed) & 0xFFFFFF) == 0x008000;
    };
    ASSERT_TRUE(waitForPicture(x, window, reverUnlit)) << "the panel with its unlit LEDs shows";
    ASSERT_FALSE(listReachesTheRightEdge(x.grab(window)));

    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("Escape")}));
    EXPECT_TRUE(waitForPicture(x, window, listReachesTheRightEdge))
        << "Esc did not leave the lyric list over the whole width";
    EXPECT_TRUE(x.screenshot(work + "/collapsed.png"));
    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("Escape")}));
    EXPECT_TRUE(waitForPicture(x, window, reverUnlit)) << "the next Esc brought the panel back";

    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("ctrl+r")}));
    EXPECT_TRUE(waitForPicture(x, window, reverLit)) << "Ctrl+R did not light the reverb";
    EXPECT_TRUE(x.screenshot(work + "/reverb.png"));

    ASSERT_TRUE(x.closeWindow(window));
    EXPECT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
}

TEST(AppE2E, WithoutASoundServerTheDeviceMessageShowsAndTheProgramEndsWithZero)
{
    XServer x;
    if (!x.running())
        GTEST_SKIP() << x.why().toStdString();
    Program vokrin(x, nullptr);
    ASSERT_TRUE(vokrin.started());
    const QString splash = x.waitForWindow(kProgramTitle, 120000);
    ASSERT_FALSE(splash.isEmpty());
    const QString box = x.waitForWindow(QStringLiteral("Bass Initialize problem"), 120000);
    ASSERT_FALSE(box.isEmpty()) << "no \"Can't initialize device\" box";
    EXPECT_TRUE(x.screenshot(vokrin.workDir() + "/no-device.png"));
    ASSERT_TRUE(x.sendKeys(box, {"Return"}));
    EXPECT_EQ(vokrin.waitForExit(60000), 0);
    EXPECT_TRUE(x.windowsNamed(kProgramTitle).size() <= 1) << "no main window is shown";
}

} // namespace
