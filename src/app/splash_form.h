#pragma once

#include <QDialog>
#include <QImage>
#include <QTimer>

namespace vokrin::app {

// The splash window: a borderless 265 x 352 window centred on the screen with the
// program's picture in a lowered panel. Run modally, it closes itself with the OK result
// when its 2000 ms timer fires; closed by the system close command before that it ends
// with Rejected. Esc does not close it: only the close command may end the program here.
class TSplashForm : public QDialog
{
    Q_OBJECT
public:
    explicit TSplashForm(QWidget *parent = nullptr);

    static constexpr int kClientWidth = 265;
    static constexpr int kClientHeight = 352;
    static constexpr int kShowMs = 2000;
    // The picture box inside the panel (the panel's 4-px border and bevels around it).
    static constexpr int kPictureWidth = 253;
    static constexpr int kPictureHeight = 315;

    QTimer *Timer1 = nullptr;
    const QImage &picture() const { return m_picture; }
    // The box into which the picture is scaled, in client coordinates.
    QRect pictureBox() const;

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Timer1Timer();
    QImage m_picture;
};

} // namespace vokrin::app
