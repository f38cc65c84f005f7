#pragma once

#include <QImage>
#include <QSize>
#include <memory>

// The seven-segment picture strips of the digit displays. A number strip has 11 cells
// (blank, 0..9) and a special strip 4 (blank, point, colon, minus), side by side. The
// strips are masks: white a lit segment, light grey (0xC0C0C0) an unlit one, black the
// background; recolouredStrip() turns them into the colours of a display.
namespace vokrin::controls {

enum class DigitSize {
    ls06x07,
    ls07x11,
    ls08x13,
    ls11x19,
    ls13x20,
    ls13x21,
    ls15x24,
    ls15x25,
    ls17x29,
    ls18x25,
    ls19x33,
    ls21x37,
    ls23x41
};
constexpr int kDigitSizeCount = 13;

enum class StripKind { Numbers, Specials };

// Cell of a special strip.
constexpr int kSpecialBlank = 0;
constexpr int kSpecialPoint = 1;
constexpr int kSpecialColon = 2;
constexpr int kSpecialMinus = 3;

// Mask colours.
constexpr QRgb kMaskLit = 0xFFFFFFFF;
constexpr QRgb kMaskUnlit = 0xFFC0C0C0;
constexpr QRgb kMaskBackground = 0xFF000000;

// Segment bits: top, upper left, upper right, middle, lower left, lower right, bottom.
enum Segment : unsigned {
    SegTop = 1u << 0,
    SegUpperLeft = 1u << 1,
    SegUpperRight = 1u << 2,
    SegMiddle = 1u << 3,
    SegLowerLeft = 1u << 4,
    SegLowerRight = 1u << 5,
    SegBottom = 1u << 6,
};
// The lit segments of digit 0..9.
unsigned digitSegments(int digit);

QSize digitCellSize(DigitSize size);
// "LCD_07X11" / "LCDS_07X11".
const char *stripName(StripKind kind, DigitSize size);
// The mask strip itself (drawn once, then kept).
const QImage &maskStrip(StripKind kind, DigitSize size);

// Colours of a display as 0x00BBGGRR values, already resolved (no system colours).
struct StripColors
{
    int background = 0;
    int inactive = 0x008000;
    int lit = 0x00FF00;
    bool drawInactive = true;
    bool operator==(const StripColors &) const = default;
};

// The strip recoloured for `colors`, shared by every digit that asks for the same kind,
// size and colours. A strip lives as long as one holder keeps it.
std::shared_ptr<const QImage> recolouredStrip(StripKind kind, DigitSize size,
                                              const StripColors &colors);
// How many recoloured strips the cache holds now (for tests of its sharing).
int cachedStripCount();

} // namespace vokrin::controls
