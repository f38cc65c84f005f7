#include "controls/color_palette.h"

#include "controls/colors.h"

namespace vokrin::controls {

const std::array<int, kPaletteCells> &paletteColors()
{
    static const std::array<int, kPaletteCells> colors{
        clWhite,   clBlack,  clSilver, clGray,   clRed,    clMaroon, clYellow,
        clOlive,   clLime,   clGreen,  clAqua,   clTeal,   clBlue,   clNavy,
        clFuchsia, clPurple, 0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0};
    return colors;
}

namespace {
constexpr int kCellSize = 18;
}

QRect paletteCellRect(int cell)
{
    if (cell == kExtraCell)
        return {54, 95, kCellSize, kCellSize};
    if (cell < 0 || cell >= kPaletteCells)
        return {};
    return {(cell % kPaletteColumns) * kCellSize, (cell / kPaletteColumns) * kCellSize, kCellSize,
            kCellSize};
}

QRect otherButtonRect()
{
    return {3, 95, 51, 18};
}

int cellAt(QPoint point, bool extraShown)
{
    for (int cell = 0; cell < kPaletteCells; ++cell) {
        if (paletteCellRect(cell).contains(point))
            return cell;
    }
    if (extraShown && paletteCellRect(kExtraCell).contains(point))
        return kExtraCell;
    return kNoCell;
}

int paletteIndexOf(int value)
{
    const auto &colors = paletteColors();
    for (int cell = 0; cell < kPaletteCells; ++cell) {
        if (rgbPart(colors[static_cast<std::size_t>(cell)]) == rgbPart(value))
            return cell;
    }
    return kNoCell;
}

PaletteSelection openingSelection(int value, bool showCurrent)
{
    const int match = isSystemColor(value) ? kNoCell : paletteIndexOf(value);
    PaletteSelection selection;
    selection.extraShown = showCurrent || match == kNoCell;
    selection.cell = match == kNoCell ? kExtraCell : match;
    return selection;
}

int moveSelection(const PaletteSelection &selection, PaletteKey key)
{
    const int cell = selection.cell;
    if (key == PaletteKey::Home)
        return 0;
    if (key == PaletteKey::End)
        return selection.extraShown ? kExtraCell : kPaletteCells - 1;
    if (cell == kExtraCell) {
        // From the extra cell only Up leads back, to the last cell of the bottom row.
        return key == PaletteKey::Up ? kPaletteCells - 1 : cell;
    }
    const int column = cell % kPaletteColumns;
    const int row = cell / kPaletteColumns;
    switch (key) {
    case PaletteKey::Left:
        return column > 0 ? cell - 1 : cell;
    case PaletteKey::Right:
        return column < kPaletteColumns - 1 ? cell + 1 : cell;
    case PaletteKey::Up:
        return row > 0 ? cell - kPaletteColumns : cell;
    case PaletteKey::Down:
        if (row < kPaletteRows - 1)
            return cell + kPaletteColumns;
        return (cell == kPaletteCells - 1 && selection.extraShown) ? kExtraCell : cell;
    default:
        return cell;
    }
}

QPoint popUpPosition(const QRect &buttonRect, QSize popUpSize, int screenHeight)
{
    QPoint position(buttonRect.left(), buttonRect.top() + buttonRect.height());
    if (position.y() + popUpSize.height() > screenHeight)
        position.setY(position.y() - popUpSize.height() - buttonRect.height());
    return position;
}

} // namespace vokrin::controls
