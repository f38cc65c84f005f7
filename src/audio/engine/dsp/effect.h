#pragma once

namespace vokrin::engine::fx {

// One effect of a chain. Built on the control side (where it may allocate everything it
// will ever need); process() runs on the audio thread over interleaved frames in place
// and never allocates, frees or blocks.
class Effect
{
public:
    virtual ~Effect() = default;
    virtual void process(float *interleaved, int frames) noexcept = 0;
};

// Frames per sub-block in which parameters that are costly to recompute (filter
// coefficients) are refreshed while they glide.
inline constexpr int kControlBlock = 16;

inline int msToSamples(double ms, int sampleRate)
{
    return static_cast<int>(ms * sampleRate / 1000.0 + 0.5);
}

} // namespace vokrin::engine::fx
