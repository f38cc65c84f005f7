// The songs' folder goes away while a song plays (a USB stick pulled out, a folder
// deleted): the backing track is deleted and its folder removed. The program goes on
// answering keys, the song ends, and a later Play starts nothing and shows no box, as for
// any project whose track is missing.
#include "content/list_file.h"
#include "content/project_file.h"
#include "e2e_harness.h"
#include "fixture_writers.h"
#include "main_window_driver.h"
#include "recording.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

using vokrin::e2e::LineLook;
using vokrin::e2e::lookOfLine;
using vokrin::e2e::Program;
using vokrin::e2e::Recording;
using vokrin::e2e::waitUntil;
using vokrin::e2e::waitUntilShown;

constexpr double kRate = 44100;
constexpr double kTrackSeconds = 8;
constexpr int kLines = 4;
// A 16-bit stereo track at 44100 Hz: a cue is 4 bytes a frame.
constexpr quint32 cueAt(double seconds)
{
    return static_cast<quint32>(seconds * kRate) * 4;
}

std::vector<LineLook> linesShown(const QImage &window)
{
    std::vector<LineLook> looks;
    for (int line = 0; line < kLines; ++line)
        looks.push_back(lookOfLine(window, line));
    return looks;
}

// The windows on the screen that could be a message box or any other window the program
// opens; tooltips, which come and go with the mouse, are not counted.
std::string windowsShown(const vokrin::e2e::XServer &x)
{
    QStringList shown;
    for (const QString &window : x.visibleWindows())
        if (x.geometry(window).height() >= 60)
            shown.append(window);
    shown.sort();
    return shown.join(QLatin1Char(' ')).toStdString();
}

std::string describe(const std::vector<LineLook> &looks)
{
    std::string text;
    for (LineLook look : looks)
        text += look == LineLook::Lit ? " LIT" : look == LineLook::Unlit ? " -" : " ?";
    return text;
}

struct Where
{
    const char *name;
    bool projectOnTheStick; // the project file goes with the folder, or stays
};

void PrintTo(const Where &where, std::ostream *os)
{
    *os << where.name;
}

class VanishingTrackE2E : public ::testing::TestWithParam<Where>
{
};

