#include "app/splash_form.h"

#include "app/splash_picture.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace vokrin::app {

QRect fitCentred(QSize pictureSize, QRect box)
{
    if (pictureSize.isEmpty() || box.isEmpty())
        return QRect(box.center(), QSize(0, 0));
    const QSize scaled = pictureSize.scaled(box.size(), Qt::KeepAspectRatio);
    return QRect(box.x() + (box.width() - scaled.width()) / 2,
                 box.y() + (box.height() - scaled.height()) / 2, scaled.width(), scaled.height());
}

TSplashForm::TSplashForm(QWidget *parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setWindowTitle(QStringLiteral("Вокрин"));
    setFixedSize(kClientWidth, kClientHeight);
    setModal(true);
    m_picture.loadFromData(splashJpeg(), "JPEG");

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kShowMs);
    connect(Timer1, &QTimer::timeout, this, &TSplashForm::Timer1Timer);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - kClientWidth) / 2,
             area.y() + (area.height() - kClientHeight) / 2);
    }
}

QRect TSplashForm::pictureBox() const
{
    return QRect((kClientWidth - kPictureWidth) / 2, (kClientHeight - kPictureHeight) / 2,
                 kPictureWidth, kPictureHeight);
}

void TSplashForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    Timer1->start();
}

void TSplashForm::keyPressEvent(QKeyEvent *event)
{
    // A dialog rejects itself on Esc; the splash waits for its timer instead.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TSplashForm::Timer1Timer()
{
    accept();
}

void TSplashForm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette pal = palette();
    const QColor face = pal.color(QPalette::Button);
    const QColor light = pal.color(QPalette::Light);
    const QColor shadow = pal.color(QPalette::Dark);
    QRect r = rect();
    p.fillRect(r, face);
    // Outer raised bevel, the 4-px border in the face colour, then the lowered inner bevel.
    auto bevel = [&p](QRect box, const QColor &topLeft, const QColor &bottomRight) {
        p.setPen(topLeft);
        p.drawLine(box.topLeft(), box.topRight());
        p.drawLine(box.topLeft(), box.bottomLeft());
        p.setPen(bottomRight);
        p.drawLine(box.bottomLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomRight());
    };
    bevel(r, light, shadow);
    r.adjust(5, 5, -5, -5);
    bevel(r, shadow, light);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(fitCentred(m_picture.size(), pictureBox()), m_picture);
}

} // namespace vokrin::app
