// The effect chain on real streams of the engine (device 0 on the manual clock): what
// a newly opened track is sent, read back from the effects themselves.
#include "audio/bass.h"
#include "audio/engine/engine_config.h"
#include "effects/fx_chain.h"
#include "fixture_writers.h"
#include "settings/ini_file.h"
#include "test_env.h"

#include <QFile>
#include <gtest/gtest.h>

using vokrin::settings::TIniFile;

namespace {

using vokrin::effects::EffectFlags;
using vokrin::effects::EffectHandles;

class EffectChainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(vokrin::settings::resolveSettingsFile(vokrin::effects::kSettingsFile));
        vokrin::engine::setManualClock(true);
        ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
        const auto dir = vokrin::testing::makeTempDir("fx");
        track = (dir / "tone.wav").string();
        ASSERT_TRUE(
            vokrin::fixtures::writeWav(track, vokrin::fixtures::sine(44100, 2, 1.0, 440, 0.5)));
        stream = BASS_StreamCreateFile(FALSE, track.c_str(), 0, 0, BASS_SAMPLE_FX);
        ASSERT_NE(stream, 0u);
    }
    void TearDown() override { BASS_Free(); }

    void store(const QString &key, const QString &value)
    {
        TIniFile settings(vokrin::effects::kSettingsFile);
        settings.WriteString(vokrin::effects::kEffectSection, key, value);
    }

    EffectHandles attach(const EffectFlags &flags)
    {
        const TIniFile settings(vokrin::effects::kSettingsFile);
        return vokrin::effects::AttachEffects(stream, flags, settings);
    }

    static BASS_FXCOMPRESSOR compressorOf(const EffectHandles &handles)
    {
        BASS_FXCOMPRESSOR record{};
        EXPECT_TRUE(BASS_FXGetParameters(handles.compressor, &record));
        return record;
    }
    static BASS_FXECHO echoOf(const EffectHandles &handles)
    {
        BASS_FXECHO record{};
        EXPECT_TRUE(BASS_FXGetParameters(handles.echo, &record));
        return record;
    }
    static BASS_FXREVERB reverbOf(const EffectHandles &handles)
    {
        BASS_FXREVERB record{};
        EXPECT_TRUE(BASS_FXGetParameters(handles.reverb, &record));
        return record;
    }

    std::string track;
    DWORD stream = 0;
};

TEST_F(EffectChainTest, AllGroupsOffGiveThirteenEffectsWithTheOffValues)
{
    // Stored values must not leak into switched-off groups.
    store("MMBitmapSlider3_Position", "9");
    store("CompThreshold_Value", "-40");
    store("EchoMix_Value", "80");
    store("ReverMix_Value", "-3");
    const EffectHandles handles = attach({});

    const float centres[] = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    for (int band = 0; band < 10; ++band) {
        SCOPED_TRACE(band + 1);
        ASSERT_NE(handles.EqBands[band], 0u);
        BASS_FXPARAMEQ eq{};
        ASSERT_TRUE(BASS_FXGetParameters(handles.EqBands[band], &eq));
        EXPECT_FLOAT_EQ(eq.fCenter, centres[band]);
        EXPECT_FLOAT_EQ(eq.fBandwidth, 18);
        EXPECT_FLOAT_EQ(eq.fGain, 0);
    }
    const auto compressor = compressorOf(handles);
    EXPECT_FLOAT_EQ(compressor.fGain, 0);
    EXPECT_FLOAT_EQ(compressor.fAttack, 0);
    EXPECT_FLOAT_EQ(compressor.fRelease, 50);
    EXPECT_FLOAT_EQ(compressor.fThreshold, -10);
    // A switched-off compressor passes the sound through.
    EXPECT_FLOAT_EQ(compressor.fRatio, 1);
    EXPECT_FLOAT_EQ(compressor.fPredelay, 0);
    const auto echo = echoOf(handles);
    EXPECT_FLOAT_EQ(echo.fWetDryMix, 0);
    EXPECT_FLOAT_EQ(echo.fFeedback, 0);
    EXPECT_FLOAT_EQ(echo.fLeftDelay, 333);
    EXPECT_FLOAT_EQ(echo.fRightDelay, 333);
    EXPECT_EQ(echo.lPanDelay, 0);
    const auto reverb = reverbOf(handles);
    EXPECT_FLOAT_EQ(reverb.fInGain, 0);
    EXPECT_FLOAT_EQ(reverb.fReverbMix, -96);
    EXPECT_FLOAT_EQ(reverb.fReverbTime, 1000);
    EXPECT_FLOAT_EQ(reverb.fHighFreqRTRatio, 0.001f);
}

