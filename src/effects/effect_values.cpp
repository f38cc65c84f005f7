#include "effects/effect_values.h"

#include "settings/ini_file.h"

using vokrin::settings::TIniFile;

namespace vokrin::effects {

namespace {

// Defaults of the stored entries; they equal the off values except the compressor's
// ratio, whose off value is 1 (see offValues).
constexpr float kCompGain = 0, kCompAttack = 0, kCompRelease = 50, kCompThreshold = -10,
                kCompRatio = 10, kCompPredelay = 0;
constexpr float kEchoMix = 0, kEchoFeedback = 0, kEchoLeftDelay = 333, kEchoRightDelay = 333;
constexpr float kReverGain = 0, kReverMix = -96, kReverTime = 1000;

float readNumber(const TIniFile &settings, const QString &key, float fallback)
{
    return static_cast<float>(settings.ReadFloat(kEffectSection, key, fallback));
}

bool readFlag(const TIniFile &settings, const QString &key)
{
    return settings.ReadString(kEffectSection, key, QStringLiteral("FALSE")).toUpper() ==
           QLatin1String("TRUE");
}

QString flagText(bool on)
{
    return on ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

} // namespace

EffectValues offValues()
{
    EffectValues values;
    values.eqGain.fill(0);
    values.compressor = {kCompGain, kCompAttack, kCompRelease, kCompThreshold, 1, kCompPredelay};
    values.echo = {kEchoMix, kEchoFeedback, kEchoLeftDelay, kEchoRightDelay, 0};
    values.reverb = {kReverGain, kReverMix, kReverTime, kReverbHighFreqRatio};
    return values;
}

EffectValues readEffectValues(const TIniFile &settings, const EffectFlags &flags)
{
    EffectValues values = offValues();
    if (flags.eq) {
        for (int band = 0; band < kEqBandCount; ++band)
            values.eqGain[band] =
                readNumber(settings, QStringLiteral("MMBitmapSlider%1_Position").arg(band + 1), 0);
    }
    if (flags.comp) {
        values.compressor.fGain = readNumber(settings, QStringLiteral("CompGain_Value"), kCompGain);
        values.compressor.fAttack =
            readNumber(settings, QStringLiteral("CompAttack_Value"), kCompAttack);
        values.compressor.fRelease =
            readNumber(settings, QStringLiteral("CompRelease_Value"), kCompRelease);
        values.compressor.fThreshold =
            readNumber(settings, QStringLiteral("CompThreshold_Value"), kCompThreshold);
        values.compressor.fRatio =
            readNumber(settings, QStringLiteral("CompRatio_Value"), kCompRatio);
        values.compressor.fPredelay =
            readNumber(settings, QStringLiteral("CompPredelay_Value"), kCompPredelay);
    }
    if (flags.echo) {
        values.echo.fWetDryMix = readNumber(settings, QStringLiteral("EchoMix_Value"), kEchoMix);
        values.echo.fFeedback =
            readNumber(settings, QStringLiteral("EchoFeedback_Value"), kEchoFeedback);
        values.echo.fLeftDelay =
            readNumber(settings, QStringLiteral("EchoLeftDelay_Value"), kEchoLeftDelay);
        values.echo.fRightDelay =
            readNumber(settings, QStringLiteral("EchoRightDelay_Value"), kEchoRightDelay);
        values.echo.lPanDelay =
            settings.ReadInteger(kEffectSection, QStringLiteral("EchoPanDelay_Position"), 0) != 0
                ? -1
                : 0;
    }
    if (flags.rever) {
        values.reverb.fInGain =
            -readNumber(settings, QStringLiteral("ReverGain_Value"), kReverGain);
        values.reverb.fReverbMix =
            readNumber(settings, QStringLiteral("ReverMix_Value"), kReverMix);
        values.reverb.fReverbTime =
            readNumber(settings, QStringLiteral("ReverTime_Value"), kReverTime);
    }
    return values;
}

EffectFlags readEffectFlags(const TIniFile &settings)
{
    EffectFlags flags;
    flags.eq = readFlag(settings, QStringLiteral("eq_enabled"));
    flags.comp = readFlag(settings, QStringLiteral("comp_enabled"));
    flags.echo = readFlag(settings, QStringLiteral("echo_enabled"));
    flags.rever = readFlag(settings, QStringLiteral("rever_enabled"));
    return flags;
}

void writeEffectFlags(TIniFile &settings, const EffectFlags &flags)
{
    settings.WriteString(kEffectSection, QStringLiteral("eq_enabled"), flagText(flags.eq));
    settings.WriteString(kEffectSection, QStringLiteral("comp_enabled"), flagText(flags.comp));
    settings.WriteString(kEffectSection, QStringLiteral("echo_enabled"), flagText(flags.echo));
    settings.WriteString(kEffectSection, QStringLiteral("rever_enabled"), flagText(flags.rever));
}

} // namespace vokrin::effects
