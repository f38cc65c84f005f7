#include "spectrum_levels.h"

#include <cmath>

namespace vokrin::display {

std::int32_t spectrumLevel(float magnitude, std::int32_t maxLevel)
{
    // Single precision on purpose: 0.01f x 500 rounds to exactly 5 in float, as the
    // magnitude's own precision suggests, where a wider product would truncate to 4.
    const float scaled = std::fabs(magnitude) * 500.0f;
    // NaN and huge values both end at the cap rather than in an undefined conversion.
    if (!(scaled < static_cast<float>(maxLevel)))
        return maxLevel;
    return static_cast<std::int32_t>(scaled);
}

namespace {
void follow(std::int32_t level, std::int32_t fall, std::int32_t &height)
{
    if (level >= height)
        height = level;
    else
        height -= fall;
    if (height < 0)
        height = 0;
}
} // namespace

void updateSpectrumLevels(const float *fft, std::int32_t step, std::int32_t maxLevel,
                          std::int32_t peakFall, std::int32_t barFall, SpectrumLevels &peaks,
                          SpectrumLevels &bars)
{
    for (int q = 0; q < kSpectrumBars; ++q) {
        const std::int32_t level = spectrumLevel(fft[q * step + 5], maxLevel);
        follow(level, peakFall, peaks[q]);
        follow(level, barFall, bars[q]);
    }
}

} // namespace vokrin::display
