#pragma once

#include <array>
#include <cstdint>

namespace vokrin::display {

inline constexpr int kSpectrumBars = 129;
using SpectrumLevels = std::array<std::int32_t, kSpectrumBars>;

// Level of one magnitude in pixels: |v| x 500 truncated towards zero, capped at maxLevel.
std::int32_t spectrumLevel(float magnitude, std::int32_t maxLevel);

// One frame's update of the bar and peak-marker heights from an FFT buffer of at least
// 128 x step + 6 floats (elements 5, 5 + step, ..., 5 + 128 x step are read). A level at
// or above the current height replaces it; otherwise the height falls by its fall step,
// never below 0.
void updateSpectrumLevels(const float *fft, std::int32_t step, std::int32_t maxLevel,
                          std::int32_t peakFall, std::int32_t barFall, SpectrumLevels &peaks,
                          SpectrumLevels &bars);

} // namespace vokrin::display
