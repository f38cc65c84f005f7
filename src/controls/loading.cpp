#include "controls/loading.h"

#include <QVariant>
#include <QWidget>

namespace vokrin::controls {

namespace {
constexpr const char *kBuildingMark = "_vokrin_building";
}

void setBuilding(QWidget *widget, bool building)
{
    if (widget != nullptr)
        widget->setProperty(kBuildingMark, building ? QVariant(true) : QVariant());
}

bool isBeingBuilt(const QWidget *widget)
{
    for (const QWidget *w = widget; w != nullptr; w = w->parentWidget()) {
        if (w->property(kBuildingMark).toBool())
            return true;
    }
    return false;
}

WindowBuildGuard::WindowBuildGuard(QWidget *window)
    : m_window(window), m_wasBuilding(window != nullptr && window->property(kBuildingMark).toBool())
{
    setBuilding(m_window, true);
}

WindowBuildGuard::~WindowBuildGuard()
{
    setBuilding(m_window, m_wasBuilding);
}

} // namespace vokrin::controls
