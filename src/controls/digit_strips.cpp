#include "controls/digit_strips.h"

#include <QRect>
#include <array>
#include <map>
#include <tuple>

namespace vokrin::controls {

namespace {

struct SizeInfo
{
    int width;
    int height;
    const char *numbers;
    const char *specials;
};

constexpr std::array<SizeInfo, kDigitSizeCount> kSizes{{
    {4, 7, "LCD_06X07", "LCDS_06X07"},
    {5, 9, "LCD_07X11", "LCDS_07X11"},
    {7, 13, "LCD_08X13", "LCDS_08X13"},
    {9, 19, "LCD_11X19", "LCDS_11X19"},
    {11, 20, "LCD_13X20", "LCDS_13X20"},
    {11, 21, "LCD_13X21", "LCDS_13X21"},
    {13, 24, "LCD_15X24", "LCDS_15X24"},
    {13, 25, "LCD_15X25", "LCDS_15X25"},
    {15, 29, "LCD_17X29", "LCDS_17X29"},
    {15, 23, "LCD_18X25", "LCDS_18X25"},
    {17, 33, "LCD_19X33", "LCDS_19X33"},
    {19, 37, "LCD_21X37", "LCDS_21X37"},
    {21, 41, "LCD_23X41", "LCDS_23X41"},
}};

const SizeInfo &info(DigitSize size)
{
    return kSizes[static_cast<std::size_t>(size)];
}

// Geometry of one cell: segment thickness t, the middle bar's first row m. With t = 1 on
// the 5 by 9 cell this gives exactly: top row 0, verticals rows 1-3 and 5-7, middle row
// 4, bottom row 8, horizontals in columns 1-3 and verticals in columns 0 and 4.
struct CellGeometry
{
    int w;
    int h;
    int t;
    int m;

    explicit CellGeometry(QSize size)
        : w(size.width()), h(size.height()), t(std::max(1, (size.width() + 3) / 6)),
          m((size.height() - t) / 2)
    {
    }

    QRect segment(unsigned bit) const
    {
        switch (bit) {
        case SegTop:
            return {t, 0, w - 2 * t, t};
        case SegUpperLeft:
            return {0, t, t, m - t};
        case SegUpperRight:
            return {w - t, t, t, m - t};
        case SegMiddle:
            return {t, m, w - 2 * t, t};
        case SegLowerLeft:
            return {0, m + t, t, h - t - (m + t)};
        case SegLowerRight:
            return {w - t, m + t, t, h - t - (m + t)};
        case SegBottom:
            return {t, h - t, w - 2 * t, t};
        default:
            return {};
        }
    }
    // The dot in the middle of the lower (or upper) half, between the verticals.
    QRect dot(bool lower) const
    {
        const int first = lower ? m + t : t;
        const int last = lower ? h - t - 1 : m - 1;
        const int row = (first + last) / 2 - (t - 1) / 2;
        return {(w - t) / 2, row, t, t};
    }
};

void fill(QImage &image, const QRect &rect, QRgb colour)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            image.setPixel(x, y, colour);
}

// Draws a cell at `left`: `lit` segments white, the other segments grey.
void drawCell(QImage &strip, int left, const CellGeometry &cell, unsigned lit)
{
    for (unsigned bit = SegTop; bit <= SegBottom; bit <<= 1) {
        const QRect segment = cell.segment(bit).translated(left, 0);
        fill(strip, segment, (lit & bit) != 0 ? kMaskLit : kMaskUnlit);
    }
}

QImage drawStrip(StripKind kind, DigitSize size)
{
    const CellGeometry cell(digitCellSize(size));
    const int cells = kind == StripKind::Numbers ? 11 : 4;
    QImage strip(cell.w * cells, cell.h, QImage::Format_RGB32);
    strip.fill(kMaskBackground);
    if (kind == StripKind::Numbers) {
        drawCell(strip, 0, cell, 0);
        for (int digit = 0; digit <= 9; ++digit)
            drawCell(strip, (digit + 1) * cell.w, cell, digitSegments(digit));
        return strip;
    }
    drawCell(strip, kSpecialBlank * cell.w, cell, 0);
    drawCell(strip, kSpecialPoint * cell.w, cell, 0);
    fill(strip, cell.dot(true).translated(kSpecialPoint * cell.w, 0), kMaskLit);
    drawCell(strip, kSpecialColon * cell.w, cell, 0);
    fill(strip, cell.dot(false).translated(kSpecialColon * cell.w, 0), kMaskLit);
    fill(strip, cell.dot(true).translated(kSpecialColon * cell.w, 0), kMaskLit);
    drawCell(strip, kSpecialMinus * cell.w, cell, SegMiddle);
    return strip;
}

// The recoloured strips alive now. The map itself exists only while it holds a strip.
using StripKey = std::tuple<int, int, int, int, int, bool>;
std::map<StripKey, std::weak_ptr<const QImage>> *g_strips = nullptr;

QImage recolour(const QImage &mask, const StripColors &colors)
{
    const auto rgb = [](int value) {
        const auto v = static_cast<unsigned>(value);
        return qRgb(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                    static_cast<int>((v >> 16) & 0xFF));
    };
    const QRgb lit = rgb(colors.lit);
    const QRgb background = rgb(colors.background);
    const QRgb unlit = colors.drawInactive ? rgb(colors.inactive) : background;
    QImage result(mask.size(), QImage::Format_RGB32);
    for (int y = 0; y < mask.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(mask.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < mask.width(); ++x)
            out[x] = in[x] == kMaskLit ? lit : (in[x] == kMaskUnlit ? unlit : background);
    }
    return result;
}

} // namespace

