// The real program on Xvfb and a private PulseAudio server.
#include "content/list_file.h"
#include "content/project_file.h"
#include "e2e_harness.h"
#include "fixture_writers.h"
#include "recording.h"

#include <QFile>
#include <QImage>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using vokrin::e2e::Program;
using vokrin::e2e::Recording;
using vokrin::e2e::SoundServer;
using vokrin::e2e::XServer;

const QString kTitle = QStringLiteral("Вокрин");

// Waits for the splash (265 x 352, centred) and then the main window; returns the main
// window's id.
QString waitForMainWindow(const XServer &x, QString *splash = nullptr)
{
    const QString first = x.waitForWindow(kTitle, 120000);
    if (splash != nullptr)
        *splash = first;
    for (int attempt = 0; attempt < 1200; ++attempt) {
        for (const QString &window : x.windowsNamed(kTitle)) {
            if (x.geometry(window).width() == 761)
                return window;
        }
        QThread::msleep(100);
    }
    return {};
}

TEST(AppE2E, SplashThenMainWindowInItsPlaceAndClosingEndsWithZero)
{
    XServer x;
    if (!x.running())
        GTEST_SKIP() << x.why().toStdString();
    SoundServer sound;
    if (!sound.running())
        GTEST_SKIP() << sound.why().toStdString();
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

// Not working yet: the list file typed into the open dialog is not accepted under
// xdotool (the dialog stays open), so this scenario stays off until that is solved.
TEST(AppE2E, DISABLED_AListOpenedFromItsFilePlaysItsFirstEntryOnEnterAndClosingWhilePlayingEndsCleanly)
{
    XServer x;
    if (!x.running())
        GTEST_SKIP() << x.why().toStdString();
    SoundServer sound;
    if (!sound.running())
        GTEST_SKIP() << sound.why().toStdString();
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
    EXPECT_EQ(x.geometry(window), QRect(121, 129, 761, 577));
    EXPECT_TRUE(x.waitForWindowGone(splash, 30000)) << "the splash is destroyed";
    EXPECT_TRUE(x.screenshot(work + "/main.png"));

    // Open the list: SpeedButton8 is the first button of the panel's lower row.
    ASSERT_TRUE(x.click(window, QPoint(761 - 224 + 8 + 14, 80 + 12)));
    const QString dialog = x.waitForNewWindow({window}, 60000);
    ASSERT_FALSE(dialog.isEmpty()) << "no file dialog";
    ASSERT_TRUE(x.typeText(dialog, work + "/songs.lyl"));
    // The first Return may only take the file name completer's choice.
    ASSERT_TRUE(x.sendKeys(dialog, {"Return"}));
    if (!x.waitForWindowGone(dialog, 3000))
        x.sendKeys(dialog, {"Return"});
    ASSERT_TRUE(x.waitForWindowGone(dialog, 30000));

    ASSERT_TRUE(sound.startRecording(work + "/heard.raw"));
    ASSERT_TRUE(x.sendKeys(window, {"Return"}));
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

TEST(AppE2E, WithoutASoundServerTheDeviceMessageShowsAndTheProgramEndsWithZero)
{
    XServer x;
    if (!x.running())
        GTEST_SKIP() << x.why().toStdString();
    Program vokrin(x, nullptr);
    ASSERT_TRUE(vokrin.started());
    const QString splash = x.waitForWindow(kTitle, 120000);
    ASSERT_FALSE(splash.isEmpty());
    const QString box = x.waitForWindow(QStringLiteral("Bass Initialize problem"), 120000);
    ASSERT_FALSE(box.isEmpty()) << "no \"Can't initialize device\" box";
    EXPECT_TRUE(x.screenshot(vokrin.workDir() + "/no-device.png"));
    ASSERT_TRUE(x.sendKeys(box, {"Return"}));
    EXPECT_EQ(vokrin.waitForExit(60000), 0);
    EXPECT_TRUE(x.windowsNamed(kTitle).size() <= 1) << "no main window is shown";
}

} // namespace
