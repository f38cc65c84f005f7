// Compressor: static curve, timing, transparency and look-ahead, measured on output.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "audio/engine/dsp/effect_chain.h"
#include "signal_tools.h"

using namespace vokrin::engine;
using namespace vokrin::fxtest;

namespace {

constexpr int kRate = 44100;

Audio compress(const CompressorSettings &s, Audio a)
{
    EffectChain chain(a.rate, a.channels);
    const int fx = chain.add(EffectKind::Compressor, 1);
    EXPECT_TRUE(chain.set(fx, s));
    runChain(chain, a);
    return a;
}

CompressorSettings settings(float gain, float attack, float release, float threshold, float ratio,
                            float predelay)
{
    return CompressorSettings{gain, attack, release, threshold, ratio, predelay};
}

// Level in dBFS of a steady sine after the compressor: the peak over the last half.
double steadyLevelDb(const CompressorSettings &s, double inputDb)
{
    Audio out = compress(s, sine(kRate, 2, kRate, 1000.0, fromDb(inputDb)));
    return toDb(peakAbs(out.channel(0), kRate / 2, kRate));
}

TEST(Compressor, StaticCurve)
{
    struct Case
    {
        float gain, threshold, ratio;
        double inputDb, expectDb, tolerance;
    };
    const Case cases[] = {
        {0, -10, 10, 0.0, -9.0, 0.5},    // the reference point
        {6, -10, 10, 0.0, -3.0, 0.5},    // plus the output gain
        {-12, -10, 10, 0.0, -21.0, 0.5}, //
        {0, -20, 3, -30.0, -30.0, 0.2},  // below the threshold: unchanged
        {0, -20, 3, -21.0, -21.0, 0.2},  //
        {0, -60, 100, -70.0, -70.0, 0.2}, {0, -30, 2, -6.0, -18.0, 0.5}, // 24 dB over, halved
        {0, -20, 100, -2.0, -19.8, 0.5},                                 // nearly a limiter
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "thr " << c.threshold << " ratio " << c.ratio << " in "
                                        << c.inputDb << " gain " << c.gain);
        EXPECT_NEAR(steadyLevelDb(settings(c.gain, 5, 200, c.threshold, c.ratio, 0), c.inputDb),
                    c.expectDb, c.tolerance);
    }
}

TEST(Compressor, RatioOneWithoutLookAheadIsTransparent)
{
    Audio in = sine(kRate, 2, kRate / 2, 300.0, 1.0);
    for (int i = 0; i < in.frames(); ++i)
        in.at(i, 1) *= 0.5f;
    const Audio out = compress(settings(0, 0, 50, -60, 1, 0), in);
    EXPECT_EQ(in.samples, out.samples);
}

// A level step between two steady levels, on a constant-magnitude signal so the gain
// can be read sample by sample.
Audio levelSteps(int frames, int stepUp, int stepDown, float low, float high)
{
    Audio a = silence(kRate, 2, frames);
    for (int i = 0; i < frames; ++i) {
        const float level = (i >= stepUp && i < stepDown) ? high : low;
        const float sign = (i / 20) % 2 ? -1.0f : 1.0f; // a 1.1 kHz square wave
        a.at(i, 0) = a.at(i, 1) = sign * level;
    }
    return a;
}

// Milliseconds after `from` until the gain (in dB) has covered 90 % of its way from
// `startDb` to `endDb`.
double msToNinetyPercent(const Audio &in, const Audio &out, int from, double startDb, double endDb)
{
    const double mark = startDb + 0.9 * (endDb - startDb);
    for (int i = from; i < in.frames(); ++i) {
        const double g = toDb(std::fabs(out.at(i, 0)) / std::fabs(in.at(i, 0)));
        if ((endDb < startDb && g <= mark) || (endDb > startDb && g >= mark))
            return (i - from) * 1000.0 / kRate;
    }
    return -1;
}

TEST(Compressor, AttackAndReleaseTimes)
{
    struct Case
    {
        float attack, release;
    };
    const Case cases[] = {{10, 200}, {50, 500}, {200, 100}, {2, 1000}};
    const int up = kRate / 2;
    const int down = up + kRate;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "attack " << c.attack << " release " << c.release);
        // -40 dB to 0 dB over a -20 dB threshold at 4:1: 15 dB of gain reduction.
        const Audio in = levelSteps(down + 2 * kRate, up, down, 0.01f, 1.0f);
        const Audio out = compress(settings(0, c.attack, c.release, -20, 4, 0), in);
        EXPECT_NEAR(toDb(std::fabs(out.at(down - 1, 0))), -15.0, 0.2); // settled
        EXPECT_NEAR(msToNinetyPercent(in, out, up, 0.0, -15.0), c.attack, 0.2 * c.attack);
        // Recovery: the held peak releases, then the attack smoothing follows it.
        const double recovery = msToNinetyPercent(in, out, down, -15.0, 0.0);
        EXPECT_NEAR(recovery, c.release, 0.2 * c.release);
    }
}

