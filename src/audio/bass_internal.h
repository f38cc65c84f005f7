#pragma once
// Hooks of the engine's call set for the other files of the audio library (the effect
// calls). Not for the program.

#include <cstdint>
#include <functional>

#include "audio/engine/dsp/effect_chain.h"

namespace vokrin::bass_internal {

void setError(int code); // what BASS_ErrorGetCode returns next on this thread

// Runs fn with the effect chain of a live channel (stream, music or decoding channel)
// under the engine's API lock; returns false (and does not call fn) when handle is not live.
// Channel handles are never reused, so a freed channel's handle stays dead.
bool withEffectChain(uint32_t handle, const std::function<void(vokrin::engine::EffectChain &)> &fn);

} // namespace vokrin::bass_internal
