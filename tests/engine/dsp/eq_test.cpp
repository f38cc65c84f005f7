// Peaking EQ band: measured gains, shape, bypass and refused values.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <limits>
#include <numbers>

#include "audio/engine/dsp/effect_chain.h"
#include "audio/engine/dsp/param_eq.h"
#include "signal_tools.h"

using namespace vokrin::engine;
using namespace vokrin::fxtest;

namespace {

// Gain in dB that one band applies to a sine at `hz`, measured on the rendered audio.
double measuredGainDb(int rate, const ParamEqSettings &band, double hz, int channels = 2)
{
    EffectChain chain(rate, channels);
    const int fx = chain.add(EffectKind::ParamEq, 1);
    EXPECT_TRUE(chain.set(fx, band));
    Audio a = sine(rate, channels, rate / 2, hz, 0.25);
    runChain(chain, a);
    // Skip the first 100 ms: the gain glide and the filter's settling.
    const int from = rate / 10;
    double worst = 0;
    for (int c = 0; c < channels; ++c) {
        const double g = toDb(amplitudeAt(a.channel(c), rate, hz, from, a.frames()) / 0.25);
        if (c == 0 || std::fabs(g) > std::fabs(worst))
            worst = g;
    }
    return worst;
}

TEST(ParamEq, TwelveDecibelsAtTheCentre)
{
    EXPECT_NEAR(measuredGainDb(44100, {1000.0f, 18.0f, 12.0f}, 1000.0), 12.0, 0.3);
}

TEST(ParamEq, FallsOffSymmetricallyOnALogFrequencyAxis)
{
    const ParamEqSettings band{1000.0f, 18.0f, 12.0f};
    double previous = 12.0;
    for (double octaves : {0.25, 0.5, 1.0, 2.0, 3.0}) {
        SCOPED_TRACE(octaves);
        const double above = measuredGainDb(44100, band, 1000.0 * std::exp2(octaves));
        const double below = measuredGainDb(44100, band, 1000.0 * std::exp2(-octaves));
        EXPECT_NEAR(above, below, 0.5);
        EXPECT_LT(above, previous); // falls steadily away from the centre
        previous = above;
    }
    // 1.5 octaves wide: at the band edges (0.75 octave out) the boost is well down,
    // and three octaves out it is nearly gone.
    EXPECT_LT(measuredGainDb(44100, band, 1000.0 * std::exp2(0.75)), 9.0);
    EXPECT_LT(measuredGainDb(44100, band, 8000.0), 1.5);
}

TEST(ParamEq, TheProgramsTenBandsAtBothExtremes)
{
    const float centres[] = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    for (float centre : centres)
        for (float gain : {-15.0f, 15.0f}) {
            SCOPED_TRACE(testing::Message() << centre << " Hz, " << gain << " dB");
            EXPECT_NEAR(measuredGainDb(44100, {centre, 18.0f, gain}, centre), gain, 0.3);
        }
}

TEST(ParamEq, WorksFromEightTo96KilohertzMonoAndStereo)
{
    struct Case
    {
        int rate;
        int channels;
        float centre;
        double expectHz; // where the peak lands (centre held below 0.45 x rate)
    };
    const Case cases[] = {{8000, 1, 1000, 1000}, {8000, 2, 16000, 3600}, {22050, 2, 16000, 9922.5},
                          {48000, 1, 600, 600},  {96000, 2, 80, 80},     {96000, 2, 16000, 16000}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz rate, centre " << c.centre);
        const double g = measuredGainDb(c.rate, {c.centre, 12.0f, 9.0f}, c.expectHz, c.channels);
        EXPECT_NEAR(g, 9.0, 0.3);
    }
}

TEST(ParamEq, ZeroDecibelsOnEveryBandIsBitExact)
{
    EffectChain chain(44100, 2);
    const float centres[] = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    for (float centre : centres)
        ASSERT_TRUE(
            chain.set(chain.add(EffectKind::ParamEq, 1), ParamEqSettings{centre, 18.0f, 0.0f}));
    Audio in = sine(44100, 2, 44100, 440.0, 0.7);
    for (int i = 0; i < in.frames(); i += 7)
        in.at(i, 1) = -in.at(i, 1) * 0.3f; // make the channels differ
    Audio out = in;
    runChain(chain, out);
    EXPECT_EQ(in.samples, out.samples);
}

TEST(ParamEq, BackToZeroDecibelsIsBitExactAgain)
{
    EffectChain chain(44100, 1);
    const int fx = chain.add(EffectKind::ParamEq, 1);
    ASSERT_TRUE(chain.set(fx, ParamEqSettings{1000.0f, 12.0f, 6.0f}));
    Audio warm = sine(44100, 1, 4410, 1000.0, 0.5);
    runChain(chain, warm);
    ASSERT_TRUE(chain.set(fx, ParamEqSettings{1000.0f, 12.0f, 0.0f}));
    Audio glide = sine(44100, 1, 4410, 1000.0, 0.5); // the 5 ms glide down
    runChain(chain, glide);
    Audio in = sine(44100, 1, 4410, 1000.0, 0.5);
    Audio out = in;
    runChain(chain, out);
    EXPECT_EQ(in.samples, out.samples);
}

TEST(ParamEq, CoefficientsGiveTheExactGainAtTheCentre)
{
    // |H(e^jw0)| of the peaking filter equals the gain for any width.
    for (double semis : {1.0, 12.0, 36.0}) {
        const fx::BiquadCoefficients c = fx::peakingCoefficients(44100, 2000, semis, -7.0);
        const double w = 2.0 * std::numbers::pi * 2000 / 44100;
        const std::complex<double> z1 = std::polar(1.0, -w), z2 = std::polar(1.0, -2 * w);
        const double h = std::abs((c.b0 + c.b1 * z1 + c.b2 * z2) / (1.0 + c.a1 * z1 + c.a2 * z2));
        EXPECT_NEAR(toDb(h), -7.0, 1e-9) << semis;
    }
}

TEST(ParamEq, RefusesValuesOutOfRangeAndKeepsItsParameters)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const ParamEqSettings refused[] = {
        {1000, 12, 15.5f}, {1000, 12, -15.5f}, {1000, 12, nan}, {1000, 12, inf},
        {79.9f, 12, 3},    {16001, 12, 3},     {nan, 12, 3},    {-inf, 12, 3},
        {1000, 0.9f, 3},   {1000, 36.1f, 3},   {1000, nan, 3},
    };
    EffectChain chain(44100, 2);
    const int fx = chain.add(EffectKind::ParamEq, 1);
    const ParamEqSettings kept{600.0f, 18.0f, -4.0f};
    ASSERT_TRUE(chain.set(fx, kept));
    for (const ParamEqSettings &s : refused) {
        SCOPED_TRACE(testing::Message() << s.center << " " << s.bandwidth << " " << s.gain);
        EXPECT_FALSE(chain.set(fx, s));
        ParamEqSettings now;
        ASSERT_TRUE(chain.get(fx, now));
        EXPECT_EQ(now.center, kept.center);
        EXPECT_EQ(now.bandwidth, kept.bandwidth);
        EXPECT_EQ(now.gain, kept.gain);
    }
    // The sound is still the kept band's: -4 dB at 600 Hz.
    Audio a = sine(44100, 2, 22050, 600.0, 0.1);
    runChain(chain, a);
    EXPECT_NEAR(toDb(amplitudeAt(a.channel(0), 44100, 600.0, 4410, a.frames()) / 0.1), -4.0, 0.3);
    // The edges of the ranges are accepted.
    EXPECT_TRUE(chain.set(fx, ParamEqSettings{80.0f, 1.0f, -15.0f}));
    EXPECT_TRUE(chain.set(fx, ParamEqSettings{16000.0f, 36.0f, 15.0f}));
}

} // namespace
