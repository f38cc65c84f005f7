#include "controls/scale.h"

#include <algorithm>

namespace vokrin::controls {

TMMScale::TMMScale(QObject *parent) : QObject(parent) {}

void TMMScale::changed()
{
    Q_EMIT Changed();
}

#define VOKRIN_SCALE_SETTER(Setter, member, Type, fix)                                             \
    void TMMScale::Setter(Type value)                                                              \
    {                                                                                              \
        value = fix;                                                                               \
        if (member == value)                                                                       \
            return;                                                                                \
        member = value;                                                                            \
        changed();                                                                                 \
    }

VOKRIN_SCALE_SETTER(setVisible, m_visible, bool, value)
VOKRIN_SCALE_SETTER(setColor, m_color, int, value)
VOKRIN_SCALE_SETTER(setStyle, m_style, ScaleStyle, value)
VOKRIN_SCALE_SETTER(setTickCount, m_tickCount, int, std::max(2, value))
VOKRIN_SCALE_SETTER(setEnlargeEvery, m_enlargeEvery, int, std::max(0, value))
VOKRIN_SCALE_SETTER(setSize, m_size, int, std::max(1, value))
VOKRIN_SCALE_SETTER(setOrigin, m_origin, ScaleOrigin, value)
VOKRIN_SCALE_SETTER(setConnect, m_connect, bool, value)

#undef VOKRIN_SCALE_SETTER

int TMMScale::extent() const
{
    int room = m_size;
    if (m_connect) {
        room += 1;
        if (m_style != stColor)
            room += 1;
    }
    return room;
}

} // namespace vokrin::controls
