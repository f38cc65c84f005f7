#include "audio/bass.h"
#include "audio/engine/engine_config.h"
#include "controls/bitmap_slider.h"
#include "controls/led.h"
#include "controls/led_panel.h"
#include "controls/switch.h"
#include "controls/wheel.h"
#include "effects/fx_chain.h"
#include "effects/params_form.h"
#include "fixture_writers.h"
#include "settings/form_storage.h"
#include "settings/ini_file.h"
#include "test_env.h"

#include <QApplication>
#include <QSignalSpy>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <map>

using vokrin::controls::TMMWheel;
using vokrin::effects::TParamsForm;
using vokrin::settings::TIniFile;

using namespace vokrin;
using effects::EffectFlags;
using effects::EffectHandles;

namespace {

// The owner of the chain, as the main window is: it keeps the handles, the four LEDs and
// the reference to the newest window.
struct TestHost : effects::ParamsFormHost
{
    EffectHandles handles;
    std::map<QString, bool> leds{{"eq", false}, {"rever", false}, {"comp", false}, {"echo", false}};
    TParamsForm *reference = nullptr;
    int applies = 0;

    EffectFlags flags() const
    {
        return {leds.at("eq"), leds.at("rever"), leds.at("comp"), leds.at("echo")};
    }
    const EffectHandles &effectHandles() const override { return handles; }
    void setOwnerLed(const QString &name, bool lit) override { leds[name] = lit; }
    void SaveEffectFlags() override
    {
        TIniFile ini(effects::kSettingsFile);
        effects::SaveEffectFlags(ini, flags());
    }
    void ApplyEffects() override
    {
        ++applies;
        TIniFile ini(effects::kSettingsFile);
        effects::ApplyEffects(handles, flags(), ini);
    }
    void paramsFormClosed(TParamsForm *) override { reference = nullptr; }
};

template <typename Record> Record read(HFX fx)
{
    Record record{};
    EXPECT_TRUE(BASS_FXGetParameters(fx, &record));
    return record;
}

struct ParamsFormFixture : ::testing::Test
{
    TestHost host;
    HSTREAM stream = 0;
    TParamsForm *form = nullptr;

    static void SetUpTestSuite()
    {
        engine::setManualClock(true);
        ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    }
    static void TearDownTestSuite() { BASS_Free(); }

    void SetUp() override
    {
        QFile::remove(TIniFile(effects::kSettingsFile).FileName());
        const auto wav = vokrin::testing::makeTempDir("params") / "tone.wav";
        ASSERT_TRUE(fixtures::writeWav(wav, fixtures::sine(44100, 2, 2.0, 1000, 0.5)));
        openTrack(wav);
        form = newForm();
    }

    // As the program names its settings file after its executable ("vokrin.INI"), which
    // is the file the effect chain reads as "vokrin.ini".
    TParamsForm *newForm()
    {
        auto *window = new TParamsForm(nullptr, host);
        window->FormStorage1->setIniFileName(QStringLiteral("vokrin.INI"));
        host.reference = window;
        window->show();
        QApplication::processEvents();
        return window;
    }

    void openTrack(const std::filesystem::path &wav)
    {
        if (stream != 0)
            BASS_StreamFree(stream);
        stream = BASS_StreamCreateFile(FALSE, wav.c_str(), 0, 0, BASS_SAMPLE_FX);
        ASSERT_NE(stream, 0u);
        TIniFile ini(effects::kSettingsFile);
        host.handles = effects::AttachEffects(stream, host.flags(), ini);
        ASSERT_TRUE(BASS_ChannelPlay(stream, FALSE));
        engine::advanceManualClock(441);
    }

    void TearDown() override
    {
        if (host.reference != nullptr)
            delete host.reference;
        if (stream != 0)
            BASS_StreamFree(stream);
    }

    // Puts recognisable values on the effects, so that a send shows.
    void markEffects()
    {
        BASS_FXCOMPRESSOR c{7, 11, 222, -33, 4, 1};
        BASS_FXSetParameters(host.handles.compressor, &c);
        BASS_FXECHO e{12, 34, 56, 78, 0};
        BASS_FXSetParameters(host.handles.echo, &e);
        BASS_FXREVERB r{-5, -10, 555, 0.5f};
        BASS_FXSetParameters(host.handles.reverb, &r);
    }
};

} // namespace

TEST_F(ParamsFormFixture, SliderWhileEqualiserUnlitSendsGainZeroAndWhileLitItsPosition)
{
    BASS_FXPARAMEQ band{1000, 18, 9};
    BASS_FXSetParameters(host.handles.EqBands[4], &band);
    form->MMBitmapSliders[4]->setPosition(12);
    EXPECT_EQ(read<BASS_FXPARAMEQ>(host.handles.EqBands[4]).fGain, 0.0f);
    EXPECT_EQ(read<BASS_FXPARAMEQ>(host.handles.EqBands[4]).fCenter, 1000.0f) << "the rest stays";

    form->eqClick();
    form->MMBitmapSliders[4]->setPosition(-7);
    EXPECT_EQ(read<BASS_FXPARAMEQ>(host.handles.EqBands[4]).fGain, -7.0f);
    EXPECT_EQ(read<BASS_FXPARAMEQ>(host.handles.EqBands[3]).fGain, 0.0f) << "only its own band";
}

