#pragma once

#include <vector>

#include "audio/engine/dsp/delay_line.h"
#include "audio/engine/dsp/effect.h"
#include "audio/engine/dsp/effect_chain.h"
#include "audio/engine/dsp/ramp.h"
#include "audio/engine/dsp/shared_params.h"

namespace vokrin::engine::fx {

// Smoothing coefficient of a one-pole follower that covers 90 % of a step in `ms`
// (0 ms: follows at once).
double followerCoefficient(double ms, int sampleRate);

// Gain reduction in dB (>= 0) that a hard-knee compressor applies to a level in dBFS.
inline float gainReductionDb(float levelDb, float thresholdDb, float ratio)
{
    const float over = levelDb - thresholdDb;
    return over > 0.0f ? over * (1.0f - 1.0f / ratio) : 0.0f;
}

// Feed-forward compressor: one detector for all channels (the loudest sample of each
// frame), peak gain reduction held briefly, then released; attack smoothing; hard knee,
// output gain, and a look-ahead that delays the audio while the detector sees it
// undelayed.
class CompressorEffect final : public Effect
{
public:
    CompressorEffect(int sampleRate, int channels);
    void setSettings(const CompressorSettings &s); // control side
    void process(float *interleaved, int frames) noexcept override;

private:
    void take(const CompressorSettings &s, bool immediately) noexcept;

    int m_rate;
    bool m_running = false; // has processed audio (audio side)
    int m_channels;
    SharedParams<6> m_shared;
    LinearRamp m_outGain;           // linear
    LinearRamp m_threshold;         // dB
    LinearRamp m_slope;             // 1 - 1/ratio
    float m_thresholdLinear = 0.1f; // the settled threshold as an amplitude
    float m_attackCoef = 0.0f;
    float m_releaseCoef = 0.0f;
    int m_holdSamples = 0;
    int m_holdLeft = 0;
    float m_heldDb = 0.0f;      // peak reduction, held and released
    float m_reductionDb = 0.0f; // applied: the held peak smoothed by the attack
    std::vector<DelayLine> m_lines;
    CrossfadingTap m_tap;
};

} // namespace vokrin::engine::fx
