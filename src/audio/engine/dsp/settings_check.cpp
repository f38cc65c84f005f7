#include "audio/engine/dsp/settings_check.h"

namespace vokrin::engine::fx {
namespace {

// NaN fails both comparisons, and so do the infinities, as every range is finite.
bool within(float v, float lo, float hi)
{
    return v >= lo && v <= hi;
}

} // namespace

bool isAcceptable(const ParamEqSettings &s)
{
    return within(s.center, 80.0f, 16000.0f) && within(s.bandwidth, 1.0f, 36.0f) &&
           within(s.gain, -15.0f, 15.0f);
}

bool isAcceptable(const CompressorSettings &s)
{
    return within(s.gain, -60.0f, 60.0f) && within(s.attack, 0.0f, 500.0f) &&
           within(s.release, 50.0f, 3000.0f) && within(s.threshold, -60.0f, 0.0f) &&
           within(s.ratio, 1.0f, 100.0f) && within(s.predelay, 0.0f, 4.0f);
}

bool isAcceptable(const EchoSettings &s)
{
    return within(s.wetDryMix, 0.0f, 100.0f) && within(s.feedback, 0.0f, 100.0f) &&
           within(s.leftDelay, 1.0f, 2000.0f) && within(s.rightDelay, 1.0f, 2000.0f);
}

bool isAcceptable(const ReverbSettings &s)
{
    return within(s.inGain, -96.0f, 0.0f) && within(s.reverbMix, -96.0f, 0.0f) &&
           within(s.reverbTime, 0.0f, 3000.0f) && within(s.highFreqRTRatio, 0.001f, 0.999f);
}

} // namespace vokrin::engine::fx
