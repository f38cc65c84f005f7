// Echo: delays per side, repeat decay, dry-only bit-exactness and ping-pong.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "audio/engine/dsp/effect_chain.h"
#include "signal_tools.h"

using namespace vokrin::engine;
using namespace vokrin::fxtest;

namespace {

Audio echo(const EchoSettings &s, Audio a)
{
    EffectChain chain(a.rate, a.channels);
    const int fx = chain.add(EffectKind::Echo, 1);
    EXPECT_TRUE(chain.set(fx, s));
    runChain(chain, a);
    return a;
}

EchoSettings settings(float mix, float feedback, float left, float right, bool pan)
{
    return EchoSettings{mix, feedback, left, right, pan};
}

int samples(double ms, int rate)
{
    return static_cast<int>(std::lround(ms * rate / 1000.0));
}

TEST(Echo, ImpulseReturnsAtEachSidesDelay)
{
    struct Case
    {
        int rate;
        float left, right;
    };
    const Case cases[] = {{44100, 500, 500},
                          {44100, 120, 333},
                          {8000, 1, 2000},
                          {48000, 2000, 7.5f},
                          {96000, 250, 1000}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << ": " << c.left << " / " << c.right);
        const int frames = samples(std::max(c.left, c.right), c.rate) + 100;
        const Audio out =
            echo(settings(100, 0, c.left, c.right, false), impulse(c.rate, 2, frames));
        EXPECT_NEAR(peakIndex(out.channel(0), 0, frames), samples(c.left, c.rate), 1);
        EXPECT_NEAR(peakIndex(out.channel(1), 0, frames), samples(c.right, c.rate), 1);
        EXPECT_NEAR(peakAbs(out.channel(0), 0, frames), 1.0, 1e-6); // mix 100: all wet
    }
}

TEST(Echo, EachRepeatIsTheFeedbackOfTheOneBefore)
{
    for (float feedback : {25.0f, 50.0f, 90.0f}) {
        SCOPED_TRACE(feedback);
        const int d = samples(100, 44100);
        const Audio out = echo(settings(50, feedback, 100, 100, false), impulse(44100, 2, 6 * d));
        const std::vector<float> left = out.channel(0);
        EXPECT_FLOAT_EQ(left[0], 0.5f);  // dry half
        EXPECT_NEAR(left[d], 0.5, 1e-6); // first repeat at the wet half
        for (int k = 2; k <= 5; ++k)
            EXPECT_NEAR(left[k * d] / left[(k - 1) * d], feedback / 100.0, 1e-5) << k;
        // Nothing between the repeats.
        EXPECT_LT(peakAbs(left, d + 2, 2 * d - 1), 1e-7);
    }
}

TEST(Echo, FullFeedbackStillDecays)
{
    const int d = samples(50, 44100);
    const Audio out = echo(settings(100, 100, 50, 50, false), impulse(44100, 2, 200 * d));
    const std::vector<float> left = out.channel(0);
    // Near full scale the repeats are bent a little more; below that each is 0.98 of
    // the one before.
    for (int k = 2; k <= 20; ++k) {
        const double ratio = left[k * d] / left[(k - 1) * d];
        EXPECT_GT(ratio, k < 6 ? 0.9 : 0.975) << k;
        EXPECT_LT(ratio, 0.985) << k;
    }
    // After 199 repeats the impulse is well below -20 dB.
    EXPECT_LT(std::abs(left[199 * d]), 0.1);
}

TEST(Echo, FeedbackAloneNeverTakesPinkNoisePastFullScale)
{
    // 60 s of pink noise peaking near -6 dBFS, at every extreme of the knobs.
    const Audio in = pinkNoise(44100, 2, 60 * 44100, 0.5);
    ASSERT_GT(peakAbs(in.channel(0), 0, in.frames()), 0.3);
    for (const bool pan : {false, true}) {
        for (const float mix : {100.0f, 50.0f}) {
            SCOPED_TRACE(testing::Message() << "pan " << pan << " mix " << mix);
            const Audio out = echo(settings(mix, 100, 20, 31, pan), in);
            for (int c = 0; c < 2; ++c) {
                EXPECT_LT(peakAbs(out.channel(c), 0, out.frames()), 1.0) << c;
                // Still an echo, not silence.
                EXPECT_GT(rms(out.channel(c), out.frames() / 2, out.frames()), 0.05) << c;
            }
        }
    }
}