TEST_F(ParamsFormFixture, ReverbGainWhileUnlitSendsInGainZeroAndKeepsTheRest)
{
    markEffects();
    form->ReverGain->setValue(20);
    const auto reverb = read<BASS_FXREVERB>(host.handles.reverb);
    EXPECT_EQ(reverb.fInGain, 0.0f);
    EXPECT_EQ(reverb.fReverbMix, -10.0f);
    EXPECT_EQ(reverb.fReverbTime, 555.0f);
    EXPECT_EQ(form->MMLEDPanels[3]->value(), -20) << "the readout shows minus the knob";
}

TEST_F(ParamsFormFixture, UnlitGroupsSendNothingButTheReadoutsFollow)
{
    markEffects();
    struct Case
    {
        TMMWheel *knob;
        int value;
        int readout;
    };
    const Case cases[] = {
        {form->ReverMix, -40, 1},       {form->ReverTime, 2000, 2},
        {form->CompGain, 30, 4},        {form->CompAttack, 100, 5},
        {form->CompRelease, 900, 6},    {form->CompThreshold, -50, 7},
        {form->CompRatio, 50, 8},       {form->CompPredelay, 3, 9},
        {form->EchoMix, 80, 10},        {form->EchoFeedback, 60, 11},
        {form->EchoLeftDelay, 700, 12}, {form->EchoRightDelay, 900, 13},
    };
    for (const Case &c : cases) {
        c.knob->setValue(c.value);
        EXPECT_EQ(form->MMLEDPanels[static_cast<size_t>(c.readout)]->value(), c.value)
            << c.knob->objectName().toStdString();
    }
    form->EchoPanDelay->setPosition(1);
    const auto compressor = read<BASS_FXCOMPRESSOR>(host.handles.compressor);
    EXPECT_EQ(compressor.fGain, 7.0f);
    EXPECT_EQ(compressor.fRatio, 4.0f);
    const auto echo = read<BASS_FXECHO>(host.handles.echo);
    EXPECT_EQ(echo.fWetDryMix, 12.0f);
    EXPECT_EQ(echo.lPanDelay, 0);
    EXPECT_EQ(read<BASS_FXREVERB>(host.handles.reverb).fReverbMix, -10.0f);
}

TEST_F(ParamsFormFixture, LitGroupsSendEachChangeAtOnce)
{
    form->compClick();
    form->echoClick();
    form->CompThreshold->setValue(-30);
    form->EchoLeftDelay->setValue(250);
    form->EchoPanDelay->setPosition(1);
    EXPECT_EQ(read<BASS_FXCOMPRESSOR>(host.handles.compressor).fThreshold, -30.0f);
    EXPECT_EQ(read<BASS_FXECHO>(host.handles.echo).fLeftDelay, 250.0f);
    EXPECT_EQ(read<BASS_FXECHO>(host.handles.echo).lPanDelay, -1);
}

TEST_F(ParamsFormFixture, ResetOfUnlitGroupsSendsOnlyTheGainZeroSends)
{
    form->MMBitmapSliders[0]->setPosition(5);
    form->ReverGain->setValue(30);
    form->CompGain->setValue(12);
    markEffects();
    BASS_FXPARAMEQ band{80, 18, 6};
    BASS_FXSetParameters(host.handles.EqBands[0], &band);

    form->reset_eqClick();
    form->reset_revClick();
    form->reset_comprClick();
    form->reset_echoClick();

    EXPECT_EQ(read<BASS_FXPARAMEQ>(host.handles.EqBands[0]).fGain, 0.0f);
    const auto reverb = read<BASS_FXREVERB>(host.handles.reverb);
    EXPECT_EQ(reverb.fInGain, 0.0f);
    EXPECT_EQ(reverb.fReverbTime, 555.0f) << "reverb time not sent while unlit";
    EXPECT_EQ(read<BASS_FXCOMPRESSOR>(host.handles.compressor).fGain, 7.0f);
    EXPECT_EQ(read<BASS_FXECHO>(host.handles.echo).fFeedback, 34.0f);
    EXPECT_EQ(form->CompGain->value(), 0);
    EXPECT_EQ(form->MMLEDPanels[4]->value(), 0);
    EXPECT_EQ(form->ReverMix->value(), -96);
}

