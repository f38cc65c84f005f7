// Played channels on the manual clock: heard positions, states, and the rendered audio.
#include "engine_test_support.h"

#include "audio/bass_internal.h"

#include <cmath>

namespace vokrin::enginetest {
namespace {

HSTREAM open(const std::string &name, DWORD flags = BASS_SAMPLE_FX)
{
    return BASS_StreamCreateFile(FALSE, fixture(name).c_str(), 0, 0, flags);
}

struct Peak
{
    float left = 0;
    float right = 0;
};
Peak peakOf(const std::vector<float> &stereo, std::size_t skipFrames = 0)
{
    Peak p;
    for (std::size_t i = skipFrames; i < stereo.size() / 2; ++i) {
        p.left = std::max(p.left, std::fabs(stereo[2 * i]));
        p.right = std::max(p.right, std::fabs(stereo[2 * i + 1]));
    }
    return p;
}

struct ClockCase
{
    const char *file;
    int deviceRate;
    int advance;         // device frames
    uint64_t bytesHeard; // after that advance
};

void PrintTo(const ClockCase &c, std::ostream *os)
{
    *os << c.file << " at " << c.deviceRate;
}

class HeardPositionTest : public ManualClockTest, public ::testing::WithParamInterface<ClockCase>
{
};

TEST_P(HeardPositionTest, AdvancesByTheClockInTheChannelsOwnUnits)
{
    const ClockCase &c = GetParam();
    initAt(c.deviceRate);
    const HSTREAM s = open(c.file);
    ASSERT_NE(s, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    EXPECT_EQ(BASS_ChannelGetPosition(s), 0u);
    // In uneven steps: the position depends on the frames advanced, not on the steps.
    int done = 0;
    for (int step : {1, 999, 4096, 7}) {
        vokrin::engine::advanceManualClock(step);
        done += step;
    }
    vokrin::engine::advanceManualClock(c.advance - done);
    EXPECT_EQ(BASS_ChannelGetPosition(s), c.bytesHeard);
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
}

INSTANTIATE_TEST_SUITE_P(
    Rates, HeardPositionTest,
    ::testing::Values(ClockCase{"tone1k_44100_stereo.wav", 44100, 44100, 44100 * 4},
                      // 48 kHz on a 44.1 kHz device: 48000 frames x 4 bytes per clock second
                      ClockCase{"tone1k_48000_stereo.wav", 44100, 44100, 192000},
                      ClockCase{"tone1k_22050_mono.wav", 44100, 22050, 11025 * 2},
                      ClockCase{"tone1k_44100_stereo.wav", 48000, 48000, 44100 * 4},
                      ClockCase{"ramp_cbr.mp3", 44100, 30000, 30000 * 4},
                      ClockCase{"ramp.ogg", 44100, 30000, 30000 * 4}),
    [](const auto &param) {
        return caseName(std::string(param.param.file) + "_on_" +
                        std::to_string(param.param.deviceRate));
    });

TEST_F(ManualClockTest, PauseStopAndEndOfTrack)
{
    const HSTREAM s = open("tone1k_44100_stereo.wav"); // 88200 frames
    ASSERT_NE(s, 0u);
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_STOPPED)); // not yet played
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    vokrin::engine::advanceManualClock(1000);

    // The whole output halted: the channel reports paused and does not move.
    ASSERT_TRUE(BASS_Pause());
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_PAUSED));
    const std::vector<float> whilePaused = render(2000);
    EXPECT_EQ(BASS_ChannelGetPosition(s), 4000u);
    EXPECT_EQ(peakOf(whilePaused).left, 0.0f);
    ASSERT_TRUE(BASS_Start());
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    vokrin::engine::advanceManualClock(1000);
    EXPECT_EQ(BASS_ChannelGetPosition(s), 8000u);

    // Stop halts and keeps the place; play without restart goes on from it.
    ASSERT_TRUE(BASS_ChannelStop(s));
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    vokrin::engine::advanceManualClock(3000);
    EXPECT_EQ(BASS_ChannelGetPosition(s), 8000u);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    vokrin::engine::advanceManualClock(500);
    EXPECT_EQ(BASS_ChannelGetPosition(s), 10000u);

    // Restart plays from the start.
    ASSERT_TRUE(BASS_ChannelPlay(s, TRUE));
    EXPECT_EQ(BASS_ChannelGetPosition(s), 0u);
    vokrin::engine::advanceManualClock(100);
    EXPECT_EQ(BASS_ChannelGetPosition(s), 400u);

    // The end: stopped, and the position stays at the length.
    vokrin::engine::advanceManualClock(88200);
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ChannelGetPosition(s), BASS_StreamGetLength(s));
    vokrin::engine::advanceManualClock(5000);
    EXPECT_EQ(BASS_ChannelGetPosition(s), 88200u * 4);
    EXPECT_EQ(peakOf(render(1000)).left, 0.0f);

    // BASS_Stop stops every channel; output comes back with BASS_Start.
    ASSERT_TRUE(BASS_ChannelPlay(s, TRUE));
    ASSERT_TRUE(BASS_Stop());
    ASSERT_TRUE(BASS_Start());
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
}

