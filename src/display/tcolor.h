#pragma once

#include <QColor>
#include <QRgb>
#include <cstdint>

namespace vokrin::display {

// Colours are kept as 32-bit values laid out 0x00BBGGRR (red in the lowest byte), the
// form the settings file stores.
inline QRgb rgbFromTColor(std::int32_t color)
{
    const auto value = static_cast<std::uint32_t>(color);
    return qRgb(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

inline std::int32_t tcolorFromColor(const QColor &color)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(color.red()) |
                                     (static_cast<std::uint32_t>(color.green()) << 8) |
                                     (static_cast<std::uint32_t>(color.blue()) << 16));
}

} // namespace vokrin::display
