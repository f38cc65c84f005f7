#pragma once

#include <QImage>
#include <QObject>
#include <QVector>

namespace vokrin::controls {

// A list of pictures shared by several controls, which refer to a picture by index.
class TMMBitmapList : public QObject
{
    Q_OBJECT

public:
    explicit TMMBitmapList(QObject *parent = nullptr);

    int count() const { return static_cast<int>(m_images.size()); }
    // Null for an index outside the list.
    QImage image(int index) const;
    int add(const QImage &image);
    void replace(int index, const QImage &image);
    void clear();

Q_SIGNALS:
    // The pictures changed: the controls using the list redraw.
    void Changed();

private:
    QVector<QImage> m_images;
};

} // namespace vokrin::controls
