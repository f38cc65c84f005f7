#include "controls/bitmap_list.h"

namespace vokrin::controls {

TMMBitmapList::TMMBitmapList(QObject *parent) : QObject(parent) {}

QImage TMMBitmapList::image(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return m_images[index];
}

int TMMBitmapList::add(const QImage &image)
{
    m_images.push_back(image);
    Q_EMIT Changed();
    return count() - 1;
}

void TMMBitmapList::replace(int index, const QImage &image)
{
    if (index < 0 || index >= count())
        return;
    m_images[index] = image;
    Q_EMIT Changed();
}

void TMMBitmapList::clear()
{
    m_images.clear();
    Q_EMIT Changed();
}

} // namespace vokrin::controls