TEST_F(EffectChainTest, LitGroupsTakeTheStoredValues)
{
    store("MMBitmapSlider1_Position", "-15");
    store("MMBitmapSlider3_Position", "7");
    store("MMBitmapSlider10_Position", "15");
    store("CompGain_Value", "6");
    store("CompAttack_Value", "20");
    store("CompRelease_Value", "300");
    store("CompThreshold_Value", "-30");
    store("CompRatio_Value", "4");
    store("CompPredelay_Value", "2");
    store("EchoMix_Value", "40");
    store("EchoFeedback_Value", "30");
    store("EchoLeftDelay_Value", "250");
    store("EchoRightDelay_Value", "500");
    store("EchoPanDelay_Position", "1");
    store("ReverGain_Value", "12");
    store("ReverMix_Value", "-10");
    store("ReverTime_Value", "2500");
    const EffectHandles handles = attach({true, true, true, true});

    for (auto [band, gain] : {std::pair{0, -15.f}, {1, 0.f}, {2, 7.f}, {9, 15.f}}) {
        BASS_FXPARAMEQ eq{};
        ASSERT_TRUE(BASS_FXGetParameters(handles.EqBands[band], &eq));
        EXPECT_FLOAT_EQ(eq.fGain, gain) << "band " << band + 1;
    }
    const auto compressor = compressorOf(handles);
    EXPECT_FLOAT_EQ(compressor.fGain, 6);
    EXPECT_FLOAT_EQ(compressor.fAttack, 20);
    EXPECT_FLOAT_EQ(compressor.fRelease, 300);
    EXPECT_FLOAT_EQ(compressor.fThreshold, -30);
    EXPECT_FLOAT_EQ(compressor.fRatio, 4);
    EXPECT_FLOAT_EQ(compressor.fPredelay, 2);
    const auto echo = echoOf(handles);
    EXPECT_FLOAT_EQ(echo.fWetDryMix, 40);
    EXPECT_FLOAT_EQ(echo.fFeedback, 30);
    EXPECT_FLOAT_EQ(echo.fLeftDelay, 250);
    EXPECT_FLOAT_EQ(echo.fRightDelay, 500);
    EXPECT_EQ(echo.lPanDelay, -1);
    const auto reverb = reverbOf(handles);
    EXPECT_FLOAT_EQ(reverb.fInGain, -12);
    EXPECT_FLOAT_EQ(reverb.fReverbMix, -10);
    EXPECT_FLOAT_EQ(reverb.fReverbTime, 2500);
    EXPECT_FLOAT_EQ(reverb.fHighFreqRTRatio, 0.001f);
}

TEST_F(EffectChainTest, MissingOrUnconvertibleEntriesOfALitGroupTakeTheirDefaults)
{
    store("CompRatio_Value", "lots");
    store("EchoPanDelay_Position", "0");
    store("ReverTime_Value", "");
    const EffectHandles handles = attach({true, true, true, true});
    const auto compressor = compressorOf(handles);
    // The stored default ratio applies to a lit compressor with no usable entry.
    EXPECT_FLOAT_EQ(compressor.fRatio, 10);
    EXPECT_FLOAT_EQ(compressor.fThreshold, -10);
    EXPECT_FLOAT_EQ(compressor.fRelease, 50);
    EXPECT_EQ(echoOf(handles).lPanDelay, 0);
    EXPECT_FLOAT_EQ(echoOf(handles).fLeftDelay, 333);
    EXPECT_FLOAT_EQ(reverbOf(handles).fReverbTime, 1000);
    EXPECT_FLOAT_EQ(reverbOf(handles).fReverbMix, -96);
}

