#include "spectrum.h"

#include <kiss_fftr.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>

namespace vokrin::engine {

namespace {

constexpr int kSize = 1024;

struct FftPlan
{
    kiss_fftr_cfg cfg = kiss_fftr_alloc(kSize, 0, nullptr, nullptr);
    std::array<float, kSize> window{};
    FftPlan()
    {
        for (int i = 0; i < kSize; ++i)
            window[i] =
                0.5f - 0.5f * static_cast<float>(std::cos(2.0 * std::numbers::pi * i / kSize));
    }
    ~FftPlan() { kiss_fftr_free(cfg); }
    FftPlan(const FftPlan &) = delete;
    FftPlan &operator=(const FftPlan &) = delete;
};

} // namespace

void fft1024Magnitudes(const float *samples, float *magnitudes)
{
    thread_local FftPlan plan;
    std::array<kiss_fft_scalar, kSize> in{};
    std::array<kiss_fft_cpx, kSize / 2 + 1> out{};
    for (int i = 0; i < kSize; ++i)
        in[i] = samples[i] * plan.window[i];
    kiss_fftr(plan.cfg, in.data(), out.data());
    // The Hann window halves a sine's amplitude, which the 2/N scaling then restores
    // to half of full scale: 0.5 for a full-scale sine, as the caller expects.
    for (int k = 0; k < kSize / 2; ++k)
        magnitudes[k] = 2.0f * std::hypot(out[k].r, out[k].i) / kSize;
}

} // namespace vokrin::engine