TEST_F(ParamsFormFixture, WheelMovesOnlyTheFocusedControlWithinItsRange)
{
    QSignalSpy changes(form->CompRatio, &TMMWheel::Change);
    form->FormMouseWheelUp();
    EXPECT_EQ(form->CompRatio->value(), 10) << "no focus, no change";

    form->activateWindow();
    form->CompRatio->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() != form->CompRatio)
        GTEST_SKIP() << "the platform gives no keyboard focus";
    form->FormMouseWheelUp();
    EXPECT_EQ(form->CompRatio->value(), 11);
    form->CompRatio->setValue(100);
    changes.clear();
    form->FormMouseWheelUp();
    EXPECT_EQ(form->CompRatio->value(), 100);
    EXPECT_EQ(changes.count(), 0) << "at the limit nothing fires";

    form->EchoPanDelay->setFocus();
    form->FormMouseWheelDown();
    EXPECT_EQ(form->EchoPanDelay->position(), 1) << "wheel down is 'on'";
    form->FormMouseWheelUp();
    EXPECT_EQ(form->EchoPanDelay->position(), 0);
}

TEST_F(ParamsFormFixture, ValuesReachTheSettingsFileOnlyOnCloseOrLedClick)
{
    form->EchoMix->setValue(40);
    TIniFile ini(effects::kSettingsFile);
    EXPECT_FALSE(ini.ValueExists("TParamsForm", "EchoMix_Value")) << "live edits are not saved";

    // A track opened now gets the last saved values (none: the off values)...
    host.leds["echo"] = true;
    const auto wav = vokrin::testing::makeTempDir("params2") / "tone.wav";
    ASSERT_TRUE(fixtures::writeWav(wav, fixtures::sine(44100, 2, 1.0, 440, 0.5)));
    openTrack(wav);
    EXPECT_EQ(read<BASS_FXECHO>(host.handles.echo).fWetDryMix, 0.0f);
    EXPECT_EQ(form->EchoMix->value(), 40) << "the window keeps showing its own";

    // ...and an LED click saves everything before the chain is re-read.
    form->reverClick();
    EXPECT_EQ(ini.ReadString("TParamsForm", "EchoMix_Value", ""), "40");
    EXPECT_EQ(ini.ReadString("TParamsForm", "rever_enabled", "").toUpper(), "TRUE");
    EXPECT_TRUE(host.leds["rever"]) << "the owner's LED follows";
}

TEST_F(ParamsFormFixture, LedClickMakesTheChainMatchTheWindow)
{
    form->CompGain->setValue(-6);
    form->CompRatio->setValue(20);
    form->ReverGain->setValue(12);
    form->ReverTime->setValue(2500);
    form->MMBitmapSliders[9]->setPosition(9);
    form->compClick();
    form->reverClick();
    form->eqClick();
    EXPECT_EQ(read<BASS_FXCOMPRESSOR>(host.handles.compressor).fGain, -6.0f);
    EXPECT_EQ(read<BASS_FXCOMPRESSOR>(host.handles.compressor).fRatio, 20.0f);
    EXPECT_EQ(read<BASS_FXREVERB>(host.handles.reverb).fInGain, -12.0f);
    EXPECT_EQ(read<BASS_FXREVERB>(host.handles.reverb).fReverbTime, 2500.0f);
    EXPECT_EQ(read<BASS_FXPARAMEQ>(host.handles.EqBands[9]).fGain, 9.0f);
    EXPECT_EQ(host.applies, 3);
}

TEST_F(ParamsFormFixture, ClosingSavesAndClearsTheReferenceAndTheNextWindowRestores)
{
    form->eqClick();
    form->MMBitmapSliders[2]->setPosition(-4);
    form->EchoRightDelay->setValue(1200);
    form->close();
    QApplication::processEvents();
    EXPECT_EQ(host.reference, nullptr);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    TIniFile ini(effects::kSettingsFile);
    EXPECT_EQ(ini.ReadString("TParamsForm", "MMBitmapSlider3_Position", ""), "-4");

    TParamsForm *again = newForm();
    EXPECT_TRUE(again->eq->isLit());
    EXPECT_EQ(again->MMBitmapSliders[2]->position(), -4);
    EXPECT_EQ(again->EchoRightDelay->value(), 1200);
    EXPECT_EQ(again->MMLEDPanels[13]->value(), 1200);
    EXPECT_EQ(read<BASS_FXPARAMEQ>(host.handles.EqBands[2]).fGain, -4.0f)
        << "the restore runs the change handlers";
}

TEST(ParamsFormLayout, StoredPropertiesInTheirOrder)
{
    const QStringList &props = TParamsForm::storedProps();
    ASSERT_EQ(props.size(), 28);
    EXPECT_EQ(props.mid(0, 4),
              QStringList({"rever.Enabled", "eq.Enabled", "echo.Enabled", "comp.Enabled"}));
    EXPECT_EQ(props[13], "MMBitmapSlider1.Position");
    EXPECT_EQ(props[14], "MMBitmapSlider10.Position");
    EXPECT_EQ(props[15], "MMBitmapSlider2.Position");
    EXPECT_EQ(props.last(), "EchoRightDelay.Value");
}
