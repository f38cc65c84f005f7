#include "controls/colors.h"

namespace vokrin::controls {

QColor resolveColor(int color, const QPalette &palette)
{
    if (isSystemColor(color)) {
        switch (color & 0xFF) {
        case 6:
            return palette.color(QPalette::Active, QPalette::Shadow);
        case 15:
            return palette.color(QPalette::Active, QPalette::Button);
        case 16:
            return palette.color(QPalette::Active, QPalette::Dark);
        case 20:
            return palette.color(QPalette::Active, QPalette::Light);
        default:
            return palette.color(QPalette::Active, QPalette::Window);
        }
    }
    const unsigned value = static_cast<unsigned>(color);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

int colorValue(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

} // namespace vokrin::controls

#include <QVariant>
#include <QWidget>

namespace vokrin::controls {

QColor parentBackground(const QWidget *control)
{
    const QWidget *parent = control->parentWidget();
    if (parent == nullptr)
        return control->palette().color(QPalette::Window);
    const QVariant color = parent->property("Color");
    if (color.isValid() && color.canConvert<int>())
        return resolveColor(color.toInt(), parent->palette());
    return parent->palette().color(parent->backgroundRole());
}

} // namespace vokrin::controls
