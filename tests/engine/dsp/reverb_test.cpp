// Reverb: decay time from the impulse response, high-frequency damping, mix and in-gain.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "audio/engine/dsp/effect_chain.h"
#include "signal_tools.h"

using namespace vokrin::engine;
using namespace vokrin::fxtest;

namespace {

Audio reverb(const ReverbSettings &s, Audio a)
{
    EffectChain chain(a.rate, a.channels);
    const int fx = chain.add(EffectKind::Reverb, 1);
    EXPECT_TRUE(chain.set(fx, s));
    runChain(chain, a);
    return a;
}

// The wet impulse response (mix 0 dB is all wet), long enough for the whole decay.
Audio impulseResponse(int rate, int channels, float timeMs, float hfRatio)
{
    const int frames = static_cast<int>(rate * (timeMs / 1000.0 * 1.5 + 0.3));
    return reverb(ReverbSettings{0, 0, timeMs, hfRatio}, impulse(rate, channels, frames));
}

TEST(Reverb, DecayTimeFollowsTheReverbTime)
{
    struct Case
    {
        int rate;
        int channels;
        float ms;
    };
    const Case cases[] = {{44100, 2, 500}, {44100, 2, 1000}, {44100, 2, 2000}, {44100, 2, 3000},
                          {8000, 1, 1000}, {96000, 2, 2000}, {22050, 1, 500}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.rate << " Hz, " << c.channels << " ch, " << c.ms << " ms");
        // Nearly the same decay at all frequencies: the broadband response follows it.
        const Audio flat = impulseResponse(c.rate, c.channels, c.ms, 0.999f);
        for (int ch = 0; ch < c.channels; ++ch)
            EXPECT_NEAR(decayTime(flat.channel(ch), c.rate) * 1000.0, c.ms, 0.15 * c.ms);
        // With the program's ratio (highs die at once) the lows still keep the time.
        const Audio dark = impulseResponse(c.rate, c.channels, c.ms, 0.001f);
        const std::vector<float> lows = lowPass(dark.channel(0), c.rate, 300.0);
        EXPECT_NEAR(decayTime(lows, c.rate) * 1000.0, c.ms, 0.15 * c.ms);
    }
}

TEST(Reverb, HighFrequenciesDecayFasterWithALowRatio)
{
    const int rate = 44100;
    const Audio ir = impulseResponse(rate, 2, 2000, 0.1f);
    const std::vector<float> h = ir.channel(0);
    const double low = decayTime(lowPass(h, rate, 1000.0), rate);
    const double high = decayTime(highPass(h, rate, 6000.0), rate);
    EXPECT_LT(high, low / 3.0);
    EXPECT_NEAR(low, 2.0, 0.5); // the low band keeps roughly the full time
}

TEST(Reverb, MixAtTheBottomLeavesTheDrySignal)
{
    Audio in = sine(44100, 2, 44100, 440.0, 0.5);
    const Audio out = reverb(ReverbSettings{0, -96, 3000, 0.5f}, in);
    double worst = 0;
    for (std::size_t i = 0; i < in.samples.size(); ++i)
        worst = std::max(worst, static_cast<double>(std::fabs(out.samples[i] - in.samples[i])));
    EXPECT_LT(toDb(worst / 0.5), -80.0);
}

TEST(Reverb, InGainAtTheBottomSilencesTheWetPart)
{
    const Audio out = reverb(ReverbSettings{-96, 0, 1000, 0.5f}, sine(44100, 2, 44100, 440, 0.5));
    EXPECT_LT(peakAbs(out.samples, 0, static_cast<int>(out.samples.size())), fromDb(-96));
}

TEST(Reverb, InGainScalesTheWetLevel)
{
    const Audio full = reverb(ReverbSettings{0, 0, 1000, 0.5f}, sine(44100, 2, 44100, 440, 0.5));
    const Audio less = reverb(ReverbSettings{-20, 0, 1000, 0.5f}, sine(44100, 2, 44100, 440, 0.5));
    const double a = rms(full.channel(0), 22050, 44100), b = rms(less.channel(0), 22050, 44100);
    EXPECT_NEAR(toDb(b / a), -20.0, 0.5);
}

TEST(Reverb, WetLevelStaysNearTheInputForAnyTime)
{
    // A long reverb must not come out much louder than a short one, nor either much
    // louder or quieter than what goes in.
    double shortest = 0;
    for (float ms : {300.0f, 1000.0f, 3000.0f}) {
        SCOPED_TRACE(ms);
        const Audio in = noise(44100, 2, 88200, 0.5);
        const Audio out = reverb(ReverbSettings{0, 0, ms, 0.999f}, in);
        const double level = toDb(rms(out.channel(0), 44100, 88200) / rms(in.channel(0), 0, 88200));
        EXPECT_GT(level, -12.0);
        EXPECT_LT(level, 6.0);
        if (ms == 300.0f)
            shortest = level;
        EXPECT_LT(level - shortest, 6.0);
    }
}

TEST(Reverb, ReverbTimeUnderOneMillisecondActsAsOne)
{
    const Audio zero = reverb(ReverbSettings{0, 0, 0.0f, 0.5f}, impulse(44100, 2, 8000));
    const Audio tiny = reverb(ReverbSettings{0, 0, 0.4f, 0.5f}, impulse(44100, 2, 8000));
    const Audio one = reverb(ReverbSettings{0, 0, 1.0f, 0.5f}, impulse(44100, 2, 8000));
    EXPECT_EQ(zero.samples, one.samples);
    EXPECT_EQ(tiny.samples, one.samples);
    EXPECT_GT(peakAbs(one.samples, 0, 16000), 0.01); // the diffused first pass is there
}

TEST(Reverb, RefusesValuesOutOfRangeAndKeepsItsParameters)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const ReverbSettings refused[] = {
        {0.1f, -10, 1000, 0.5f}, {-96.5f, -10, 1000, 0.5f}, {-3, 0.5f, 1000, 0.5f},
        {-3, -97, 1000, 0.5f},   {-3, -10, -1, 0.5f},       {-3, -10, 3001, 0.5f},
        {-3, -10, 1000, 0.0f},   {-3, -10, 1000, 1.0f},     {nan, -10, 1000, 0.5f},
        {-3, -inf, 1000, 0.5f},  {-3, -10, inf, 0.5f},      {-3, -10, 1000, nan},
    };
    EffectChain chain(44100, 2);
    const int fx = chain.add(EffectKind::Reverb, 1);
    ASSERT_TRUE(chain.set(fx, ReverbSettings{-3, -10, 1500, 0.25f}));
    for (const ReverbSettings &s : refused) {
        EXPECT_FALSE(chain.set(fx, s));
        ReverbSettings now;
        ASSERT_TRUE(chain.get(fx, now));
        EXPECT_EQ(now.inGain, -3);
        EXPECT_EQ(now.reverbMix, -10);
        EXPECT_EQ(now.reverbTime, 1500);
        EXPECT_EQ(now.highFreqRTRatio, 0.25f);
    }
    EXPECT_TRUE(chain.set(fx, ReverbSettings{0, -96, 1000, 0.001f})); // the program's "off"
    EXPECT_TRUE(chain.set(fx, ReverbSettings{-96, 0, 0, 0.999f}));
    EXPECT_TRUE(chain.set(fx, ReverbSettings{0, 0, 3000, 0.001f}));
}

} // namespace
