#include "app/key_text.h"

namespace vokrin::app {

bool typesText(QStringView text)
{
    return !text.isEmpty() && text.front().isPrint();
}

int WheelNotches::add(int angleDelta)
{
    if ((angleDelta > 0 && m_units < 0) || (angleDelta < 0 && m_units > 0))
        m_units = 0;
    m_units += angleDelta;
    const int notches = m_units / kUnitsPerNotch;
    m_units -= notches * kUnitsPerNotch;
    return notches;
}

} // namespace vokrin::app
