#pragma once

#include <array>
#include <atomic>
#include <cstdint>

namespace vokrin::engine::fx {

// A small set of floats handed from the control side to the audio thread.
// One writer (the caller serialises control calls), one reader (the audio thread).
// The reader never waits: when it catches a write half-done it keeps what it had and
// looks again on its next block.
template <int N> class SharedParams
{
public:
    // Release stores and acquire loads stand in for fences: a reader that sees any value
    // of a newer set also sees that set's odd sequence, so it never keeps a mixed set.
    void publish(const std::array<float, N> &values)
    {
        const uint32_t seq = m_sequence.load(std::memory_order_relaxed);
        m_sequence.store(seq + 1, std::memory_order_relaxed);
        for (int i = 0; i < N; ++i)
            m_values[i].store(values[i], std::memory_order_release);
        m_sequence.store(seq + 2, std::memory_order_release);
    }

    // Audio side: true and fills `out` when a complete set newer than the last one taken
    // is there.
    bool takeIfNew(std::array<float, N> &out) noexcept
    {
        const uint32_t before = m_sequence.load(std::memory_order_acquire);
        if (before == m_taken || (before & 1u) != 0)
            return false;
        std::array<float, N> values;
        for (int i = 0; i < N; ++i)
            values[i] = m_values[i].load(std::memory_order_acquire);
        if (m_sequence.load(std::memory_order_relaxed) != before)
            return false;
        m_taken = before;
        out = values;
        return true;
    }

private:
    std::array<std::atomic<float>, N> m_values{};
    std::atomic<uint32_t> m_sequence{0};
    uint32_t m_taken = 0; // audio side only
};

} // namespace vokrin::engine::fx
