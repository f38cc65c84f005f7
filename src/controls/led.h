#pragma once

#include "controls/bevel.h"

#include <QWidget>

namespace vokrin::controls {

// The LED. Its lit state is the property Enabled (not to be confused with QWidget's
// `enabled`): lit it shows LEDColor, unlit Color. A click raises Click and leaves the
// state alone; the window's handler toggles it. Setting the state raises nothing.
class TMMLED : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ isLit WRITE setLit)
    Q_PROPERTY(int LEDColor READ ledColor WRITE setLedColor)
    Q_PROPERTY(int Color READ color WRITE setColor)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)

public:
    explicit TMMLED(QWidget *parent = nullptr);

    bool isLit() const { return m_lit; }
    void setLit(bool lit);
    int ledColor() const { return m_ledColor; }
    void setLedColor(int color);
    int color() const { return m_color; }
    void setColor(int color);
    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    TMMBevel *Bevel() const { return m_bevel; }

    QSize sizeHint() const override { return {16, 8}; }

Q_SIGNALS:
    void Click(QObject *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void invalidate();

    TMMBevel *m_bevel;
    bool m_lit = true;
    int m_ledColor = vokrin::controls::clLime;
    int m_color = vokrin::controls::clGreen;
    QString m_caption;
    bool m_pressed = false;
    QImage m_cache;
};

} // namespace vokrin::controls
