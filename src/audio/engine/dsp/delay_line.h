#pragma once

#include <cstddef>
#include <vector>

namespace vokrin::engine::fx {

// A ring buffer of one channel. Its size is fixed at construction (control side).
class DelayLine
{
public:
    DelayLine() = default;
    explicit DelayLine(int maxDelay)
    {
        std::size_t size = 1;
        while (size < static_cast<std::size_t>(maxDelay) + 2)
            size <<= 1;
        m_buffer.assign(size, 0.0f);
        m_mask = size - 1;
    }
    // Value written `delay` writes ago (delay >= 1 reads before this sample's write,
    // delay 0 reads what write() just stored).
    float read(int delay) const noexcept
    {
        return m_buffer[(m_pos - static_cast<std::size_t>(delay)) & m_mask];
    }
    void write(float value) noexcept { m_buffer[m_pos & m_mask] = value; }
    void advance() noexcept { ++m_pos; }

private:
    std::vector<float> m_buffer;
    std::size_t m_mask = 0;
    std::size_t m_pos = 0;
};

// A delay time that changes without tearing: on a new time the read moves from the old
// tap to the new one by a short crossfade, never by a jump.
class CrossfadingTap
{
public:
    void reset(int delay) noexcept
    {
        m_from = m_to = m_wanted = delay;
        m_fade = 1.0f;
    }
    void request(int delay) noexcept { m_wanted = delay; }
    // Call once per frame before reading; `fadeSamples` is the crossfade length.
    void tick(int fadeSamples) noexcept
    {
        if (m_fade >= 1.0f) {
            if (m_wanted == m_to)
                return;
            m_from = m_to;
            m_to = m_wanted;
            m_fade = 0.0f;
            m_step = 1.0f / static_cast<float>(fadeSamples > 0 ? fadeSamples : 1);
        }
        m_fade += m_step;
        if (m_fade >= 1.0f) {
            m_fade = 1.0f;
            m_from = m_to;
        }
    }
    float read(const DelayLine &line) const noexcept
    {
        if (m_from == m_to)
            return line.read(m_to);
        return line.read(m_from) * (1.0f - m_fade) + line.read(m_to) * m_fade;
    }
    bool steady() const noexcept { return m_from == m_to && m_wanted == m_to; }
    int delay() const noexcept { return m_to; }

private:
    int m_from = 0;
    int m_to = 0;
    int m_wanted = 0;
    float m_fade = 1.0f;
    float m_step = 1.0f;
};

} // namespace vokrin::engine::fx
