#pragma once

#include <QColor>
#include <QPalette>

// Colours of the controls are 32-bit values laid out 0x00BBGGRR, as stored in the
// settings file. A value with the top byte 0xFF is a system colour (0xFF000000 plus a
// system index) and is resolved against the widget's palette when drawing.
namespace vokrin::controls {

constexpr int clBlack = 0x000000;
constexpr int clMaroon = 0x000080;
constexpr int clGreen = 0x008000;
constexpr int clOlive = 0x008080;
constexpr int clNavy = 0x800000;
constexpr int clPurple = 0x800080;
constexpr int clTeal = 0x808000;
constexpr int clGray = 0x808080;
constexpr int clSilver = 0xC0C0C0;
constexpr int clRed = 0x0000FF;
constexpr int clLime = 0x00FF00;
constexpr int clYellow = 0x00FFFF;
constexpr int clBlue = 0xFF0000;
constexpr int clFuchsia = 0xFF00FF;
constexpr int clAqua = 0xFFFF00;
constexpr int clWhite = 0xFFFFFF;

constexpr int clSystemColor = static_cast<int>(0xFF000000u);
// System indexes as the Windows colour table numbers them.
constexpr int clWindowFrame = clSystemColor | 6;
constexpr int clBtnFace = clSystemColor | 15;
constexpr int clBtnShadow = clSystemColor | 16;
constexpr int clBtnHighlight = clSystemColor | 20;

inline bool isSystemColor(int color)
{
    return (static_cast<unsigned>(color) & 0xFF000000u) == 0xFF000000u;
}

// The drawable colour of `color`; system colours come from `palette`.
QColor resolveColor(int color, const QPalette &palette);
// The 0x00BBGGRR value of an RGB colour (alpha dropped).
int colorValue(const QColor &color);
// The RGB part of an already resolved colour value, for comparisons "as RGB".
inline int rgbPart(int color)
{
    return color & 0x00FFFFFF;
}

} // namespace vokrin::controls

class QWidget;

namespace vokrin::controls {

// The colour a control takes when it follows its parent: the parent's `Color` property
// when it has one (our panels), else the parent's background.
QColor parentBackground(const QWidget *control);

} // namespace vokrin::controls
