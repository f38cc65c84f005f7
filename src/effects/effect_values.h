#pragma once

#include "audio/bass.h"

#include <QString>
#include <array>

namespace vokrin::settings {
class TIniFile;
} // namespace vokrin::settings

namespace vokrin::effects {

// The settings file and section in which the effect values and the enable flags live:
// the sound parameters window keeps its controls there, and every newly opened track
// reads them from there.
inline const QString kSettingsFile = QStringLiteral("vokrin.ini");
inline const QString kEffectSection = QStringLiteral("TParamsForm");

inline constexpr int kEqBandCount = 10;
inline constexpr std::array<float, kEqBandCount> kEqCenters = {80,   170,  310,   600,   1000,
                                                               3000, 6000, 12000, 14000, 16000};
inline constexpr float kEqBandwidth = 18;
inline constexpr float kReverbHighFreqRatio = 0.001f;

// Which groups are on: the lit state of the LEDs eq, rever, comp and echo.
struct EffectFlags
{
    bool eq = false;
    bool rever = false;
    bool comp = false;
    bool echo = false;
    friend bool operator==(const EffectFlags &, const EffectFlags &) = default;
};

// What the four groups are sent: every field of every record.
struct EffectValues
{
    std::array<float, kEqBandCount> eqGain{};
    BASS_FXCOMPRESSOR compressor{};
    BASS_FXECHO echo{};
    BASS_FXREVERB reverb{};
};

// The values a switched-off group is sent. The compressor's ratio is 1 so that a
// switched-off compressor passes the sound through: the stored defaults (-10 dB at 10:1)
// would squash the track while the user has the compressor off.
EffectValues offValues();

// The values for `flags` from the settings file: a lit group takes its stored entries
// (a missing or unconvertible entry takes that field's default), an unlit group its
// off values. The reverb's in-gain is the stored value negated; the echo's pan delay is
// -1 for any non-zero stored integer.
EffectValues readEffectValues(const settings::TIniFile &settings, const EffectFlags &flags);

// The four enable flags as stored: "TRUE" in any letter case is on, anything else off.
EffectFlags readEffectFlags(const settings::TIniFile &settings);
void writeEffectFlags(settings::TIniFile &settings, const EffectFlags &flags);

} // namespace vokrin::effects
