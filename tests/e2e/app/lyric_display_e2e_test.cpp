// The demo song on the real program: opened from its list through the file dialog, played
// with Enter, and watched. Each lyric line turns the hint colour once its cue has been
// heard, one after another, while the others keep the font colour.
#include "content/project_file.h"
#include "e2e_harness.h"
#include "main_window_driver.h"
#include "recording.h"
#include "test_env.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QThread>
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>

namespace {

using vokrin::e2e::kRedHintSettings;
using vokrin::e2e::LineLook;
using vokrin::e2e::lookOfLine;
using vokrin::e2e::openListFile;
using vokrin::e2e::Program;
using vokrin::e2e::Recording;
using vokrin::e2e::waitForMainWindow;

constexpr double kRate = 44100;
constexpr int kBytesPerFrame = 4; // the demo is 16-bit stereo at the sink's rate

// How far the lit line may trail or lead what has been heard: the 33 ms tick, the
// recorder's and the device's latency, and a tick or a repaint that a loaded machine
// delays. (However long a grab takes, the heard stretch around it is measured.)
constexpr double kSlackSeconds = 0.35;

// One look at the window, with the stretch of the track heard while it was taken.
struct Shot
{
    double heardFrom = 0; // seconds of the track
    double heardTo = 0;
    std::vector<LineLook> lines;
};

// The line whose cue was heard last at `seconds` of the track; -1 before the first cue.
int lineDueAt(const std::vector<double> &cueSeconds, double seconds)
{
    int due = -1;
    for (std::size_t k = 0; k < cueSeconds.size(); ++k) {
        if (cueSeconds[k] <= seconds)
            due = static_cast<int>(k);
    }
    return due;
}

std::string describe(const Shot &shot)
{
    std::ostringstream text;
    text << "heard " << shot.heardFrom << ".." << shot.heardTo << " s, lines:";
    for (LineLook look : shot.lines)
        text << ' ' << (look == LineLook::Lit ? "LIT" : look == LineLook::Unlit ? "-" : "?");
    return text.str();
}

TEST(AppE2E, TheDemoListPlaysOnEnterAndLightsEachLineInTheHintColourWhenItsCueIsHeard)
{
    const QString examples =
        QString::fromStdString((vokrin::testing::binaryDir() / "examples").string());
    const auto demo = vokrin::content::readProjectFile(examples + "/demo.lyp");
    ASSERT_FALSE(demo.project.cues.isEmpty()) << "no demo song in " << examples.toStdString();
    ASSERT_EQ(demo.project.cues.size(), demo.project.lines.size());
    std::vector<double> cueSeconds;
    for (quint32 cue : demo.project.cues)
        cueSeconds.push_back(cue / kBytesPerFrame / kRate);
    for (std::size_t k = 1; k < cueSeconds.size(); ++k)
        ASSERT_GE(cueSeconds[k] - cueSeconds[k - 1], 1.5)
            << "the demo's cues " << k - 1 << " and " << k << " are too close to watch apart";

    VOKRIN_E2E_SERVERS(x, sound);
    Program vokrin(x, &sound, kRedHintSettings);
    ASSERT_TRUE(vokrin.started());
    const QString window = waitForMainWindow(x);
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    const QString opened = openListFile(x, window, examples + "/demo.lyl");
    ASSERT_TRUE(opened.isEmpty()) << opened.toStdString();

    const QString raw = vokrin.workDir() + "/heard.raw";
    ASSERT_TRUE(sound.startRecording(raw));
    // The track's first sound marks where it starts in the recording.
    const std::int64_t start = vokrin::e2e::pressEnterToPlay(x, window, raw, 0.002);
    QElapsedTimer clock;
    clock.start();
    ASSERT_GE(start, 0) << "Enter played nothing";
    auto heardSeconds = [&] { return (sound.recordedFrames() - start) / kRate; };

    // Looks in the middle of the intro, and in each line's stretch half a second after its
    // cue (lit by then), in the middle, and 0.6 s before the next cue (not yet the next
    // line). The last line's stretch is as long as the one before it.
    std::vector<double> moments = {cueSeconds.front() / 2};
    for (std::size_t k = 0; k < cueSeconds.size(); ++k) {
        const double next =
            k + 1 < cueSeconds.size() ? cueSeconds[k + 1] : 2 * cueSeconds[k] - cueSeconds[k - 1];
        moments.insert(moments.end(),
                       {cueSeconds[k] + 0.5, (cueSeconds[k] + next) / 2, next - 0.6});
    }
    std::vector<Shot> shots;
    for (double moment : moments) {
        vokrin::e2e::waitUntil([&] { return heardSeconds() >= moment; },
                               int(std::max<qint64>(0, 120000 - clock.elapsed())), 5);
        Shot shot;
        shot.heardFrom = heardSeconds();
        const QImage picture = x.grab(window);
        shot.heardTo = heardSeconds();
        ASSERT_FALSE(picture.isNull()) << "no picture of the window";
        for (int line = 0; line < static_cast<int>(cueSeconds.size()); ++line)
            shot.lines.push_back(lookOfLine(picture, line));
        shots.push_back(shot);
    }
    sound.stopRecording();

    std::vector<bool> seenLit(cueSeconds.size(), false);
    int lastLit = -1;
    for (const Shot &shot : shots) {
        SCOPED_TRACE(describe(shot));
        ASSERT_EQ(std::count(shot.lines.begin(), shot.lines.end(), LineLook::Unreadable), 0)
            << "every line shows its text in the hint or the font colour in its own row";
        ASSERT_LE(std::count(shot.lines.begin(), shot.lines.end(), LineLook::Lit), 1);
        const auto litAt = std::find(shot.lines.begin(), shot.lines.end(), LineLook::Lit);
        const int lit = litAt == shot.lines.end() ? -1 : int(litAt - shot.lines.begin());
        // The lit line is the one whose cue was heard last, give or take the slack.
        EXPECT_GE(lit, lineDueAt(cueSeconds, shot.heardFrom - kSlackSeconds));
        EXPECT_LE(lit, lineDueAt(cueSeconds, shot.heardTo + kSlackSeconds));
        EXPECT_GE(lit, lastLit) << "lines light in order";
        lastLit = std::max(lastLit, lit);
        if (lit >= 0 && lineDueAt(cueSeconds, shot.heardFrom - kSlackSeconds) == lit &&
            lineDueAt(cueSeconds, shot.heardTo + kSlackSeconds) == lit)
            seenLit[std::size_t(lit)] = true;
    }
    for (std::size_t k = 0; k < seenLit.size(); ++k)
        EXPECT_TRUE(seenLit[k]) << "line " << k
                                << " was never seen lit between its cue and the next";

    ASSERT_TRUE(x.closeWindow(window));
    EXPECT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
}

} // namespace
