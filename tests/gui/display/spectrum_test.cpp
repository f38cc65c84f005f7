#include "display/spectrum_vis.h"

#include <gtest/gtest.h>

#include <array>

using namespace vokrin::display;

namespace {

using FftBuffer = std::array<float, 513>;

FftBuffer uniform(float magnitude)
{
    FftBuffer fft{};
    fft.fill(magnitude);
    return fft;
}

// The program's configuration of the panel spectrum: green one-pixel bars, yellow peaks.
TSpectrum panelSpectrum()
{
    TSpectrum s(175, 52);
    s.ShowPeaks = true;
    s.Style = 1;
    s.PeakColor = 0x00FFFF;
    s.BarColor = 0x00FF00;
    s.BarWidth = 1;
    return s;
}

int litHeight(const QImage &image, int column, QRgb color)
{
    int lit = 0;
    for (int y = 0; y < image.height(); ++y)
        lit += image.pixel(column, y) == color ? 1 : 0;
    return lit;
}

const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kYellow = qRgb(255, 255, 0);
const QRgb kBlack = qRgb(0, 0, 0);

} // namespace

TEST(SpectrumLevels, MagnitudesMapToPixelsWithTheCap)
{
    struct Case
    {
        float magnitude;
        int level;
    };
    const Case cases[] = {{0.2f, 100}, {1.5f, 100}, {0.01f, 5}, {0.001f, 0},
                          {-0.01f, 5}, {0.0f, 0},   {0.1f, 50}};
    for (const Case &c : cases)
        EXPECT_EQ(spectrumLevel(c.magnitude, 100), c.level) << c.magnitude;
}

TEST(SpectrumLevels, BarsFallByThreeAndPeaksByOneUntilZero)
{
    SpectrumLevels peaks{}, bars{};
    FftBuffer loud = uniform(0.02f); // level 10
    updateSpectrumLevels(loud.data(), 1, 100, 1, 3, peaks, bars);
    EXPECT_EQ(bars[0], 10);
    EXPECT_EQ(peaks[128], 10);

    FftBuffer silence = uniform(0.0f);
    int barTicks = 0, peakTicks = 0;
    for (int tick = 1; tick <= 20; ++tick) {
        updateSpectrumLevels(silence.data(), 1, 100, 1, 3, peaks, bars);
        if (bars[7] == 0 && barTicks == 0)
            barTicks = tick;
        if (peaks[7] == 0 && peakTicks == 0)
            peakTicks = tick;
        EXPECT_GE(bars[7], 0);
    }
    EXPECT_EQ(barTicks, 4) << "ceil(10 / 3) ticks";
    EXPECT_EQ(peakTicks, 10);
}

TEST(SpectrumLevels, ReadsEveryStepFromElementFive)
{
    FftBuffer fft{};
    fft[5] = 0.02f;         // bar 0
    fft[5 + 2 * 3] = 0.04f; // bar 3 at step 2
    SpectrumLevels peaks{}, bars{};
    updateSpectrumLevels(fft.data(), 2, 100, 1, 3, peaks, bars);
    EXPECT_EQ(bars[0], 10);
    EXPECT_EQ(bars[3], 20);
    EXPECT_EQ(bars[1], 0);
}

TEST(SpectrumDraw, PanelBarsOccupyEvenColumnsAndAreClippedToTheBuffer)
{
    TSpectrum s = panelSpectrum();
    QImage surface(175, 52, QImage::Format_RGB32);
    surface.fill(Qt::red);
    FftBuffer fft{};
    fft[5 + 3] = 0.02f; // bar 3: level 10, column 6
    fft[5 + 10] = 0.5f; // bar 10: capped at 100, fills all 52 rows of column 20
    s.Draw(surface, fft.data(), 0, 0);

    EXPECT_EQ(litHeight(surface, 6, kGreen), 10);
    EXPECT_EQ(surface.pixel(6, 52 - 11), kBlack) << "nothing above the bar";
    EXPECT_EQ(surface.pixel(7, 51), kBlack) << "one-pixel gap after bar 3";
    EXPECT_EQ(litHeight(surface, 20, kGreen), 52);
    EXPECT_EQ(surface.pixel(0, 51), kBlack) << "silent bar 0 draws nothing";
}

TEST(SpectrumDraw, PeakMarkerStaysAboveTheFallingBar)
{
    TSpectrum s = panelSpectrum();
    QImage surface(175, 52, QImage::Format_RGB32);
    FftBuffer fft{};
    fft[5 + 2] = 0.02f; // bar 2: level 10
    s.Draw(surface, fft.data(), 0, 0);
    // The marker at the bar's top is covered by the bar on the first frame.
    EXPECT_EQ(surface.pixel(4, 52 - 10), kGreen);

    FftBuffer silence{};
    s.Draw(surface, silence.data(), 0, 0);
    s.Draw(surface, silence.data(), 0, 0);
    // Bar 10 - 6 = 4 pixels high, marker at 10 - 2 = 8.
    EXPECT_EQ(litHeight(surface, 4, kGreen), 4);
    EXPECT_EQ(surface.pixel(4, 52 - 8), kYellow);
    EXPECT_EQ(litHeight(surface, 4, kYellow), 1);
}

TEST(SpectrumDraw, LineStyleDrawsOneColumnPerBarWithPeakDots)
{
    TSpectrum s(175, 52); // constructor values: lines, white
    QImage surface(175, 52, QImage::Format_RGB32);
    FftBuffer fft{};
    fft[5 + 40] = 0.01f; // level 5 at column 40
    s.Draw(surface, fft.data(), 0, 0);
    EXPECT_EQ(litHeight(surface, 40, qRgb(255, 255, 255)), 5);
    EXPECT_EQ(litHeight(surface, 41, qRgb(255, 255, 255)), 0);
}

TEST(SpectrumDraw, UnknownStyleDrawsNothingButLevelsStillMove)
{
    TSpectrum s = panelSpectrum();
    s.Style = 7;
    QImage surface(175, 52, QImage::Format_RGB32);
    FftBuffer fft = uniform(0.1f);
    s.Draw(surface, fft.data(), 0, 0);
    EXPECT_EQ(litHeight(surface, 0, kGreen), 0);
    EXPECT_EQ(s.BarLevels[0], 50);
}
