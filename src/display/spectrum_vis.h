#pragma once

#include "spectrum_levels.h"

#include <QImage>
#include <cstdint>

namespace vokrin::display {

// The live spectrum of the control panel: a row of 129 bars with falling peak markers.
// Each Draw paints one frame into Buffer (allocation-free, straight into its pixels) and
// copies it to the target surface in one block copy, so the display never flickers.
// Colours are 0x00BBGGRR values.
class TSpectrum
{
public:
    TSpectrum(int width, int height);

    QImage Buffer;
    QImage Backdrop;
    std::int32_t BackColor = 0;
    std::int32_t MaxLevel = 100;
    std::int32_t BarColor = 0xFFFFFF;
    std::int32_t PeakColor = 0x00FFFF;
    std::int32_t Style = 0; // 0 lines, 1 bars; anything else draws nothing
    std::int32_t Step = 1;  // keep 128 x Step + 5 below 513
    bool ClearBack = true;
    bool DrawBackdrop = false;
    std::int32_t PeakFall = 1;
    std::int32_t BarFall = 3;
    std::int32_t BarWidth = 5;
    bool ShowPeaks = true;
    SpectrumLevels PeakLevels{};
    SpectrumLevels BarLevels{};

    // `target` is the paint box's surface; Buffer goes to its origin whatever X and Y are.
    // `fft` holds at least 513 floats.
    void Draw(QImage &target, const float *fft, int X, int Y);

private:
    void fillRect(int left, int top, int right, int bottom, QRgb color);
    void paintBar(int q, int X, int Y);
};

} // namespace vokrin::display
