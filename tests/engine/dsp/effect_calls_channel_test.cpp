// The effect calls of the engine's call set: handles, records, errors, lifetime.
#include <cmath>
#include <cstring>
#include <limits>

#include "channel_support.h"

namespace vokrin::fxtest {
namespace {

class EffectCalls : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        stream = openDecoding(writeWavFile(sine(44100, 2, 4410, 440, 0.5), "calls"));
        ASSERT_NE(stream, 0u);
    }
    HSTREAM stream = 0;
};

TEST_F(EffectCalls, SetFxRefusesUnknownChannelsAndTypes)
{
    EXPECT_EQ(BASS_ChannelSetFX(0, BASS_FX_ECHO, 1), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_ChannelSetFX(stream + 1000, BASS_FX_ECHO, 1), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    for (DWORD type : {0u, 2u, 4u, 5u, 6u, 9u, 0xffffffffu}) {
        EXPECT_EQ(BASS_ChannelSetFX(stream, type, 1), 0u) << type;
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE) << type;
    }
    const HFX a = BASS_ChannelSetFX(stream, BASS_FX_PARAMEQ, 1);
    const HFX b = BASS_ChannelSetFX(stream, BASS_FX_PARAMEQ, 1);
    EXPECT_NE(a, 0u);
    EXPECT_NE(b, 0u);
    EXPECT_NE(a, b);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
}

TEST_F(EffectCalls, NewEffectsStartWithTheClassicDefaults)
{
    BASS_FXPARAMEQ eq;
    ASSERT_TRUE(BASS_FXGetParameters(BASS_ChannelSetFX(stream, BASS_FX_PARAMEQ, 1), &eq));
    EXPECT_EQ(eq.fCenter, 8000.0f);
    EXPECT_EQ(eq.fBandwidth, 12.0f);
    EXPECT_EQ(eq.fGain, 0.0f);
    BASS_FXCOMPRESSOR comp;
    ASSERT_TRUE(BASS_FXGetParameters(BASS_ChannelSetFX(stream, BASS_FX_COMPRESSOR, 1), &comp));
    EXPECT_EQ(comp.fGain, 0.0f);
    EXPECT_EQ(comp.fAttack, 10.0f);
    EXPECT_EQ(comp.fRelease, 200.0f);
    EXPECT_EQ(comp.fThreshold, -20.0f);
    EXPECT_EQ(comp.fRatio, 3.0f);
    EXPECT_EQ(comp.fPredelay, 4.0f);
    BASS_FXECHO echo;
    std::memset(&echo, 0x55, sizeof echo);
    ASSERT_TRUE(BASS_FXGetParameters(BASS_ChannelSetFX(stream, BASS_FX_ECHO, 1), &echo));
    EXPECT_EQ(echo.fWetDryMix, 50.0f);
    EXPECT_EQ(echo.fFeedback, 50.0f);
    EXPECT_EQ(echo.fLeftDelay, 500.0f);
    EXPECT_EQ(echo.fRightDelay, 500.0f);
    EXPECT_EQ(echo.lPanDelay, 0);
    BASS_FXREVERB reverb;
    ASSERT_TRUE(BASS_FXGetParameters(BASS_ChannelSetFX(stream, BASS_FX_REVERB, 1), &reverb));
    EXPECT_EQ(reverb.fInGain, 0.0f);
    EXPECT_EQ(reverb.fReverbMix, 0.0f);
    EXPECT_EQ(reverb.fReverbTime, 1000.0f);
    EXPECT_EQ(reverb.fHighFreqRTRatio, 0.001f);
}

TEST_F(EffectCalls, RecordsLayOutTheirFieldsInOrder)
{
    static_assert(sizeof(BASS_FXPARAMEQ) == 12);
    static_assert(sizeof(BASS_FXCOMPRESSOR) == 24);
    static_assert(sizeof(BASS_FXECHO) == 20);
    static_assert(sizeof(BASS_FXREVERB) == 16);
    static_assert(offsetof(BASS_FXECHO, lPanDelay) == 16);
    static_assert(offsetof(BASS_FXCOMPRESSOR, fPredelay) == 20);
    static_assert(offsetof(BASS_FXREVERB, fHighFreqRTRatio) == 12);
    // What is set is what is read back, the pan flag as -1 whatever non-zero value came.
    const HFX fx = BASS_ChannelSetFX(stream, BASS_FX_ECHO, 1);
    for (BOOL pan : {-1, 1, 7}) {
        BASS_FXECHO set{10, 20, 30, 40, pan};
        ASSERT_TRUE(BASS_FXSetParameters(fx, &set));
        BASS_FXECHO got{};
        ASSERT_TRUE(BASS_FXGetParameters(fx, &got));
        EXPECT_EQ(got.fWetDryMix, 10.0f);
        EXPECT_EQ(got.fFeedback, 20.0f);
        EXPECT_EQ(got.fLeftDelay, 30.0f);
        EXPECT_EQ(got.fRightDelay, 40.0f);
        EXPECT_EQ(got.lPanDelay, -1);
    }
    BASS_FXECHO off{10, 20, 30, 40, 0};
    ASSERT_TRUE(BASS_FXSetParameters(fx, &off));
    BASS_FXECHO got{};
    ASSERT_TRUE(BASS_FXGetParameters(fx, &got));
    EXPECT_EQ(got.lPanDelay, 0);
}