TEST_F(ManualClockTest, SeekWhilePlayingIsHeardAtOnce)
{
    const HSTREAM s = open("clicks_44100_mono.wav"); // clicks at 4410, 22050, 66150
    ASSERT_NE(s, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    vokrin::engine::advanceManualClock(3000);
    const uint64_t target = 22000;
    ASSERT_TRUE(BASS_ChannelSetPosition(s, target * 2));
    EXPECT_EQ(BASS_ChannelGetPosition(s), target * 2);
    const std::vector<float> out = render(1000);
    // The click at frame 22050 is heard 50 frames after the seek, and only there.
    std::vector<std::size_t> heard;
    for (std::size_t i = 0; i < out.size() / 2; ++i)
        if (out[2 * i] > 0.5f)
            heard.push_back(i);
    EXPECT_EQ(heard, std::vector<std::size_t>{50});
    EXPECT_EQ(BASS_ChannelGetPosition(s), (target + 1000) * 2);
}

TEST_F(ManualClockTest, ClicksAreHeardExactlyAtTheirPositions)
{
    const HSTREAM s = open("clicks_44100_mono.wav");
    ASSERT_NE(s, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    const std::vector<float> out = render(70000);
    std::vector<std::size_t> heard;
    for (std::size_t i = 0; i < out.size() / 2; ++i)
        if (out[2 * i] > 0.5f && out[2 * i + 1] > 0.5f) // mono goes to both sides
            heard.push_back(i);
    EXPECT_EQ(heard, (std::vector<std::size_t>{4410, 22050, 66150}));
}

TEST_F(ManualClockTest, ResampledClicksLandWhereTheClockSays)
{
    initAt(48000);
    const HSTREAM s = open("clicks_44100_mono.wav");
    ASSERT_NE(s, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    const std::vector<float> out = render(80000);
    for (double click : {4410.0, 22050.0, 66150.0}) {
        const double expected = click * 48000.0 / 44100.0;
        std::size_t best = 0;
        for (std::size_t i = 0; i < out.size() / 2; ++i)
            if (std::fabs(out[2 * i]) > std::fabs(out[2 * best]))
                if (std::fabs(static_cast<double>(i) - expected) < 2000)
                    best = i;
        EXPECT_NEAR(static_cast<double>(best), expected, 2.0) << click;
    }
}

struct MixCase
{
    int volume; // master
    int channelVolume;
    int pan;
    float left; // expected peak, the tone's own being 0.5
    float right;
};

void PrintTo(const MixCase &c, std::ostream *os)
{
    *os << "volume " << c.volume << ", channel " << c.channelVolume << ", pan " << c.pan;
}

class MixLevelTest : public ManualClockTest, public ::testing::WithParamInterface<MixCase>
{
};

TEST_P(MixLevelTest, VolumeAndBalanceOnTheRenderedOutput)
{
    const MixCase &c = GetParam();
    const HSTREAM s = open("tone1k_44100_stereo.wav"); // 0.5 of full scale
    ASSERT_NE(s, 0u);
    ASSERT_TRUE(BASS_SetVolume(static_cast<DWORD>(c.volume)));
    EXPECT_EQ(BASS_GetVolume(), static_cast<DWORD>(c.volume));
    ASSERT_TRUE(BASS_ChannelSetAttributes(s, -1, c.channelVolume, c.pan));
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    const Peak p = peakOf(render(4410));
    EXPECT_NEAR(p.left, c.left, 0.002) << "left";
    EXPECT_NEAR(p.right, c.right, 0.002) << "right";
}

INSTANTIATE_TEST_SUITE_P(
    Levels, MixLevelTest,
    ::testing::Values(MixCase{100, 100, 0, 0.5f, 0.5f},    // unity
                      MixCase{0, 100, 0, 0.0f, 0.0f},      // silence
                      MixCase{100, 100, -100, 0.5f, 0.0f}, // right side silent
                      MixCase{100, 100, 100, 0.0f, 0.5f},
                      MixCase{100, 100, -50, 0.5f, 0.25f},   // a balance, not a pan law
                      MixCase{50, 100, 0, 0.0625f, 0.0625f}, // cubic taper: 0.125 gain
                      MixCase{100, 0, 0, 0.0f, 0.0f}, MixCase{100, 50, 0, 0.25f, 0.25f}),
    [](const auto &param) {
        const MixCase &c = param.param;
        return "master" + std::to_string(c.volume) + "_channel" + std::to_string(c.channelVolume) +
               "_pan" + (c.pan < 0 ? "L" + std::to_string(-c.pan) : std::to_string(c.pan));
    });

TEST_F(ManualClockTest, AttributesKeepWhatMinusOneLeavesAndRefuseNonsense)
{
    const HSTREAM s = open("tone1k_44100_stereo.wav");
    ASSERT_TRUE(BASS_ChannelSetAttributes(s, -1, 40, -30));
    ASSERT_TRUE(BASS_ChannelSetAttributes(s, -1, -1, 20)); // volume unchanged
    DWORD freq = 0, volume = 0;
    int pan = 0;
    ASSERT_TRUE(BASS_ChannelGetAttributes(s, &freq, &volume, &pan));
    EXPECT_EQ(freq, 44100u);
    EXPECT_EQ(volume, 40u);
    EXPECT_EQ(pan, 20);
    EXPECT_FALSE(BASS_ChannelSetAttributes(s, -1, -1, 101));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_ChannelSetAttributes(s, -1, 101, 0));
    EXPECT_FALSE(BASS_ChannelSetAttributes(0, -1, -1, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    ASSERT_TRUE(BASS_ChannelGetAttributes(s, &freq, &volume, &pan));
    EXPECT_EQ(pan, 20); // the refused calls changed nothing
    EXPECT_FALSE(BASS_SetVolume(101));
    EXPECT_EQ(BASS_GetVolume(), 100u); // where BASS_Init left it
}

TEST_F(ManualClockTest, EffectsRunBeforePanAndAChangeIsHeardWithin20ms)
{
    ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_BUFFER, 1000)); // a long decode-ahead
    const HSTREAM s = open("tone1k_44100_stereo.wav");
    ASSERT_NE(s, 0u);
    int band = -1;
    ASSERT_TRUE(vokrin::bass_internal::withEffectChain(s, [&](vokrin::engine::EffectChain &chain) {
        EXPECT_EQ(chain.sampleRate(), 44100);
        EXPECT_EQ(chain.channels(), 2);
        band = chain.add(vokrin::engine::EffectKind::ParamEq, 1);
    }));
    ASSERT_GE(band, 0);
    ASSERT_TRUE(BASS_ChannelSetAttributes(s, -1, -1, -100));
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    const Peak flat = peakOf(render(8820));
    EXPECT_NEAR(flat.left, 0.5f, 0.002);

    ASSERT_TRUE(vokrin::bass_internal::withEffectChain(s, [&](vokrin::engine::EffectChain &chain) {
        EXPECT_TRUE(chain.set(band, vokrin::engine::ParamEqSettings{1000.0f, 12.0f, -12.0f}));
    }));
    const std::vector<float> after = render(882 + 4410); // 20 ms, then 100 ms of the new level
    const Peak cut = peakOf(after, 882);
    EXPECT_NEAR(cut.left, 0.5f * std::pow(10.0f, -12.0f / 20.0f), 0.02);
    EXPECT_EQ(cut.right, 0.0f) << "the effect must not undo the balance";
}

TEST_F(ManualClockTest, EachChannelOwnsAChainAtTheRateItRunsAt)
{
    const HSTREAM played = open("tone1k_48000_stereo.wav");
    const HSTREAM decoding = open("tone1k_48000_stereo.wav", BASS_STREAM_DECODE);
    const HSTREAM mono = open("tone1k_22050_mono.wav", BASS_STREAM_DECODE);
    const HMUSIC music = BASS_MusicLoad(FALSE, fixture("song.mod").c_str(), 0, 0, 0x280, 0);
    struct
    {
        DWORD handle;
        int rate;
        int channels;
    } cases[] = {{played, 44100, 2}, {decoding, 48000, 2}, {mono, 22050, 1}, {music, 44100, 2}};
    for (const auto &c : cases) {
        int rate = 0, channels = 0;
        ASSERT_TRUE(vokrin::bass_internal::withEffectChain(c.handle, [&](auto &chain) {
            rate = chain.sampleRate();
            channels = chain.channels();
        }));
        EXPECT_EQ(rate, c.rate);
        EXPECT_EQ(channels, c.channels);
    }
    ASSERT_TRUE(BASS_StreamFree(played));
    bool called = false;
    EXPECT_FALSE(vokrin::bass_internal::withEffectChain(played, [&](auto &) { called = true; }));
    EXPECT_FALSE(called);
}

TEST_F(ManualClockTest, GeneratedModulePlaysHasALengthAndAdvances)
{
    const HMUSIC m = BASS_MusicLoad(FALSE, fixture("song.mod").c_str(), 0, 0,
                                    BASS_MUSIC_RAMP | BASS_SAMPLE_FX, 0);
    ASSERT_NE(m, 0u) << BASS_ErrorGetCode();
    // Two patterns of 64 rows at speed 6 and 125 BPM: 15.36 s of 16-bit stereo.
    const double seconds = BASS_ChannelBytes2Seconds(m, BASS_StreamGetLength(m));
    EXPECT_NEAR(seconds, 15.36, 0.01);
    EXPECT_EQ(BASS_StreamGetLength(m) % 4, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(m, FALSE));
    const std::vector<float> out = render(44100);
    EXPECT_EQ(BASS_ChannelGetPosition(m), 44100u * 4);
    EXPECT_GT(peakOf(out).left, 0.05f) << "the module must make sound";
    EXPECT_EQ(BASS_ChannelIsActive(m), static_cast<DWORD>(BASS_ACTIVE_PLAYING));

    // Seeking lands within 10 ms.
    const QWORD target = BASS_ChannelSeconds2Bytes(m, 9.0f);
    ASSERT_TRUE(BASS_ChannelSetPosition(m, target));
    const double at = BASS_ChannelBytes2Seconds(m, BASS_ChannelGetPosition(m));
    EXPECT_NEAR(at, 9.0, 0.01);

    vokrin::engine::advanceManualClock(44100 * 7);
    EXPECT_EQ(BASS_ChannelIsActive(m), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ChannelGetPosition(m), BASS_StreamGetLength(m));
}

TEST_F(ManualClockTest, ModuleSeekMatchesPlayingThrough)
{
    // Decoding channels at an explicit rate: what is rendered after a seek to 3 s equals
    // what a channel that played from 0 renders at 3 s (ramping aside, within 10 ms).
    const std::string path = fixture("song.mod");
    const HMUSIC through = BASS_MusicLoad(FALSE, path.c_str(), 0, 0, BASS_MUSIC_DECODE, 22050);
    const HMUSIC seeked = BASS_MusicLoad(FALSE, path.c_str(), 0, 0, BASS_MUSIC_DECODE, 22050);
    ASSERT_NE(through, 0u);
    ASSERT_NE(seeked, 0u);
    EXPECT_NEAR(BASS_ChannelBytes2Seconds(through, BASS_StreamGetLength(through)), 15.36, 0.01);
    std::vector<int16_t> skip(22050 * 3 * 2);
    ASSERT_EQ(BASS_ChannelGetData(through, skip.data(), static_cast<DWORD>(skip.size() * 2)),
              skip.size() * 2);
    ASSERT_TRUE(BASS_ChannelSetPosition(seeked, 22050 * 3 * 4));
    EXPECT_EQ(BASS_ChannelGetPosition(seeked), BASS_ChannelGetPosition(through));
    auto rms = [](DWORD channel) {
        std::vector<int16_t> block(22050 / 2 * 2);
        EXPECT_EQ(BASS_ChannelGetData(channel, block.data(), static_cast<DWORD>(block.size() * 2)),
                  block.size() * 2);
        double sum = 0;
        for (int16_t v : block)
            sum += static_cast<double>(v) * v;
        return std::sqrt(sum / static_cast<double>(block.size()));
    };
    const double a = rms(through);
    const double b = rms(seeked);
    EXPECT_GT(a, 1000.0);
    EXPECT_NEAR(b, a, 0.1 * a) << "the note sounding at 3 s must sound after the seek too";
}

} // namespace
} // namespace vokrin::enginetest
