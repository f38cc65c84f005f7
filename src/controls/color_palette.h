#pragma once

#include <QRect>
#include <array>

// The colour pop-up's layout and selection rules as plain functions.
namespace vokrin::controls {

constexpr int kPaletteColumns = 4;
constexpr int kPaletteRows = 5;
constexpr int kPaletteCells = kPaletteColumns * kPaletteRows;
// Index of the extra cell that shows the current colour.
constexpr int kExtraCell = kPaletteCells;
constexpr int kNoCell = -1;

// The 20 palette colours in cell order, 0x00BBGGRR.
const std::array<int, kPaletteCells> &paletteColors();

// Client size 78 by 119; cells 18 by 18; the separator at y 91/92; the button at (3, 95)
// 51 by 18; the extra cell at (54, 95).
constexpr int kPopUpWidth = 78;
constexpr int kPopUpHeight = 119;
QRect paletteCellRect(int cell);
QRect otherButtonRect();
// The cell under `point`, or kNoCell. The extra cell counts only when shown.
int cellAt(QPoint point, bool extraShown);

// First palette cell whose RGB equals `value`, or kNoCell.
int paletteIndexOf(int value);

struct PaletteSelection
{
    int cell = 0;
    bool extraShown = false;
};
// The selection on opening: extra cell shown when `showCurrent` or `value` is not in the
// palette; selected the first matching cell, else the extra cell.
PaletteSelection openingSelection(int value, bool showCurrent);

enum class PaletteKey { Left, Right, Up, Down, Home, End };
// Moves the selection by one key, stopping at the grid's edges.
int moveSelection(const PaletteSelection &selection, PaletteKey key);

// Where the pop-up opens for a button at `buttonRect` (screen coordinates) on a screen
// `screenHeight` pixels high: under the button, or above it when it would not fit.
QPoint popUpPosition(const QRect &buttonRect, QSize popUpSize, int screenHeight);

} // namespace vokrin::controls
