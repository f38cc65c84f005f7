// A project made in the wizard of the real program: the user taps the mark button at
// known moments of a click track while it plays through a real sound server, and each
// cue lands where the track was heard at the tap.
#include "e2e_harness.h"
#include "fixture_writers.h"
#include "heard_clock.h"
#include "main_window_driver.h"
#include "recording.h"

#include "audio/player.h"
#include "authoring/new_kar.h"
#include "authoring/page_control.h"
#include "content/project_file.h"

#include <QApplication>
#include <QPushButton>

#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace vokrin::authoring::e2e {
namespace {

using vokrin::e2e::kRedHintSettings;
using vokrin::e2e::kWizardButton;
using vokrin::e2e::LineLook;
using vokrin::e2e::lookOfLine;
using vokrin::e2e::Program;
using vokrin::e2e::Recording;

const QString kWizardTitle = QStringLiteral("Мастер создания фонограммы");
const QString kAddTitle = QStringLiteral("Добавление файла");

// The click track: a click at 0.5 s that tells when the track is heard, then one at
// each moment the user taps.
constexpr double kFirstClick = 0.5;
const std::vector<double> kTapMoments = {2.5, 4.5, 6.5, 8.5};
constexpr double kTrackSeconds = 10.0;
// How far a cue may be from the heard moment of its tap.
constexpr double kTolerance = 0.040;

// Where the take's two speed buttons sit in the wizard window. Speed buttons never take
// the keyboard focus, so the user clicks them, and so does this test. Their place comes
// from the wizard's own layout, laid out here on the offscreen platform with the fonts
// and style the program gets on the X server.
struct TakeButtons
{
    QPoint start;
    QPoint mark;
};

TakeButtons takeButtonCentres()
{
    char name[] = "e2e";
    char platformOption[] = "-platform";
    char platformName[] = "offscreen";
    char *argv[] = {name, platformOption, platformName, nullptr};
    int argc = 3;
    QApplication app(argc, argv);
    audio::Player player;
    TFormNewKar wizard(player, {});
    wizard.show();
    wizard.PageControl1->setCurrentIndex(TFormNewKar::TabSheet3);
    QApplication::processEvents();
    const auto centre = [&wizard](QWidget *button) {
        return button->mapTo(&wizard, button->rect().center());
    };
    return {centre(wizard.SpeedButton2), centre(wizard.SpeedButton3)};
}

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

TEST(WizardOnTheRealProgram, TappedCuesLandOnTheHeardMomentsOfTheTapsAndLightTheirLinesThere)
{
    VOKRIN_E2E_SERVERS(x, sound);
    // A red hint, the colour the line-look check reads.
    Program vokrin(x, &sound, kRedHintSettings);
    ASSERT_TRUE(vokrin.started());

    const QString track = vokrin.workDir() + QStringLiteral("/clicks.wav");
    std::vector<std::uint64_t> clickFrames = {std::uint64_t(kFirstClick * 44100)};
    for (const double at : kTapMoments)
        clickFrames.push_back(std::uint64_t(at * 44100));
    ASSERT_TRUE(fixtures::writeWav(track.toStdString(),
                                   fixtures::clicks(44100, 2, kTrackSeconds, clickFrames)));

    const QString mainWindow = vokrin::e2e::waitForMainWindow(x);
    ASSERT_FALSE(mainWindow.isEmpty()) << "no main window after the splash";
    ASSERT_TRUE(x.click(mainWindow, kWizardButton));
    const QString wizard = x.waitForWindow(kWizardTitle, 20000);
    ASSERT_FALSE(wizard.isEmpty()) << "the wizard button opened no wizard";

    // Page 1: the track typed into its box; "Дальше". Page 2: the text typed in; "Дальше".
    ASSERT_TRUE(x.typeText(wizard, track));
    ASSERT_TRUE(x.sendKeys(
        wizard, {QStringLiteral("Tab"), QStringLiteral("space"), QStringLiteral("Tab")}));
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

    // Page 3: start the take with the mouse, rest the pointer on the mark button and tap
    // at the clicks.
    const TakeButtons buttons = takeButtonCentres();
    const QString raw = vokrin.workDir() + QStringLiteral("/take.raw");
    ASSERT_TRUE(sound.startRecording(raw));
    HeardClock clock(raw);
    clock.sampleUntil(clock.now() + 0.5);
    ASSERT_TRUE(x.click(wizard, buttons.start));
    bool pointed = false;
    x.xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"),
               wizard, QString::number(buttons.mark.x()), QString::number(buttons.mark.y())},
              &pointed);
    ASSERT_TRUE(pointed);

    // Wait until the first click is heard; from it the later ones are known.
    const double firstClickHeard = waitForFirstClick(clock, raw, 20);
    ASSERT_GE(firstClickHeard, 0) << "the take was never heard (did the click at "
                                  << buttons.start.x() << "," << buttons.start.y()
                                  << " miss the start button?)";

    std::vector<double> tappedAt;
    for (const double moment : kTapMoments) {
        clock.sampleUntil(firstClickHeard + (moment - kFirstClick));
        bool ok = false;
        // No pause after the click (xdotool waits 100 ms by default): the release, which
        // clicks the button, is the last thing it does.
        x.xdotool({QStringLiteral("click"), QStringLiteral("--delay"), QStringLiteral("0"),
                   QStringLiteral("1")},
                  &ok);
        tappedAt.push_back(clock.now());
        ASSERT_TRUE(ok);
    }
    clock.sampleUntil(clock.now() + 0.3);
    sound.stopRecording();

    // The keyboard stayed on the line list; "Дальше" is next. Page 4 proposes clicks.lyp
    // beside the track; Enter finishes (saving first) and the catalogue question is
    // answered OK.
    ASSERT_TRUE(x.sendKeys(
        wizard, {QStringLiteral("Tab"), QStringLiteral("space"), QStringLiteral("Return")}));
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
    const QString playback = vokrin.workDir() + QStringLiteral("/playback.raw");
    ASSERT_TRUE(sound.startRecording(playback));
    HeardClock playClock(playback);
    playClock.sampleUntil(playClock.now() + 0.5);
    ASSERT_TRUE(x.sendKeys(mainWindow, {QStringLiteral("Return")}));
    const double playbackClickHeard = waitForFirstClick(playClock, playback, 20);
    ASSERT_GE(playbackClickHeard, 0) << "the new project was never heard";
    const double playbackStart = playbackClickHeard - kFirstClick;
    // Halfway between taps: far enough from both for a late grab on a busy machine.
    for (std::size_t i = 0; i < kTapMoments.size(); ++i) {
        playClock.sampleUntil(playbackStart + kTapMoments[i] + 0.9);
        const QImage picture = x.grab(mainWindow);
        ASSERT_FALSE(picture.isNull());
        for (int line = 0; line < int(kTapMoments.size()); ++line) {
            EXPECT_EQ(lookOfLine(picture, line), line == int(i) ? LineLook::Lit : LineLook::Unlit)
                << "line " << line << ", heard " << playClock.now() - playbackStart
                << " s into the track";
        }
    }
    sound.stopRecording();
}

} // namespace
} // namespace vokrin::authoring::e2e
