#pragma once

namespace vokrin::engine::fx {

// A value that glides linearly to its target over a fixed number of samples and then
// sits exactly on it, so a settled ramp multiplies by the exact target (0 dB stays
// bit-exact).
class LinearRamp
{
public:
    void reset(float value) noexcept
    {
        m_current = m_target = value;
        m_remaining = 0;
    }
    void setTarget(float target, int samples) noexcept
    {
        if (target == m_target)
            return;
        m_target = target;
        if (samples <= 0) {
            m_current = target;
            m_remaining = 0;
            return;
        }
        m_remaining = samples;
        m_step = (m_target - m_current) / static_cast<float>(samples);
    }
    float next() noexcept
    {
        if (m_remaining > 0) {
            if (--m_remaining == 0)
                m_current = m_target;
            else
                m_current += m_step;
        }
        return m_current;
    }
    // Moves `samples` steps at once (for values read once per sub-block).
    float advance(int samples) noexcept
    {
        if (m_remaining > 0) {
            if (samples >= m_remaining) {
                m_remaining = 0;
                m_current = m_target;
            } else {
                m_remaining -= samples;
                m_current += m_step * static_cast<float>(samples);
            }
        }
        return m_current;
    }
    bool settled() const noexcept { return m_remaining == 0; }
    float current() const noexcept { return m_current; }
    float target() const noexcept { return m_target; }

private:
    float m_current = 0.0f;
    float m_target = 0.0f;
    float m_step = 0.0f;
    int m_remaining = 0;
};

// Ramp length used for gains and other parameter glides: 5 ms keeps changes
// click-free and well inside the 20 ms in which a change must be heard.
inline int rampSamples(int sampleRate)
{
    return sampleRate / 200;
}

} // namespace vokrin::engine::fx
