#pragma once

#include <array>
#include <vector>

#include "audio/engine/dsp/effect.h"
#include "audio/engine/dsp/effect_chain.h"
#include "audio/engine/dsp/ramp.h"
#include "audio/engine/dsp/shared_params.h"

namespace vokrin::engine::fx {

struct BiquadCoefficients
{
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0; // normalised, a0 = 1
};

// The peaking filter of the audio EQ cookbook (R. Bristow-Johnson): `gainDb` at
// `centerHz`, bandwidth in octaves = semitones / 12. The centre is held below
// 0.45 x rate so a band set for a higher rate still makes a stable filter.
BiquadCoefficients peakingCoefficients(double sampleRate, double centerHz, double semitones,
                                       double gainDb);

// One EQ band. At exactly 0 dB the band passes the samples through untouched.
class ParamEqEffect final : public Effect
{
public:
    ParamEqEffect(int sampleRate, int channels);
    void setSettings(const ParamEqSettings &s); // control side
    void process(float *interleaved, int frames) noexcept override;

private:
    void refreshCoefficients() noexcept;

    int m_rate;
    int m_channels;
    SharedParams<3> m_shared;
    LinearRamp m_center, m_bandwidth, m_gain;
    BiquadCoefficients m_coef;
    std::vector<std::array<double, 2>> m_state; // transposed direct form II, per channel
    bool m_active = false;
    bool m_running = false; // has processed audio (audio side)
};

} // namespace vokrin::engine::fx
