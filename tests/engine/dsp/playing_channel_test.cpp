// Effects on a playing channel, rendered by the manual-clock device: a set is heard
// within 20 ms, and the effects run before the channel's pan and the master volume.
#include <cmath>
#include <functional>

#include "audio/engine/engine_config.h"
#include "channel_support.h"

namespace vokrin::fxtest {
namespace {

constexpr int kRate = 44100;

class PlayingEffects : public EngineTest
{
protected:
    // Plays the file with `attach` applied, renders `before` frames, runs `change`, then
    // renders `after` frames. Returns the device's stereo output after the change.
    Audio play(const std::filesystem::path &file, const std::function<void(HSTREAM)> &attach,
               int before, const std::function<void()> &change, int after)
    {
        const HSTREAM s = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_SAMPLE_FX);
        EXPECT_NE(s, 0u);
        attach(s);
        EXPECT_TRUE(BASS_ChannelPlay(s, FALSE));
        std::vector<float> skip(2 * static_cast<std::size_t>(before));
        vokrin::engine::advanceManualClock(before, skip.data());
        if (change)
            change();
        Audio out{kRate, 2, std::vector<float>(2 * static_cast<std::size_t>(after))};
        vokrin::engine::advanceManualClock(after, out.samples.data());
        BASS_StreamFree(s);
        return out;
    }
};

TEST_F(PlayingEffects, ASetIsHeardWithinTwentyMilliseconds)
{
    const auto file = writeWavFile(sine(kRate, 2, kRate * 2, 440, 0.5), "playing");
    struct Case
    {
        const char *what;
        DWORD type;
        std::function<bool(HFX)> initial, changed;
    };
    const Case cases[] = {
        {"compressor gain", BASS_FX_COMPRESSOR,
         [](HFX fx) {
             const BASS_FXCOMPRESSOR c{0, 0, 50, 0, 1, 0};
             return BASS_FXSetParameters(fx, &c) != 0;
         },
         [](HFX fx) {
             const BASS_FXCOMPRESSOR c{-12, 0, 50, 0, 1, 0};
             return BASS_FXSetParameters(fx, &c) != 0;
         }},
        {"eq gain", BASS_FX_PARAMEQ,
         [](HFX fx) {
             const BASS_FXPARAMEQ e{440, 12, 0};
             return BASS_FXSetParameters(fx, &e) != 0;
         },
         [](HFX fx) {
             const BASS_FXPARAMEQ e{440, 12, -12};
             return BASS_FXSetParameters(fx, &e) != 0;
         }},
        {"echo mix", BASS_FX_ECHO,
         [](HFX fx) {
             const BASS_FXECHO e{0, 0, 3, 3, 0};
             return BASS_FXSetParameters(fx, &e) != 0;
         },
         [](HFX fx) {
             const BASS_FXECHO e{50, 0, 3, 3, 0};
             return BASS_FXSetParameters(fx, &e) != 0;
         }},
    };
    const int before = kRate / 5, after = kRate / 5;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        HFX fx = 0;
        const auto attach = [&](HSTREAM s) {
            fx = BASS_ChannelSetFX(s, c.type, 1);
            ASSERT_TRUE(c.initial(fx));
        };
        const Audio unchanged = play(file, attach, before, nullptr, after);
        const Audio changed = play(
            file, attach, before, [&] { ASSERT_TRUE(c.changed(fx)); }, after);
        int first = -1;
        for (int i = 0; i < after && first < 0; ++i)
            if (std::fabs(changed.at(i, 0) - unchanged.at(i, 0)) > 0.01)
                first = i;
        ASSERT_GE(first, 0) << "the change was never heard";
        EXPECT_LE(first * 1000.0 / kRate, 20.0);
        // 20 ms on, the change is complete: the level has moved by several dB.
        const double moved = toDb(rms(changed.channel(0), kRate / 50, after) /
                                  rms(unchanged.channel(0), kRate / 50, after));
        EXPECT_LT(moved, -3.0);
    }
}

TEST_F(PlayingEffects, EffectsRunBeforeThePan)
{
    // Sound only on the left; a ping-pong echo carries it to the right, but the channel
    // is panned hard left, so if the echo ran before the pan the right stays silent.
    Audio in = sine(kRate, 2, kRate, 440, 0.5);
    for (int i = 0; i < in.frames(); ++i)
        in.at(i, 1) = 0.0f;
    const auto file = writeWavFile(in, "leftonly");
    const auto attach = [](HSTREAM s) {
        const BASS_FXECHO e{100, 50, 20, 20, -1};
        ASSERT_TRUE(BASS_FXSetParameters(BASS_ChannelSetFX(s, BASS_FX_ECHO, 1), &e));
        ASSERT_TRUE(BASS_ChannelSetAttributes(s, -1, -1, -100));
    };
    const Audio out = play(file, attach, kRate / 10, nullptr, kRate / 4);
    EXPECT_GT(rms(out.channel(0), 0, out.frames()), 0.05);
    EXPECT_EQ(peakAbs(out.channel(1), 0, out.frames()), 0.0);
}

TEST_F(PlayingEffects, EffectsRunBeforeTheMasterVolume)
{
    // A limiter at -20 dB: the master volume after it scales what it lets through.
    const auto file = writeWavFile(sine(kRate, 2, kRate, 1000, 0.9), "loud");
    const auto attach = [](HSTREAM s) {
        const BASS_FXCOMPRESSOR c{0, 0, 500, -20, 100, 0};
        ASSERT_TRUE(BASS_FXSetParameters(BASS_ChannelSetFX(s, BASS_FX_COMPRESSOR, 1), &c));
    };
    ASSERT_TRUE(BASS_SetVolume(100));
    const Audio full = play(file, attach, kRate / 10, nullptr, kRate / 4);
    ASSERT_TRUE(BASS_SetVolume(50));
    const Audio half = play(file, attach, kRate / 10, nullptr, kRate / 4);
    const double fullDb = toDb(peakAbs(full.channel(0), 0, full.frames()));
    const double halfDb = toDb(peakAbs(half.channel(0), 0, half.frames()));
    EXPECT_NEAR(fullDb, -20.0, 0.3);
    // BASS_SetVolume(50) is well below unity (about -18 dB); it shows in full.
    EXPECT_LT(halfDb, fullDb - 10.0);
}

} // namespace
} // namespace vokrin::fxtest