TEST(Compressor, AttackZeroIsInstant)
{
    const Audio in = levelSteps(kRate, 1000, kRate, 0.01f, 1.0f);
    const Audio out = compress(settings(0, 0, 500, -20, 4, 0), in);
    EXPECT_NEAR(toDb(std::fabs(out.at(1000, 0))), -15.0, 0.01);
}

TEST(Compressor, PredelayDelaysTheAudio)
{
    for (float ms : {0.0f, 1.0f, 2.5f, 4.0f}) {
        SCOPED_TRACE(ms);
        Audio in = silence(kRate, 2, 4096);
        in.at(1000, 0) = in.at(1000, 1) = 0.001f; // far below the threshold
        const Audio out = compress(settings(0, 10, 200, -20, 4, ms), in);
        const int expected = 1000 + static_cast<int>(std::lround(ms * kRate / 1000.0));
        EXPECT_EQ(peakIndex(out.channel(0), 0, out.frames()), expected);
        EXPECT_FLOAT_EQ(out.at(expected, 1), 0.001f);
    }
}

TEST(Compressor, LookAheadCatchesTheStepBeforeItIsHeard)
{
    // With 4 ms of look-ahead and an instant attack the loud part is already reduced
    // when it comes out: no overshoot at the step.
    const int up = 10000;
    const Audio in = levelSteps(20000, up, 20000, 0.01f, 1.0f);
    const Audio out = compress(settings(0, 0, 200, -20, 4, 4), in);
    EXPECT_LT(peakAbs(out.channel(0), 0, out.frames()), fromDb(-14.8));
}

TEST(Compressor, StereoLinked)
{
    // Only the left side is loud; the right side is reduced by the same gain.
    Audio in = silence(kRate, 2, kRate / 2);
    for (int i = 0; i < in.frames(); ++i) {
        in.at(i, 0) = (i / 20) % 2 ? -1.0f : 1.0f;
        in.at(i, 1) = (i / 20) % 2 ? -0.01f : 0.01f;
    }
    const Audio out = compress(settings(0, 0, 200, -20, 4, 0), in);
    const int last = out.frames() - 1;
    EXPECT_NEAR(toDb(std::fabs(out.at(last, 0) / in.at(last, 0))), -15.0, 0.05);
    EXPECT_NEAR(toDb(std::fabs(out.at(last, 1) / in.at(last, 1))), -15.0, 0.05);
}

TEST(Compressor, RefusesValuesOutOfRangeAndKeepsItsParameters)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const CompressorSettings ok = settings(3, 20, 300, -25, 5, 2);
    const CompressorSettings refused[] = {
        settings(60.5f, 20, 300, -25, 5, 2), settings(-61, 20, 300, -25, 5, 2),
        settings(nan, 20, 300, -25, 5, 2),   settings(3, -1, 300, -25, 5, 2),
        settings(3, 501, 300, -25, 5, 2),    settings(3, 20, 49, -25, 5, 2),
        settings(3, 20, 3001, -25, 5, 2),    settings(3, 20, inf, -25, 5, 2),
        settings(3, 20, 300, 0.5f, 5, 2),    settings(3, 20, 300, -61, 5, 2),
        settings(3, 20, 300, -25, 0.5f, 2),  settings(3, 20, 300, -25, 101, 2),
        settings(3, 20, 300, -25, 5, 4.1f),  settings(3, 20, 300, -25, 5, -0.1f),
        settings(3, 20, 300, -25, nan, 2),   settings(3, 20, 300, -25, 5, -inf),
    };
    EffectChain chain(kRate, 2);
    const int fx = chain.add(EffectKind::Compressor, 1);
    ASSERT_TRUE(chain.set(fx, ok));
    for (const CompressorSettings &s : refused) {
        EXPECT_FALSE(chain.set(fx, s));
        CompressorSettings now;
        ASSERT_TRUE(chain.get(fx, now));
        EXPECT_EQ(now.gain, 3);
        EXPECT_EQ(now.attack, 20);
        EXPECT_EQ(now.release, 300);
        EXPECT_EQ(now.threshold, -25);
        EXPECT_EQ(now.ratio, 5);
        EXPECT_EQ(now.predelay, 2);
    }
    // The range edges, including what the program sends when the group is off.
    EXPECT_TRUE(chain.set(fx, settings(0, 0, 50, -10, 10, 0)));
    EXPECT_TRUE(chain.set(fx, settings(60, 500, 3000, 0, 100, 4)));
    EXPECT_TRUE(chain.set(fx, settings(-60, 0, 50, -60, 1, 0)));
}

} // namespace
