#pragma once

#include <QImage>
#include <QWidget>

namespace vokrin::display {

// A paint box with a surface of its own: drawing code paints into surface() at any time
// (the spectrum copies its frame there once per tick) and the widget shows it on the
// next repaint. The surface keeps the size it had when first made, as the spectrum's
// buffer does.
class TPaintBox : public QWidget
{
    Q_OBJECT
public:
    explicit TPaintBox(QWidget *parent = nullptr);

    QImage &surface();
    // Called after drawing into the surface.
    void surfaceChanged() { update(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_surface;
};

} // namespace vokrin::display
