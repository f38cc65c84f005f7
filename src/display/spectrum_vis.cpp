#include "spectrum_vis.h"

#include "tcolor.h"

#include <algorithm>
#include <cstring>

namespace vokrin::display {

TSpectrum::TSpectrum(int width, int height)
    : Buffer(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32),
      Backdrop(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32)
{
    Buffer.fill(Qt::black);
    Backdrop.fill(Qt::black);
}

// Fills [left, right) x [top, bottom), clipped to Buffer.
void TSpectrum::fillRect(int left, int top, int right, int bottom, QRgb color)
{
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, Buffer.width());
    bottom = std::min(bottom, Buffer.height());
    for (int y = top; y < bottom; ++y) {
        auto *line = reinterpret_cast<QRgb *>(Buffer.scanLine(y));
        std::fill(line + left, line + std::max(left, right), color);
    }
}

void TSpectrum::paintBar(int q, int X, int Y)
{
    const int H = Buffer.height();
    if (Style == 0) {
        const int x = X + q;
        fillRect(x, Y + H - BarLevels[q] + 1, x + 1, Y + H + 1, rgbFromTColor(BarColor));
        if (ShowPeaks) {
            const int y = Y + H - PeakLevels[q];
            fillRect(x, y, x + 1, y + 1, rgbFromTColor(BarColor));
        }
    } else if (Style == 1) {
        const int x0 = X + (BarWidth + 1) * q;
        if (ShowPeaks) {
            const int y = Y + H - PeakLevels[q];
            fillRect(x0, y, x0 + BarWidth, y + 1, rgbFromTColor(PeakColor));
        }
        fillRect(x0, Y + H - BarLevels[q], x0 + BarWidth, Y + H, rgbFromTColor(BarColor));
    }
}

void TSpectrum::Draw(QImage &target, const float *fft, int X, int Y)
{
    if (ClearBack) {
        Buffer.fill(rgbFromTColor(BackColor));
        if (DrawBackdrop) {
            const int rows = std::min(Buffer.height(), Backdrop.height());
            const int bytes = std::min(Buffer.bytesPerLine(), Backdrop.bytesPerLine());
            for (int y = 0; y < rows; ++y)
                std::memcpy(Buffer.scanLine(y), Backdrop.constScanLine(y), bytes);
        }
    }
    updateSpectrumLevels(fft, Step, MaxLevel, PeakFall, BarFall, PeakLevels, BarLevels);
    for (int q = 0; q < kSpectrumBars; ++q)
        paintBar(q, X, Y);

    // One block copy to the surface's origin, clipped to both images.
    if (target.format() != QImage::Format_RGB32 && target.format() != QImage::Format_ARGB32)
        return;
    const int rows = std::min(Buffer.height(), target.height());
    const int width = std::min(Buffer.width(), target.width());
    for (int y = 0; y < rows; ++y)
        std::memcpy(target.scanLine(y), Buffer.constScanLine(y), static_cast<size_t>(width) * 4);
}

} // namespace vokrin::display
