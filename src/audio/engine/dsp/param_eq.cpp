#include "audio/engine/dsp/param_eq.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vokrin::engine::fx {

BiquadCoefficients peakingCoefficients(double sampleRate, double centerHz, double semitones,
                                       double gainDb)
{
    const double f0 = std::min(centerHz, 0.45 * sampleRate);
    const double a = std::pow(10.0, gainDb / 40.0);
    const double w0 = 2.0 * std::numbers::pi * f0 / sampleRate;
    const double sinW = std::sin(w0);
    const double cosW = std::cos(w0);
    const double octaves = semitones / 12.0;
    // The w0/sin(w0) term undoes the bilinear transform's squeeze of the bandwidth.
    const double alpha = sinW * std::sinh(std::numbers::ln2 / 2.0 * octaves * w0 / sinW);
    const double a0 = 1.0 + alpha / a;
    BiquadCoefficients c;
    c.b0 = (1.0 + alpha * a) / a0;
    c.b1 = -2.0 * cosW / a0;
    c.b2 = (1.0 - alpha * a) / a0;
    c.a1 = c.b1;
    c.a2 = (1.0 - alpha / a) / a0;
    return c;
}

ParamEqEffect::ParamEqEffect(int sampleRate, int channels)
    : m_rate(sampleRate), m_channels(channels), m_state(static_cast<std::size_t>(channels))
{
    const ParamEqSettings defaults;
    m_center.reset(defaults.center);
    m_bandwidth.reset(defaults.bandwidth);
    m_gain.reset(defaults.gain);
    for (auto &s : m_state)
        s = {0.0, 0.0};
    refreshCoefficients();
}

void ParamEqEffect::setSettings(const ParamEqSettings &s)
{
    m_shared.publish({s.center, s.bandwidth, s.gain});
}

void ParamEqEffect::refreshCoefficients() noexcept
{
    m_coef =
        peakingCoefficients(m_rate, m_center.current(), m_bandwidth.current(), m_gain.current());
}

void ParamEqEffect::process(float *interleaved, int frames) noexcept
{
    std::array<float, 3> p;
    if (m_shared.takeIfNew(p)) {
        const int n = rampSamples(m_rate);
        // A band coming out of bypass takes its new shape at once and glides only in
        // gain, so it does not sweep audibly from the old centre.
        if (!m_active || !m_running) {
            m_center.reset(p[0]);
            m_bandwidth.reset(p[1]);
        }
        m_center.setTarget(p[0], n);
        m_bandwidth.setTarget(p[1], n);
        m_gain.setTarget(p[2], m_running ? n : 0);
        refreshCoefficients();
    }
    // Settings made before the first block are simply in force from the start.
    m_running = true;

    int done = 0;
    while (done < frames) {
        const bool gliding = !m_center.settled() || !m_bandwidth.settled() || !m_gain.settled();
        if (!gliding && m_gain.current() == 0.0f) {
            // Exactly 0 dB: bypass. A filter with equal numerator and denominator has an
            // all-zero state, so coming back from bypass starts from zeros without a step.
            if (m_active) {
                for (auto &s : m_state)
                    s = {0.0, 0.0};
                m_active = false;
            }
            return;
        }
        m_active = true;
        int block = frames - done;
        if (gliding) {
            block = std::min(block, kControlBlock);
            m_center.advance(block);
            m_bandwidth.advance(block);
            m_gain.advance(block);
            refreshCoefficients();
        }
        const BiquadCoefficients c = m_coef;
        int ch = 0;
        // Two channels side by side: their recursions are independent, so the processor
        // overlaps them.
        for (; ch + 1 < m_channels; ch += 2) {
            double l1 = m_state[ch][0], l2 = m_state[ch][1];
            double r1 = m_state[ch + 1][0], r2 = m_state[ch + 1][1];
            float *x = interleaved + static_cast<std::ptrdiff_t>(done) * m_channels + ch;
            for (int i = 0; i < block; ++i, x += m_channels) {
                const double inL = x[0], inR = x[1];
                const double outL = c.b0 * inL + l1;
                const double outR = c.b0 * inR + r1;
                l1 = c.b1 * inL - c.a1 * outL + l2;
                r1 = c.b1 * inR - c.a1 * outR + r2;
                l2 = c.b2 * inL - c.a2 * outL;
                r2 = c.b2 * inR - c.a2 * outR;
                x[0] = static_cast<float>(outL);
                x[1] = static_cast<float>(outR);
            }
            m_state[ch] = {l1, l2};
            m_state[ch + 1] = {r1, r2};
        }
        for (; ch < m_channels; ++ch) {
            double s1 = m_state[ch][0];
            double s2 = m_state[ch][1];
            float *x = interleaved + static_cast<std::ptrdiff_t>(done) * m_channels + ch;
            for (int i = 0; i < block; ++i, x += m_channels) {
                const double in = *x;
                const double out = c.b0 * in + s1;
                s1 = c.b1 * in - c.a1 * out + s2;
                s2 = c.b2 * in - c.a2 * out;
                *x = static_cast<float>(out);
            }
            m_state[ch][0] = s1;
            m_state[ch][1] = s2;
        }
        done += block;
    }
}

} // namespace vokrin::engine::fx