TEST_F(EffectCalls, ARefusedSetFailsWithIllegalParameterAndKeepsTheEffect)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();

    const HFX eq = BASS_ChannelSetFX(stream, BASS_FX_PARAMEQ, 1);
    const BASS_FXPARAMEQ eqOk{1000, 18, 6};
    ASSERT_TRUE(BASS_FXSetParameters(eq, &eqOk));
    for (BASS_FXPARAMEQ bad : {BASS_FXPARAMEQ{1000, 18, 15.5f}, BASS_FXPARAMEQ{nan, 18, 3},
                               BASS_FXPARAMEQ{1000, inf, 3}}) {
        EXPECT_FALSE(BASS_FXSetParameters(eq, &bad));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    }
    BASS_FXPARAMEQ eqNow{};
    ASSERT_TRUE(BASS_FXGetParameters(eq, &eqNow));
    EXPECT_EQ(eqNow.fGain, 6.0f);
    EXPECT_EQ(eqNow.fCenter, 1000.0f);

    const HFX comp = BASS_ChannelSetFX(stream, BASS_FX_COMPRESSOR, 1);
    const BASS_FXCOMPRESSOR compBad{0, 0, 50, -10, nan, 0};
    EXPECT_FALSE(BASS_FXSetParameters(comp, &compBad));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    BASS_FXCOMPRESSOR compNow{};
    ASSERT_TRUE(BASS_FXGetParameters(comp, &compNow));
    EXPECT_EQ(compNow.fRatio, 3.0f);

    const HFX echo = BASS_ChannelSetFX(stream, BASS_FX_ECHO, 1);
    const BASS_FXECHO echoBad{50, 50, 2500, 500, 0};
    EXPECT_FALSE(BASS_FXSetParameters(echo, &echoBad));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);

    const HFX reverb = BASS_ChannelSetFX(stream, BASS_FX_REVERB, 1);
    const BASS_FXREVERB reverbBad{0, 0, 3001, 0.5f};
    EXPECT_FALSE(BASS_FXSetParameters(reverb, &reverbBad));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    BASS_FXREVERB reverbNow{};
    ASSERT_TRUE(BASS_FXGetParameters(reverb, &reverbNow));
    EXPECT_EQ(reverbNow.fReverbTime, 1000.0f);

    EXPECT_FALSE(BASS_FXSetParameters(reverb, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_FXGetParameters(reverb, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
}

TEST_F(EffectCalls, EffectsAreFreedWithTheirChannel)
{
    const HFX eq = BASS_ChannelSetFX(stream, BASS_FX_PARAMEQ, 1);
    const HFX reverb = BASS_ChannelSetFX(stream, BASS_FX_REVERB, 1);
    ASSERT_TRUE(BASS_StreamFree(stream));
    const BASS_FXPARAMEQ eqSet{1000, 18, 6};
    BASS_FXPARAMEQ eqGot{};
    BASS_FXREVERB reverbGot{};
    for (int round = 0; round < 2; ++round) { // the second time the handle is long gone
        EXPECT_FALSE(BASS_FXSetParameters(eq, &eqSet));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
        EXPECT_FALSE(BASS_FXGetParameters(eq, &eqGot));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
        EXPECT_FALSE(BASS_FXGetParameters(reverb, &reverbGot));
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    }
    // A new channel's effects never answer to the old handles.
    const HSTREAM next = openDecoding(writeWavFile(sine(44100, 2, 4410, 440, 0.5), "next"));
    const HFX fresh = BASS_ChannelSetFX(next, BASS_FX_PARAMEQ, 1);
    EXPECT_NE(fresh, eq);
    EXPECT_NE(fresh, reverb);
    EXPECT_FALSE(BASS_FXGetParameters(eq, &eqGot));
    // Handles that never existed, and 0, fail the same way.
    EXPECT_FALSE(BASS_FXGetParameters(0, &eqGot));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_FXSetParameters(12345, &eqSet));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_FXSetParameters(0, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
}

TEST_F(EffectCalls, AChannelTakesAsManyEffectsAsItCanThenRefuses)
{
    int added = 0;
    while (BASS_ChannelSetFX(stream, BASS_FX_PARAMEQ, 1) != 0 && added < 1000)
        ++added;
    EXPECT_GE(added, 13); // the program's chain fits with room to spare
    EXPECT_LT(added, 1000);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOFX);
}

} // namespace
} // namespace vokrin::fxtest
