#include "audio/bass.h"
#include "audio/engine/engine_config.h"
#include "audio/player.h"
#include "controls/led_gauge.h"
#include "display/lyric_list.h"
#include "display/paint_frame.h"
#include "display/render_tick.h"
#include "display/spectrum_vis.h"
#include "fixture_writers.h"
#include "test_env.h"

#include <QApplication>
#include <QFile>
#include <gtest/gtest.h>

using vokrin::controls::TMMLEDGauge;

using namespace vokrin;
using display::FftBuffer;

namespace {

constexpr int kTickFrames = 1455; // 33 ms at 44.1 kHz
constexpr quint32 kBytesPerMs = 44100 * 4 / 1000;

struct RenderTickFixture : ::testing::Test
{
    audio::Player player;
    display::TLyricListBox lyrics;
    TMMLEDGauge gauge;
    display::TPaintBox paintFrame;
    display::TSpectrum spectrum{175, 52};
    FftBuffer fft{};
    display::RenderTargets targets{lyrics, gauge, spectrum, paintFrame, fft};
    QString track;
    QList<quint32> cues;
    std::int32_t cueIndex = 0;
    int lead = 0;
    bool wizardVisible = false;

    static void SetUpTestSuite()
    {
        engine::setManualClock(true);
        ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    }
    static void TearDownTestSuite() { BASS_Free(); }

    void SetUp() override
    {
        const auto wav = vokrin::testing::makeTempDir("tick") / "tone.wav";
        ASSERT_TRUE(fixtures::writeWav(wav, fixtures::sine(44100, 2, 10.0, 1000, 0.5)));
        track = QString::fromStdString(wav.string());
        paintFrame.resize(175, 52);
        lyrics.resize(400, 550);
        for (int i = 0; i < 20; ++i)
            lyrics.addItem(QStringLiteral("line %1").arg(i));
        spectrum.Style = 1;
        spectrum.BarWidth = 1;
        spectrum.BarColor = 0x00FF00;
    }

    void TearDown() override
    {
        if (player.stream() != 0)
            BASS_StreamFree(player.stream());
    }

    void play() { player.PlayFile(QFile::encodeName(track).toStdString()); }

    // One timer tick after 33 ms more of playback.
    void tick()
    {
        engine::advanceManualClock(kTickFrames);
        display::renderTick(player, cues, lead, wizardVisible, cueIndex, targets);
    }

    // Ticks until `line` is lit; returns the position then, or nothing after `limit` ticks.
    std::optional<QWORD> positionWhenLit(int line, int limit = 400)
    {
        for (int i = 0; i < limit; ++i) {
            tick();
            if (lyrics.currentRow() == line)
                return player.GetPosition();
        }
        return std::nullopt;
    }
};

} // namespace

TEST_F(RenderTickFixture, ProjectWithoutCuesNeverLightsALine)
{
    play();
    for (int i = 0; i < 30; ++i)
        tick();
    EXPECT_EQ(lyrics.currentRow(), -1);
    EXPECT_GT(gauge.progress(), 0) << "the gauge follows all the same";
}

TEST_F(RenderTickFixture, LineLightsAtTheFirstTickAtOrPastItsCue)
{
    cues = {200 * kBytesPerMs, 500 * kBytesPerMs};
    play();
    const auto first = positionWhenLit(0);
    ASSERT_TRUE(first);
    EXPECT_GE(*first, cues[0]);
    EXPECT_LT(*first, cues[0] + kTickFrames * 4);
    const auto second = positionWhenLit(1);
    ASSERT_TRUE(second);
    EXPECT_GE(*second, cues[1]);
    EXPECT_LT(*second, cues[1] + kTickFrames * 4);
}

TEST_F(RenderTickFixture, LeadTimeInBytesLetsAnEarlyCueLightAtOnce)
{
    cues = {500};
    lead = 999;
    play();
    tick();
    EXPECT_EQ(lyrics.currentRow(), 0);
}

TEST_F(RenderTickFixture, CuesTenMillisecondsApartLightOneTickApart)
{
    cues = {300 * kBytesPerMs, 310 * kBytesPerMs};
    play();
    ASSERT_TRUE(positionWhenLit(0));
    tick();
    EXPECT_EQ(lyrics.currentRow(), 1);
}

TEST_F(RenderTickFixture, WizardShowingHoldsTheLinesButNotTheGaugeOrSpectrum)
{
    cues = {0, 100};
    wizardVisible = true;
    play();
    for (int i = 0; i < 10; ++i)
        tick();
    EXPECT_EQ(lyrics.currentRow(), -1);
    EXPECT_EQ(cueIndex, 0);
    EXPECT_GT(gauge.progress(), 0);
    EXPECT_GT(spectrum.BarLevels[(1000 * 1024 / 44100) - 5], 0) << "the 1 kHz tone shows";
}

TEST_F(RenderTickFixture, StoppedStreamLeavesEverythingAsItStands)
{
    cues = {0};
    play();
    for (int i = 0; i < 20; ++i)
        tick();
    const int gaugeBefore = gauge.progress();
    audio::Player::StopChannel(player.stream());
    for (int i = 0; i < 5; ++i)
        tick();
    EXPECT_EQ(gauge.progress(), gaugeBefore);
    EXPECT_EQ(lyrics.currentRow(), 0) << "the highlight stays";
}

TEST_F(RenderTickFixture, MoreCuesThanLinesKeepTheLastHighlightAndGoOnCounting)
{
    while (lyrics.count() > 2)
        delete lyrics.takeItem(lyrics.count() - 1);
    cues = {0, 4, 8, 12, 16};
    play();
    for (int i = 0; i < 6; ++i)
        tick();
    EXPECT_EQ(lyrics.currentRow(), 1);
    EXPECT_EQ(cueIndex, 5);
}

TEST_F(RenderTickFixture, DoubleClickRestartsAtTheLinesCueAndLightsItNextTick)
{
    cues = {1000, 2000 * kBytesPerMs, 3000 * kBytesPerMs, 4000 * kBytesPerMs, 5000 * kBytesPerMs};
    play();
    for (int i = 0; i < 10; ++i)
        tick();
    ASSERT_TRUE(display::jumpToLine(player, track, cues, 4, cueIndex, gauge));
    EXPECT_EQ(gauge.progress(), 0);
    EXPECT_GE(player.GetPosition(), cues[4]);
    tick();
    EXPECT_EQ(lyrics.currentRow(), 4);
    EXPECT_EQ(cueIndex, 5);
}

TEST_F(RenderTickFixture, DoubleClickOnALineWithoutACueIsIgnoredBeforeAnythingStops)
{
    cues = {0, 100};
    play();
    for (int i = 0; i < 5; ++i)
        tick();
    const QWORD before = player.GetPosition();
    EXPECT_FALSE(display::jumpToLine(player, track, cues, 7, cueIndex, gauge));
    EXPECT_FALSE(display::jumpToLine(player, track, cues, -1, cueIndex, gauge));
    EXPECT_FALSE(display::jumpToLine(player, track + ".gone", cues, 1, cueIndex, gauge));
    EXPECT_EQ(BASS_ChannelIsActive(player.stream()), DWORD(BASS_ACTIVE_PLAYING));
    EXPECT_EQ(player.GetPosition(), before);
}