TEST_F(EffectChainTest, SwitchingTheEqualiserOffSendsGainZeroToEveryBand)
{
    for (int band = 1; band <= 10; ++band)
        store(QStringLiteral("MMBitmapSlider%1_Position").arg(band), "5");
    const EffectHandles handles = attach({true, false, false, false});
    {
        const TIniFile settings(vokrin::effects::kSettingsFile);
        vokrin::effects::ApplyEffects(handles, {}, settings);
    }
    for (int band = 0; band < 10; ++band) {
        BASS_FXPARAMEQ eq{};
        ASSERT_TRUE(BASS_FXGetParameters(handles.EqBands[band], &eq));
        EXPECT_FLOAT_EQ(eq.fGain, 0) << "band " << band + 1;
    }
}

TEST_F(EffectChainTest, ApplyingWithoutAStreamOrAfterItWasFreedChangesNothing)
{
    const TIniFile settings(vokrin::effects::kSettingsFile);
    vokrin::effects::ApplyEffects(EffectHandles{}, {true, true, true, true}, settings);
    const EffectHandles handles = attach({});
    BASS_StreamFree(stream);
    vokrin::effects::ApplyEffects(handles, {true, true, true, true}, settings);
    BASS_FXCOMPRESSOR record{};
    EXPECT_FALSE(BASS_FXGetParameters(handles.compressor, &record));
}

struct FlagCase
{
    const char *stored; // nullptr: no entry
    bool on;
};

class EffectFlagTest : public ::testing::TestWithParam<FlagCase>
{
};

TEST_P(EffectFlagTest, TrueInAnyLetterCaseIsOnAndAnythingElseOff)
{
    QFile::remove(vokrin::settings::resolveSettingsFile(vokrin::effects::kSettingsFile));
    TIniFile settings(vokrin::effects::kSettingsFile);
    for (const char *key : {"eq_enabled", "comp_enabled", "echo_enabled", "rever_enabled"}) {
        if (GetParam().stored != nullptr)
            settings.WriteString(vokrin::effects::kEffectSection, key, GetParam().stored);
    }
    const EffectFlags flags = vokrin::effects::LoadEffectFlags(settings);
    const bool on = GetParam().on;
    EXPECT_EQ(flags, (EffectFlags{on, on, on, on}));
}

INSTANTIATE_TEST_SUITE_P(Values, EffectFlagTest,
                         ::testing::Values(FlagCase{"TRUE", true}, FlagCase{"true", true},
                                           FlagCase{"True", true}, FlagCase{"tRuE", true},
                                           FlagCase{"FALSE", false}, FlagCase{"yes", false},
                                           FlagCase{"1", false}, FlagCase{"", false},
                                           FlagCase{nullptr, false}));

TEST(EffectFlagStorage, SavedFlagsReadBackAndAreWrittenAsTrueOrFalse)
{
    QFile::remove(vokrin::settings::resolveSettingsFile(vokrin::effects::kSettingsFile));
    TIniFile settings(vokrin::effects::kSettingsFile);
    const EffectFlags flags{true, false, true, false};
    vokrin::effects::SaveEffectFlags(settings, flags);
    EXPECT_EQ(vokrin::effects::LoadEffectFlags(settings), flags);
    const QString section = vokrin::effects::kEffectSection;
    EXPECT_EQ(settings.ReadString(section, "EQ_ENABLED", "?"), "TRUE");
    EXPECT_EQ(settings.ReadString(section, "rever_enabled", "?"), "FALSE");
    EXPECT_EQ(settings.ReadString(section, "comp_enabled", "?"), "TRUE");
    EXPECT_EQ(settings.ReadString(section, "echo_enabled", "?"), "FALSE");
}

} // namespace
