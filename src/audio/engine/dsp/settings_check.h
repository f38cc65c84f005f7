#pragma once

#include "audio/engine/dsp/effect_chain.h"

namespace vokrin::engine::fx {

// Whether a parameter set is one the effect accepts: every value finite and inside its
// range. A refused set leaves the effect as it was.
bool isAcceptable(const ParamEqSettings &s);
bool isAcceptable(const CompressorSettings &s);
bool isAcceptable(const EchoSettings &s);
bool isAcceptable(const ReverbSettings &s);

} // namespace vokrin::engine::fx
