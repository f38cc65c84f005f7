#pragma once

#include "audio/bass.h"
#include "effects/effect_values.h"

#include <array>

namespace vokrin::settings {
class TIniFile;
} // namespace vokrin::settings

namespace vokrin::effects {

// The 13 effect handles of the chain on the last stream that got one. All are 0 until a
// stream has been opened; a handle of a freed stream stays here, and calls on it fail
// harmlessly.
struct EffectHandles
{
    std::array<HFX, kEqBandCount> EqBands{};
    HFX compressor = 0;
    HFX echo = 0;
    HFX reverb = 0;
};

// Puts the chain on `stream` (ten equaliser bands, compressor, echo, reverb, all at
// priority 1; a failed call leaves a 0 handle) and applies the stored values for
// `flags` from `settings`.
EffectHandles AttachEffects(DWORD stream, const EffectFlags &flags,
                            const settings::TIniFile &settings);

// Sends all four groups, in the order equaliser, compressor, echo, reverb, with the
// values for `flags` read from `settings`. Results of the engine calls are not acted on.
void ApplyEffects(const EffectHandles &handles, const EffectFlags &flags,
                  const settings::TIniFile &settings);

// The flags of the settings file; and the writing of them, after every toggle.
EffectFlags LoadEffectFlags(const settings::TIniFile &settings);
void SaveEffectFlags(settings::TIniFile &settings, const EffectFlags &flags);

} // namespace vokrin::effects
