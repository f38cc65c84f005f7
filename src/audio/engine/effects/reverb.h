#pragma once

#include <array>
#include <vector>

#include "delay_line.h"
#include "effect.h"
#include "effect_chain.h"
#include "ramp.h"
#include "shared_params.h"

namespace vokrin::engine::fx {

// Loop gain of a delay line of `delaySamples` for a -60 dB decay over `seconds`.
double loopGainFor(int delaySamples, int sampleRate, double seconds);

// Feedback-delay-network reverb: the channels' mix, scaled by the in-gain, passes four
// diffusing all-passes into eight delay lines mixed by an orthogonal (Hadamard) matrix.
// Each line's loop gain sets the -60 dB decay to the reverb time; a shelf in each loop
// gives high frequencies their shorter decay (time x high-frequency ratio). Two
// uncorrelated taps feed the even and the odd channels.
class ReverbEffect final : public Effect
{
public:
    static constexpr int kLines = 8;
    static constexpr int kDiffusers = 4;

    ReverbEffect(int sampleRate, int channels);
    void setSettings(const ReverbSettings &s); // control side
    void process(float *interleaved, int frames) noexcept override;

private:
    struct AllPass {
        DelayLine line;
        int delay = 1;
    };

    void take(const ReverbSettings &s, bool immediately) noexcept;
    void clearTail() noexcept;

    int m_rate;
    bool m_running = false; // has processed audio (audio side)
    int m_channels;
    SharedParams<4> m_shared;
    LinearRamp m_inGain; // linear, input scale folded in
    LinearRamp m_wet;    // linear; the dry part is 1 - wet
    std::array<AllPass, kDiffusers> m_diffusers;
    std::array<DelayLine, kLines> m_lines;
    std::array<int, kLines> m_delays{};
    std::array<float, kLines> m_lowGain{};  // loop gain at low frequencies
    std::array<float, kLines> m_highGain{}; // loop gain above the shelf
    std::array<float, kLines> m_shelfState{};
    float m_shelfCoef = 0.0f; // one-pole low-pass splitting low from high
    float m_inputScale = 1.0f;
    bool m_idle = false; // the wet path is off and its lines are not running
};

} // namespace vokrin::engine::fx
