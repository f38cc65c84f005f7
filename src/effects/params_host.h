#pragma once

#include "effects/fx_chain.h"

namespace vokrin::effects {
class TParamsForm;
} // namespace vokrin::effects

namespace vokrin::effects {

// What a sound parameters window needs of the window that owns the effect chain.
class ParamsFormHost
{
public:
    virtual ~ParamsFormHost() = default;

    // The effect handles of the current stream's chain (0 before any stream).
    virtual const EffectHandles &effectHandles() const = 0;
    // Lights or darkens the owner's LED of the same group.
    virtual void setOwnerLed(const QString &ledName, bool lit) = 0;
    // Writes the four enable flags from the owner's LEDs to the settings file.
    virtual void SaveEffectFlags() = 0;
    // Sends all four groups from the settings file to the current chain.
    virtual void ApplyEffects() = 0;
    // The window is closing: the owner forgets its reference (whichever window it names).
    virtual void paramsFormClosed(TParamsForm *form) = 0;
};

} // namespace vokrin::effects
