// The four effects measured on audio rendered through decoding channels: generated WAV
// files opened with the decode flag, effects set through the effect calls, PCM read
// back with BASS_ChannelGetData.
#include <cmath>

#include "channel_support.h"

namespace vokrin::fxtest {
namespace {

class DecodedEffects : public EngineTest
{
};

template <typename Record> auto setOne(DWORD type, Record record, int priority = 1)
{
    return [type, record, priority](HSTREAM s) {
        const HFX fx = BASS_ChannelSetFX(s, type, priority);
        ASSERT_NE(fx, 0u);
        ASSERT_TRUE(BASS_FXSetParameters(fx, &record)) << BASS_ErrorGetCode();
    };
}

double eqGainDb(int rate, int channels, BASS_FXPARAMEQ band, double hz)
{
    const Audio out = renderThroughChannel(sine(rate, channels, rate / 2, hz, 0.25), "eq",
                                           setOne(BASS_FX_PARAMEQ, band));
    return toDb(amplitudeAt(out.channel(channels - 1), rate, hz, rate / 10, out.frames()) / 0.25);
}

TEST_F(DecodedEffects, EqTwelveDecibelsAtOneKilohertzFallingOffSymmetrically)
{
    const BASS_FXPARAMEQ band{1000, 18, 12};
    EXPECT_NEAR(eqGainDb(44100, 2, band, 1000), 12.0, 0.3);
    for (double octaves : {0.5, 1.0, 2.0}) {
        const double above = eqGainDb(44100, 2, band, 1000 * std::exp2(octaves));
        const double below = eqGainDb(44100, 2, band, 1000 * std::exp2(-octaves));
        EXPECT_NEAR(above, below, 0.5) << octaves;
        EXPECT_LT(above, 11.0) << octaves;
    }
}

TEST_F(DecodedEffects, EqTheProgramsTenBandsAtTheirCentres)
{
    const float centres[] = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    for (float centre : centres)
        for (float gain : {-15.0f, 15.0f})
            EXPECT_NEAR(eqGainDb(44100, 2, {centre, 18, gain}, centre), gain, 0.3)
                << centre << " Hz " << gain << " dB";
    // A mono 8 kHz file and a 96 kHz one as well.
    EXPECT_NEAR(eqGainDb(8000, 1, {1000, 18, 15}, 1000), 15.0, 0.3);
    EXPECT_NEAR(eqGainDb(96000, 2, {16000, 18, -15}, 16000), -15.0, 0.3);
}

TEST_F(DecodedEffects, EqZeroDecibelsOnAllBandsIsBitExact)
{
    const Audio in = noise(44100, 2, 44100, 0.8);
    const auto tenFlatBands = [](HSTREAM s) {
        const float centres[] = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
        for (float centre : centres) {
            const BASS_FXPARAMEQ band{centre, 18, 0};
            ASSERT_TRUE(BASS_FXSetParameters(BASS_ChannelSetFX(s, BASS_FX_PARAMEQ, 1), &band));
        }
    };
    EXPECT_EQ(renderThroughChannel(in, "flat", tenFlatBands).samples, quantised(in).samples);
}

TEST_F(DecodedEffects, EqGainFifteenAndAHalfIsRefused)
{
    const HSTREAM s = openDecoding(writeWavFile(sine(44100, 2, 4410, 1000, 0.25), "refused"));
    const HFX fx = BASS_ChannelSetFX(s, BASS_FX_PARAMEQ, 1);
    const BASS_FXPARAMEQ bad{1000, 18, 15.5f};
    EXPECT_FALSE(BASS_FXSetParameters(fx, &bad));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    const Audio out = readAllFloat(s, 44100, 2);
    EXPECT_EQ(out.samples, quantised(sine(44100, 2, 4410, 1000, 0.25)).samples);
}

double compressedLevelDb(BASS_FXCOMPRESSOR c, double inputDb)
{
    const Audio out = renderThroughChannel(sine(44100, 2, 44100, 1000, fromDb(inputDb)), "comp",
                                           setOne(BASS_FX_COMPRESSOR, c));
    return toDb(peakAbs(out.channel(0), 22050, 44100));
}

TEST_F(DecodedEffects, CompressorSteadySines)
{
    // Below the threshold: unchanged.
    EXPECT_NEAR(compressedLevelDb({0, 10, 200, -20, 4, 0}, -26), -26.0, 0.2);
    EXPECT_NEAR(compressedLevelDb({0, 10, 200, -10, 10, 4}, -12), -12.0, 0.2);
    // 0 dBFS, threshold -10, ratio 10: -9 dBFS plus the output gain.
    for (float gain : {0.0f, 6.0f, -20.0f})
        EXPECT_NEAR(compressedLevelDb({gain, 10, 200, -10, 10, 0}, 0.0), -9.0 + gain, 0.5) << gain;
}

TEST_F(DecodedEffects, CompressorRatioOneIsTransparent)
{
    const Audio in = noise(44100, 2, 44100, 1.0);
    const Audio out = renderThroughChannel(
        in, "ratio1", setOne(BASS_FX_COMPRESSOR, BASS_FXCOMPRESSOR{0, 0, 50, -60, 1, 0}));
    EXPECT_EQ(out.samples, quantised(in).samples);
}

TEST_F(DecodedEffects, CompressorAttackAndReleaseTimes)
{
    // A square wave stepping from -40 to 0 dBFS and back, threshold -20 at 4:1: 15 dB of
    // gain reduction, readable sample by sample.
    const int up = 22050, down = up + 44100, frames = down + 88200;
    Audio in = silence(44100, 2, frames);
    for (int i = 0; i < frames; ++i) {
        const float level = (i >= up && i < down) ? 0.999f : 0.01f;
        in.at(i, 0) = in.at(i, 1) = ((i / 20) % 2 ? -1.0f : 1.0f) * level;
    }
    const Audio ref = quantised(in);
    for (auto [attack, release] : {std::pair{10.0f, 200.0f}, std::pair{100.0f, 1000.0f}}) {
        SCOPED_TRACE(testing::Message() << attack << " / " << release);
        const Audio out = renderThroughChannel(
            in, "steps",
            setOne(BASS_FX_COMPRESSOR, BASS_FXCOMPRESSOR{0, attack, release, -20, 4, 0}));
        const auto gainDb = [&](int i) { return toDb(std::fabs(out.at(i, 0) / ref.at(i, 0))); };
        int i = up;
        while (i < down && gainDb(i) > -13.5)
            ++i;
        EXPECT_NEAR((i - up) * 1000.0 / 44100, attack, 0.2 * attack);
        i = down;
        while (i < frames && gainDb(i) < -1.5)
            ++i;
        EXPECT_NEAR((i - down) * 1000.0 / 44100, release, 0.2 * release);
    }
}

TEST_F(DecodedEffects, CompressorPredelayDelaysTheAudio)
{
    for (float ms : {1.0f, 4.0f}) {
        Audio in = silence(44100, 2, 8192);
        in.at(3000, 0) = in.at(3000, 1) = 0.01f;
        const Audio out = renderThroughChannel(
            in, "predelay", setOne(BASS_FX_COMPRESSOR, BASS_FXCOMPRESSOR{0, 10, 200, -20, 4, ms}));
        EXPECT_EQ(peakIndex(out.channel(1), 0, out.frames()),
                  3000 + static_cast<int>(std::lround(ms * 44.1)))
            << ms;
    }
}

TEST_F(DecodedEffects, EchoDelaysFeedbackMixAndPan)
{
    const int rate = 48000;
    Audio click = silence(rate, 2, rate * 2);
    click.at(0, 0) = click.at(0, 1) = 0.5f;
    // Each side at its own delay.
    Audio out =
        renderThroughChannel(click, "echo", setOne(BASS_FX_ECHO, BASS_FXECHO{100, 0, 250, 410, 0}));
    EXPECT_NEAR(peakIndex(out.channel(0), 0, out.frames()), 12000, 1);
    EXPECT_NEAR(peakIndex(out.channel(1), 0, out.frames()), 19680, 1);
    // Each repeat is the feedback of the one before.
    out =
        renderThroughChannel(click, "echo", setOne(BASS_FX_ECHO, BASS_FXECHO{50, 40, 100, 100, 0}));
    const std::vector<float> left = out.channel(0);
    for (int k = 2; k <= 4; ++k)
        EXPECT_NEAR(left[k * 4800] / left[(k - 1) * 4800], 0.4, 1e-4) << k;
    // Pan delay: a click on the left comes back left, right, left.
    Audio leftClick = silence(rate, 2, rate * 2);
    leftClick.at(0, 0) = 0.5f;
    out = renderThroughChannel(leftClick, "ping",
                               setOne(BASS_FX_ECHO, BASS_FXECHO{100, 50, 100, 200, -1}));
    EXPECT_NEAR(out.at(4800, 0), 0.5, 1e-4);
    EXPECT_NEAR(out.at(4800 + 9600, 1), 0.25, 1e-4);
    EXPECT_NEAR(out.at(2 * 4800 + 9600, 0), 0.125, 1e-4);
    EXPECT_EQ(out.at(4800, 1), 0.0f);
    EXPECT_EQ(out.at(4800 + 9600, 0), 0.0f);
    // Mix 0: dry only, bit-exact.
    const Audio in = noise(rate, 2, rate, 0.7);
    EXPECT_EQ(
        renderThroughChannel(in, "dry", setOne(BASS_FX_ECHO, BASS_FXECHO{0, 50, 100, 200, -1}))
            .samples,
        quantised(in).samples);
}

TEST_F(DecodedEffects, ReverbDecayTimes)
{
    for (float ms : {500.0f, 1000.0f, 2000.0f, 3000.0f}) {
        Audio click = silence(44100, 2, static_cast<int>(44100 * (ms / 1000 * 1.5 + 0.3)));
        click.at(0, 0) = click.at(0, 1) = 0.999f;
        const Audio ir = renderThroughChannel(
            click, "ir", setOne(BASS_FX_REVERB, BASS_FXREVERB{0, 0, ms, 0.999f}));
        for (int ch = 0; ch < 2; ++ch)
            EXPECT_NEAR(decayTime(ir.channel(ch), 44100) * 1000.0, ms, 0.15 * ms) << ms;
    }
}

TEST_F(DecodedEffects, ReverbHighFrequencyRatio)
{
    Audio click = silence(44100, 2, 44100 * 3);
    click.at(0, 0) = click.at(0, 1) = 0.999f;
    const Audio ir =
        renderThroughChannel(click, "hf", setOne(BASS_FX_REVERB, BASS_FXREVERB{0, 0, 2000, 0.1f}));
    const std::vector<float> h = ir.channel(1);
    EXPECT_LT(decayTime(highPass(h, 44100, 6000), 44100),
              decayTime(lowPass(h, 44100, 1000), 44100) / 3.0);
}

TEST_F(DecodedEffects, ReverbMixAndInGainAtTheBottom)
{
    const Audio in = noise(44100, 2, 44100, 0.5);
    const Audio ref = quantised(in);
    Audio out =
        renderThroughChannel(in, "mix", setOne(BASS_FX_REVERB, BASS_FXREVERB{0, -96, 2000, 0.5f}));
    double worst = 0;
    for (std::size_t i = 0; i < ref.samples.size(); ++i)
        worst = std::max(worst, static_cast<double>(std::fabs(out.samples[i] - ref.samples[i])));
    EXPECT_LT(toDb(worst / 0.5), -80.0);
    // In-gain -96 dB with an all-wet mix: nothing comes out.
    out = renderThroughChannel(in, "ingain",
                               setOne(BASS_FX_REVERB, BASS_FXREVERB{-96, 0, 2000, 0.5f}));
    EXPECT_LT(toDb(peakAbs(out.samples, 0, static_cast<int>(out.samples.size())) / 0.5), -96.0);
}

TEST_F(DecodedEffects, PriorityDecidesTheOrder)
{
    // A -30 dB tone: a hard compressor at -20 dB before a +12 dB EQ leaves -18 dB;
    // after it, holds the boosted tone near -20 dB.
    for (auto [compPriority, expectDb] : {std::pair{2, -18.0}, std::pair{0, -20.0}}) {
        const auto attach = [compPriority](HSTREAM s) {
            const BASS_FXPARAMEQ eq{1000, 36, 12};
            const BASS_FXCOMPRESSOR comp{0, 0, 500, -20, 100, 0};
            ASSERT_TRUE(BASS_FXSetParameters(BASS_ChannelSetFX(s, BASS_FX_PARAMEQ, 1), &eq));
            ASSERT_TRUE(BASS_FXSetParameters(BASS_ChannelSetFX(s, BASS_FX_COMPRESSOR, compPriority),
                                             &comp));
        };
        const Audio out =
            renderThroughChannel(sine(44100, 2, 22050, 1000, fromDb(-30)), "order", attach);
        EXPECT_NEAR(toDb(peakAbs(out.channel(0), 11025, 22050)), expectDb, 0.3) << compPriority;
    }
}

} // namespace
} // namespace vokrin::fxtest
