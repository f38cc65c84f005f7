#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace vokrin::engine {

// Single-producer single-consumer ring of interleaved float frames. The producer is
// whoever holds the channel's decode lock; the consumer is the mixer. Indices count
// frames since creation and never wrap, so "the frame written at index i" stays a
// meaningful name across flushes: the consumer may jump its read index forward to any
// index the producer has already published.
class SampleRing
{
public:
    SampleRing(std::size_t capacityFrames, int channels)
        : m_capacity(capacityFrames), m_channels(channels),
          m_data(new float[capacityFrames * static_cast<std::size_t>(channels)]())
    {
    }

    std::size_t capacityFrames() const { return m_capacity; }
    int channels() const { return m_channels; }

    // Producer side.
    std::size_t writableFrames() const
    {
        return m_capacity - static_cast<std::size_t>(m_write.load(std::memory_order_relaxed) -
                                                     m_read.load(std::memory_order_acquire));
    }
    uint64_t writeIndex() const { return m_write.load(std::memory_order_relaxed); }
    // Writes up to `frames` frames; returns how many fitted.
    std::size_t write(const float *src, std::size_t frames)
    {
        const uint64_t w = m_write.load(std::memory_order_relaxed);
        const std::size_t n = frames < writableFrames() ? frames : writableFrames();
        copyIn(w, src, n);
        m_write.store(w + n, std::memory_order_release);
        return n;
    }

    // Consumer side.
    uint64_t publishedWriteIndex() const { return m_write.load(std::memory_order_acquire); }
    std::size_t readableFrames() const
    {
        return static_cast<std::size_t>(m_write.load(std::memory_order_acquire) -
                                        m_read.load(std::memory_order_relaxed));
    }
    uint64_t readIndex() const { return m_read.load(std::memory_order_relaxed); }
    std::size_t read(float *dst, std::size_t frames)
    {
        const uint64_t r = m_read.load(std::memory_order_relaxed);
        const std::size_t n = frames < readableFrames() ? frames : readableFrames();
        copyOut(r, dst, n);
        m_read.store(r + n, std::memory_order_release);
        return n;
    }
    // Drops everything before `index` (an index the producer has published).
    void skipTo(uint64_t index) { m_read.store(index, std::memory_order_release); }

private:
    void copyIn(uint64_t at, const float *src, std::size_t frames)
    {
        const std::size_t ch = static_cast<std::size_t>(m_channels);
        for (std::size_t i = 0; i < frames; ++i) {
            float *slot = &m_data[((at + i) % m_capacity) * ch];
            for (std::size_t c = 0; c < ch; ++c)
                slot[c] = src[i * ch + c];
        }
    }
    void copyOut(uint64_t at, float *dst, std::size_t frames) const
    {
        const std::size_t ch = static_cast<std::size_t>(m_channels);
        for (std::size_t i = 0; i < frames; ++i) {
            const float *slot = &m_data[((at + i) % m_capacity) * ch];
            for (std::size_t c = 0; c < ch; ++c)
                dst[i * ch + c] = slot[c];
        }
    }

    const std::size_t m_capacity;
    const int m_channels;
    std::unique_ptr<float[]> m_data;
    std::atomic<uint64_t> m_write{0};
    std::atomic<uint64_t> m_read{0};
};

} // namespace vokrin::engine