TEST_P(VanishingTrackE2E, KeysAnsweredSongEndsAndTheNextPlayStartsNothingAndShowsNoBox)
{
    const Where where = GetParam();
    VOKRIN_E2E_SERVERS(x, sound);
    Program vokrin(x, &sound, vokrin::e2e::kRedHintSettings);
    ASSERT_TRUE(vokrin.started());

    // The stick: an 8-second tone as lame makes it without a Xing frame (so the engine's
    // scan reads the file as well), and, in one case, the project beside it.
    const QString work = vokrin.workDir();
    const QString stick = work + "/stick";
    ASSERT_TRUE(QDir().mkpath(stick));
    const std::string wav = (work + "/tone.wav").toStdString();
    const QString track = stick + "/tone.mp3";
    ASSERT_TRUE(
        vokrin::fixtures::writeWav(wav, vokrin::fixtures::sine(44100, 2, kTrackSeconds, 440, 0.4)));
    ASSERT_TRUE(vokrin::fixtures::encodeMp3(wav, track.toStdString(),
                                            vokrin::fixtures::Mp3Mode::VbrWithoutTag))
        << "lame is missing";
    vokrin::content::SongProject project;
    project.backingTrackName = QFile::encodeName(track);
    project.lines = {"WWWWWWWW", "WWWWWWWW", "WWWWWWWW", "WWWWWWWW"};
    project.cues = {cueAt(0.5), cueAt(2), cueAt(4), cueAt(6)};
    const QString projectFile = (where.projectOnTheStick ? stick : work) + "/tone.lyp";
    vokrin::content::writeProjectFile(projectFile, project);
    vokrin::content::writeListFile(work + "/songs.lyl", {projectFile});

    const QString window = vokrin::e2e::waitForMainWindow(x);
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    const QString opened = vokrin::e2e::openListFile(x, window, work + "/songs.lyl");
    ASSERT_TRUE(opened.isEmpty()) << opened.toStdString();

    const QString heardFile = work + "/heard.raw";
    ASSERT_TRUE(sound.startRecording(heardFile));
    const std::int64_t start = vokrin::e2e::pressEnterToPlay(x, window, heardFile, 0.05);
    ASSERT_GE(start, 0) << "Enter played nothing";
    ASSERT_TRUE(waitUntilShown(x, window, [](const QImage &shown) {
        return lookOfLine(shown, 0) == LineLook::Lit;
    })) << "the first line was never lit";

    // The folder goes away with the song in it.
    ASSERT_TRUE(QFile::remove(track));
    ASSERT_TRUE(QDir(stick).removeRecursively());
    ASSERT_FALSE(QFileInfo::exists(stick));
    const double heardAtRemoval = (sound.recordedFrames() - start) / kRate;

    // The program answers keys at once: Esc collapses the panel and brings it back, R
    // lights the reverb.
    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("Escape")}));
    EXPECT_TRUE(waitUntilShown(x, window, vokrin::e2e::controlPanelHidden))
        << "Esc did not collapse the panel";
    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("Escape")}));
    EXPECT_TRUE(waitUntilShown(x, window, vokrin::e2e::reverbLedUnlit))
        << "Esc did not bring the panel back";
    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("r")}));
    EXPECT_TRUE(waitUntilShown(x, window, vokrin::e2e::reverbLedLit))
        << "R did not light the reverb";

    // The song goes on to its end from the open file: the last line is lit, and then the
    // sound stops (the reverb's tail too) and stays stopped.
    EXPECT_TRUE(waitUntilShown(
        x, window,
        [](const QImage &shown) { return lookOfLine(shown, kLines - 1) == LineLook::Lit; }, 60000))
        << "the last line was never lit";
    EXPECT_TRUE(waitUntil(
        [&] {
            return sound.recordedFrames() - start > kTrackSeconds * kRate &&
                   Recording::tailRms(heardFile, 44100) >= 0 &&
                   Recording::tailRms(heardFile, 44100) < 0.001;
        },
        60000))
        << "the sound did not stop after the end of the track";
    sound.stopRecording();
    const Recording heard = Recording::load(heardFile);
    std::int64_t lastLoud = -1;
    for (std::size_t frame = static_cast<std::size_t>(start); frame < heard.frames(); ++frame)
        if (std::abs(heard.samples[2 * frame]) > 0.05 * 32768)
            lastLoud = static_cast<std::int64_t>(frame);
    const double heardSeconds = (lastLoud - start) / kRate;
    EXPECT_GE(heardSeconds, kTrackSeconds - 0.5)
        << "the song stopped early, " << heardAtRemoval << " s in when its folder went away";
    // Silent from the end on, with no new start (the reverb's tail lasts a few seconds).
    EXPECT_LE(heardSeconds, kTrackSeconds + 5.0);

    // A later Play: Enter. Nothing is heard, no box opens, and the lines stay as the
    // project left them; Esc after it, whose collapsed panel shows, is answered as usual.
    const QImage ended = x.grab(window);
    ASSERT_FALSE(ended.isNull());
    const std::vector<LineLook> linesAtEnd = linesShown(ended);
    ASSERT_EQ(linesAtEnd.back(), LineLook::Lit) << describe(linesAtEnd);
    const std::string windowsBefore = windowsShown(x);
    const QString againFile = work + "/again.raw";
    ASSERT_TRUE(sound.startRecording(againFile));
    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("Return")}));
    // A Play that started would be heard, and a box seen, well within this.
    const auto somethingCame = [&] {
        return windowsShown(x) != windowsBefore ||
               Recording::load(againFile).firstFrameAbove(0.01) >= 0;
    };
    waitUntil(somethingCame, 3000);
    EXPECT_EQ(windowsShown(x), windowsBefore) << "a window opened";
    EXPECT_EQ(Recording::load(againFile).firstFrameAbove(0.01), -1) << "Play started something";
    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("Escape")}));
    EXPECT_TRUE(waitUntilShown(x, window, vokrin::e2e::controlPanelHidden))
        << "Esc after the Play that did not start was not answered";
    // Enter was handled before Esc: a start it made would be heard by now or soon.
    EXPECT_EQ(Recording::waitForFrameAbove(againFile, 0.01, 2000), -1) << "Play started something";
    sound.stopRecording();
    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("Escape")}));
    ASSERT_TRUE(waitUntilShown(x, window, vokrin::e2e::reverbLedLit));
    const std::vector<LineLook> linesAfter = linesShown(x.grab(window));
    if (where.projectOnTheStick) {
        // The project file went with the stick: the loader has nothing to read, and the
        // list shows what it showed.
        EXPECT_EQ(linesAfter, linesAtEnd) << describe(linesAfter);
    } else {
        // The project was read again (its lines, none lit); the track it names is missing.
        EXPECT_EQ(linesAfter, std::vector<LineLook>(kLines, LineLook::Unlit))
            << describe(linesAfter);
    }
    EXPECT_TRUE(x.screenshot(work + "/after.png"));

    ASSERT_TRUE(x.closeWindow(window));
    EXPECT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Stick, VanishingTrackE2E,
                         ::testing::Values(Where{"ProjectOnTheStick", true},
                                           Where{"ProjectKept", false}),
                         [](const auto &param) { return std::string(param.param.name); });

} // namespace
