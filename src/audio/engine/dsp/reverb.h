#pragma once

#include <array>
#include <vector>

#include "audio/engine/dsp/effect.h"
#include "audio/engine/dsp/effect_chain.h"
#include "audio/engine/dsp/ramp.h"
#include "audio/engine/dsp/shared_params.h"

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
    static constexpr int kBlock = 256;

    ReverbEffect(int sampleRate, int channels);
    void setSettings(const ReverbSettings &s); // control side
    void process(float *interleaved, int frames) noexcept override;

private:
    void take(const ReverbSettings &s, bool immediately) noexcept;
    void clearTail() noexcept;
    void mixBlock(float *first, int block, float *lines, std::size_t lineMask,
                  float shelfCoef) noexcept;

    int m_rate;
    bool m_running = false; // has processed audio (audio side)
    int m_channels;
    SharedParams<4> m_shared;
    LinearRamp m_inGain; // linear, input scale folded in
    LinearRamp m_wet;    // linear; the dry part is 1 - wet
    // All lines share one write position and one length (a power of two), so a frame
    // costs one index update: line k lives at m_lines[k * m_lineLength ...].
    std::vector<float> m_lines;
    std::vector<float> m_diffusers;
    std::vector<float> m_input; // one block of the diffused mono input
    std::size_t m_lineLength = 0;
    std::size_t m_diffuserLength = 0;
    std::size_t m_pos = 0;
    std::array<int, kLines> m_delays{};
    std::array<int, kDiffusers> m_diffuserDelays{};
    std::array<float, kLines> m_lowGain{};  // loop gain at low frequencies
    std::array<float, kLines> m_highGain{}; // loop gain above the shelf
    std::array<float, kLines> m_shelfState{};
    float m_shelfCoef = 0.0f; // one-pole low-pass splitting low from high
    float m_inputScale = 1.0f;
    bool m_idle = false; // the wet path is off and its lines are not running
};

} // namespace vokrin::engine::fx