TEST(Echo, InputPastFullScaleWithFullFeedbackStaysFinite)
{
    // An equaliser in front can hand the echo samples far past full scale.
    const Audio out = echo(settings(100, 100, 5, 7, true), noise(44100, 2, 44100, 40.0));
    for (float v : out.samples)
        ASSERT_TRUE(std::isfinite(v));
    EXPECT_LT(peakAbs(out.channel(0), 0, out.frames()), 40.0);
}

TEST(Echo, MixZeroIsDryAndBitExact)
{
    Audio in = sine(44100, 2, 44100, 523.0, 0.9);
    for (int i = 0; i < in.frames(); i += 3)
        in.at(i, 1) *= -0.25f;
    EXPECT_EQ(echo(settings(0, 80, 100, 230, true), in).samples, in.samples);
    Audio mono = sine(44100, 1, 10000, 523.0, 0.9);
    EXPECT_EQ(echo(settings(0, 50, 500, 500, false), mono).samples, mono.samples);
}

TEST(Echo, PanDelayAlternatesSides)
{
    const int l = samples(100, 44100), r = samples(150, 44100);
    const Audio out =
        echo(settings(100, 50, 100, 150, true), impulse(44100, 2, 4 * (l + r), /*left*/ 0));
    const std::vector<float> left = out.channel(0), right = out.channel(1);
    // left at l, right at l + r, left at 2l + r, right at 2l + 2r ...
    EXPECT_NEAR(left[l], 1.0, 1e-6);
    EXPECT_NEAR(right[l + r], 0.5, 1e-6);
    EXPECT_NEAR(left[2 * l + r], 0.25, 1e-6);
    EXPECT_NEAR(right[2 * l + 2 * r], 0.125, 1e-6);
    // and never on both sides at once
    EXPECT_LT(peakAbs(right, 0, l + r - 1), 1e-7);
    EXPECT_LT(std::fabs(left[l + r]), 1e-7);
    EXPECT_LT(std::fabs(right[2 * l + r]), 1e-7);
}

TEST(Echo, MonoUsesTheLeftDelay)
{
    const Audio out = echo(settings(100, 50, 200, 50, true), impulse(22050, 1, 22050));
    const std::vector<float> x = out.channel(0);
    const int d = samples(200, 22050);
    EXPECT_EQ(peakIndex(x, 0, x.size()), d);
    EXPECT_NEAR(x[2 * d], 0.5, 1e-6); // pan delay has no partner: feeds itself
}

TEST(Echo, RefusesValuesOutOfRangeAndKeepsItsParameters)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const EchoSettings refused[] = {
        settings(-1, 50, 500, 500, false),    settings(100.5f, 50, 500, 500, false),
        settings(50, -0.1f, 500, 500, false), settings(50, 101, 500, 500, false),
        settings(50, 50, 0.5f, 500, false),   settings(50, 50, 500, 2001, false),
        settings(50, 50, nan, 500, false),    settings(50, 50, 500, inf, false),
        settings(nan, 50, 500, 500, false),
    };
    EffectChain chain(44100, 2);
    const int fx = chain.add(EffectKind::Echo, 1);
    ASSERT_TRUE(chain.set(fx, settings(30, 40, 333, 444, true)));
    for (const EchoSettings &s : refused) {
        EXPECT_FALSE(chain.set(fx, s));
        EchoSettings now;
        ASSERT_TRUE(chain.get(fx, now));
        EXPECT_EQ(now.wetDryMix, 30);
        EXPECT_EQ(now.feedback, 40);
        EXPECT_EQ(now.leftDelay, 333);
        EXPECT_EQ(now.rightDelay, 444);
        EXPECT_TRUE(now.panDelay);
    }
    EXPECT_TRUE(chain.set(fx, settings(0, 0, 1, 2000, false)));
    EXPECT_TRUE(chain.set(fx, settings(100, 100, 2000, 1, true)));
}

} // namespace
