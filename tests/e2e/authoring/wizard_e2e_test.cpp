// A project made in the wizard of the real program: the user taps the mark button at
// known moments of a click track while it plays through a real sound server, and each
// cue lands where the track was heard at the tap.
#include "e2e_harness.h"
#include "fixture_writers.h"
#include "heard_clock.h"
#include "recording.h"

#include "content/project_file.h"

#include <QFile>
#include <QImage>
#include <QThread>
#include <gtest/gtest.h>

namespace vokrin::authoring::e2e {
namespace {

using vokrin::e2e::Program;
using vokrin::e2e::Recording;
using vokrin::e2e::SoundServer;
using vokrin::e2e::XServer;

const QString kMainTitle = QStringLiteral("Вокрин");
const QString kWizardTitle = QStringLiteral("Мастер создания фонограммы");
const QString kAddTitle = QStringLiteral("Добавление файла");
// The wizard button: first of the row at y 48 in the 224-px control panel at the right
// edge of the 761-px window, 8 px in, 28 x 25.
const QPoint kWizardButton(761 - 224 + 8 + 14, 48 + 12);

// The click track: a click at 0.5 s that tells when the track is heard, then one at
// each moment the user taps.
constexpr double kFirstClick = 0.5;
const std::vector<double> kTapMoments = {2.5, 4.5, 6.5, 8.5};
constexpr double kTrackSeconds = 10.0;
// How far a cue may be from the heard moment of its tap.
constexpr double kTolerance = 0.040;

// The lyric list fills the window's left part beside the 48-px colour strip; its lines are
// 27 px apart from its top.
constexpr int kListLeft = 48;
constexpr int kListRight = 761 - 224 - 24;
constexpr int kLinePitch = 27;

// Waits until the first loud frame of `raw` is heard and returns when, on `clock`; -1 if
// nothing was heard within `seconds`.
double waitForFirstClick(HeardClock &clock, const QString &raw, double seconds)
{
    const double giveUp = clock.now() + seconds;
    while (clock.now() < giveUp) {
        clock.sampleUntil(clock.now() + 0.01);
        const std::int64_t frame = firstLoudFrame(Recording::load(raw).samples, 64);
        if (frame >= 0)
            return clock.heardAt(std::uint64_t(frame));
    }
    return -1;
}

// The lyric line drawn in red (the hint colour chosen) on a screenshot of the window at
// `window`, or -1 when no line is.
int redLine(const QImage &screen, const QRect &window)
{
    qint64 count = 0;
    qint64 rows = 0;
    for (int y = window.top(); y <= window.bottom(); ++y) {
        for (int x = window.left() + kListLeft; x < window.left() + kListRight; ++x) {
            const QColor c = screen.pixelColor(x, y);
            if (c.red() > 180 && c.green() < 80 && c.blue() < 80) {
                ++count;
                rows += y - window.top();
            }
        }
    }
    return count < 20 ? -1 : int(rows / count / kLinePitch);
}

TEST(WizardOnTheRealProgram, TappedCuesLandOnTheHeardMomentsOfTheTapsAndLightTheirLinesThere)
{
    XServer x;
    if (!x.running())
        GTEST_SKIP() << x.why().toStdString();
    SoundServer sound;
    if (!sound.running())
        GTEST_SKIP() << sound.why().toStdString();
    Program vokrin(x, &sound);
    ASSERT_TRUE(vokrin.started());

    const QString track = vokrin.workDir() + QStringLiteral("/clicks.wav");
    std::vector<std::uint64_t> clickFrames = {std::uint64_t(kFirstClick * 44100)};
    for (const double at : kTapMoments)
        clickFrames.push_back(std::uint64_t(at * 44100));
    ASSERT_TRUE(fixtures::writeWav(track.toStdString(),
                                   fixtures::clicks(44100, 2, kTrackSeconds, clickFrames)));

    const QString splash = x.waitForWindow(kMainTitle);
    ASSERT_FALSE(splash.isEmpty()) << "the program showed no window";
    const QString mainWindow = x.waitForWindow(kMainTitle, 60000, {splash});
    ASSERT_FALSE(mainWindow.isEmpty()) << "no main window after the splash";
    ASSERT_TRUE(x.click(mainWindow, kWizardButton));
    const QString wizard = x.waitForWindow(kWizardTitle, 20000);
    ASSERT_FALSE(wizard.isEmpty()) << "the wizard button opened no wizard";

    // Page 1: the track typed into its box; "Дальше". Page 2: the text typed in; "Дальше".
    ASSERT_TRUE(x.typeText(wizard, track));
    ASSERT_TRUE(x.sendKeys(wizard, {QStringLiteral("Tab"), QStringLiteral("Tab"),
                                    QStringLiteral("space"), QStringLiteral("Tab")}));
    // xdotool types no line breaks: each line is followed by a Return key.
    const QStringList lines = {QStringLiteral("one"), QStringLiteral("two"),
                               QStringLiteral("three"), QStringLiteral("four")};
    for (const QString &line : lines) {
        ASSERT_TRUE(x.typeText(wizard, line));
        if (line != lines.last()) {
            ASSERT_TRUE(x.sendKeys(wizard, {QStringLiteral("Return")}));
        }
    }
    ASSERT_TRUE(x.sendKeys(wizard, {QStringLiteral("Tab"), QStringLiteral("space")}));

    // Page 3: start the take, move to the mark button, tap at the clicks.
    const QString raw = vokrin.workDir() + QStringLiteral("/take.raw");
    ASSERT_TRUE(sound.startRecording(raw));
    HeardClock clock(raw);
    clock.sampleUntil(clock.now() + 0.5);
    ASSERT_TRUE(x.sendKeys(wizard, {QStringLiteral("space"), QStringLiteral("Tab")}));

    // Wait until the first click is heard; from it the later ones are known.
    const double firstClickHeard = waitForFirstClick(clock, raw, 20);
    ASSERT_GE(firstClickHeard, 0) << "the take was never heard";

    std::vector<double> tappedAt;
    for (const double moment : kTapMoments) {
        clock.sampleUntil(firstClickHeard + (moment - kFirstClick));
        bool ok = false;
        x.xdotool({QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("0"),
                   QStringLiteral("space")},
                  &ok);
        // The release, which clicks the button, is the last thing xdotool sends.
        tappedAt.push_back(clock.now());
        ASSERT_TRUE(ok);
    }
    clock.sampleUntil(clock.now() + 0.3);
    sound.stopRecording();

    // Page 4 proposes clicks.lyp beside the track; Enter finishes (saving first) and
    // the catalogue question is answered OK.
    ASSERT_TRUE(x.sendKeys(wizard, {QStringLiteral("Tab"), QStringLiteral("Tab"),
                                    QStringLiteral("space"), QStringLiteral("Return")}));
    const QString question = x.waitForWindow(kAddTitle, 20000);
    ASSERT_FALSE(question.isEmpty());
    ASSERT_TRUE(x.sendKeys(question, {QStringLiteral("Return")}));
    EXPECT_TRUE(x.waitForWindowGone(wizard, 20000));

    // Where the first click really was heard, now that the whole recording is there.
    const Recording take = Recording::load(raw);
    const std::int64_t clickFrame = firstLoudFrame(take.samples, 64);
    ASSERT_GE(clickFrame, 0);
    const double trackStartHeard = clock.heardAt(std::uint64_t(clickFrame)) - kFirstClick;

    const QString project = vokrin.workDir() + QStringLiteral("/clicks.lyp");
    const content::ProjectReadResult saved = content::readProjectFile(project);
    ASSERT_FALSE(saved.truncated);
    EXPECT_EQ(saved.project.lines, (QList<QByteArray>{"one", "two", "three", "four"}));
    ASSERT_EQ(saved.project.cues.size(), qsizetype(kTapMoments.size()));
    for (std::size_t i = 0; i < kTapMoments.size(); ++i) {
        const double cueSeconds = saved.project.cues[qsizetype(i)] / (44100.0 * 4);
        const double tapSeconds = tappedAt[i] - trackStartHeard;
        EXPECT_NEAR(cueSeconds, tapSeconds, kTolerance)
            << "tap " << i << " aimed at the click at " << kTapMoments[i] << " s";
    }

    // The project, now in the catalogue, plays back with each line lit from its tap on.
    // The hint colour is black until chosen: red from the colour button's grid.
    ASSERT_TRUE(x.click(mainWindow, QPoint(691, 481)));
    QThread::msleep(700);
    ASSERT_TRUE(x.click(mainWindow, QPoint(660, 519)));
    QThread::msleep(300);
    const QString playback = vokrin.workDir() + QStringLiteral("/playback.raw");
    ASSERT_TRUE(sound.startRecording(playback));
    HeardClock playClock(playback);
    playClock.sampleUntil(playClock.now() + 0.5);
    ASSERT_TRUE(x.sendKeys(mainWindow, {QStringLiteral("Return")}));
    const double playbackClickHeard = waitForFirstClick(playClock, playback, 20);
    ASSERT_GE(playbackClickHeard, 0) << "the new project was never heard";
    const double playbackStart = playbackClickHeard - kFirstClick;
    const QRect window = x.geometry(mainWindow);
    // Halfway between taps: far enough from both for a late screenshot on a busy machine.
    for (std::size_t i = 0; i < kTapMoments.size(); ++i) {
        playClock.sampleUntil(playbackStart + kTapMoments[i] + 0.9);
        const QString shot = vokrin.workDir() + QStringLiteral("/line%1.png").arg(i);
        ASSERT_TRUE(x.screenshot(shot));
        EXPECT_EQ(redLine(QImage(shot), window), int(i))
            << "heard " << playClock.now() - playbackStart << " s into the track";
    }
    sound.stopRecording();
}

} // namespace
} // namespace vokrin::authoring::e2e