unsigned digitSegments(int digit)
{
    constexpr unsigned all = SegTop | SegUpperLeft | SegUpperRight | SegMiddle | SegLowerLeft |
                             SegLowerRight | SegBottom;
    switch (digit) {
    case 0:
        return all & ~SegMiddle;
    case 1:
        return SegUpperRight | SegLowerRight;
    case 2:
        return SegTop | SegUpperRight | SegMiddle | SegLowerLeft | SegBottom;
    case 3:
        return SegTop | SegUpperRight | SegMiddle | SegLowerRight | SegBottom;
    case 4:
        return SegUpperLeft | SegUpperRight | SegMiddle | SegLowerRight;
    case 5:
        return SegTop | SegUpperLeft | SegMiddle | SegLowerRight | SegBottom;
    case 6:
        return SegTop | SegUpperLeft | SegMiddle | SegLowerLeft | SegLowerRight | SegBottom;
    case 7:
        return SegTop | SegUpperRight | SegLowerRight;
    case 8:
        return all;
    case 9:
        return all & ~SegLowerLeft;
    default:
        return 0;
    }
}

QSize digitCellSize(DigitSize size)
{
    return {info(size).width, info(size).height};
}

const char *stripName(StripKind kind, DigitSize size)
{
    return kind == StripKind::Numbers ? info(size).numbers : info(size).specials;
}

const QImage &maskStrip(StripKind kind, DigitSize size)
{
    static std::array<QImage, 2 * kDigitSizeCount> strips;
    QImage &strip =
        strips[static_cast<std::size_t>(size) * 2 + (kind == StripKind::Numbers ? 0 : 1)];
    if (strip.isNull())
        strip = drawStrip(kind, size);
    return strip;
}

std::shared_ptr<const QImage> recolouredStrip(StripKind kind, DigitSize size,
                                              const StripColors &colors)
{
    const StripKey key{static_cast<int>(kind),
                       static_cast<int>(size),
                       colors.background,
                       colors.inactive,
                       colors.lit,
                       colors.drawInactive};
    if (g_strips == nullptr)
        g_strips = new std::map<StripKey, std::weak_ptr<const QImage>>;
    if (auto found = g_strips->find(key); found != g_strips->end()) {
        if (auto alive = found->second.lock())
            return alive;
    }
    // The last holder's release takes the strip out of the cache, and the cache away
    // when it is empty.
    std::shared_ptr<const QImage> strip(new QImage(recolour(maskStrip(kind, size), colors)),
                                        [key](const QImage *image) {
                                            delete image;
                                            if (g_strips == nullptr)
                                                return;
                                            auto found = g_strips->find(key);
                                            if (found != g_strips->end() && found->second.expired())
                                                g_strips->erase(found);
                                            if (g_strips->empty()) {
                                                delete g_strips;
                                                g_strips = nullptr;
                                            }
                                        });
    (*g_strips)[key] = strip;
    return strip;
}

int cachedStripCount()
{
    return g_strips == nullptr ? 0 : static_cast<int>(g_strips->size());
}

} // namespace vokrin::controls
