#pragma once

#include "controls/colors.h"

#include <QImage>
#include <QList>
#include <QWidget>

namespace vokrin::controls {

class TMMColorPopUp;

// A push button showing a colour swatch and a down arrow. A click or Space opens the
// drop-down palette (TMMColorPopUp) under the button; choosing a colour there assigns
// Value and raises Change. The pop-up's button ("&Other..." by default) opens the
// colour dialog through the platform layer.
class TMMColorButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Value READ value WRITE setValue)
    Q_PROPERTY(QString ButtonCaption READ buttonCaption WRITE setButtonCaption)
    Q_PROPERTY(bool ShowCurrent READ showCurrent WRITE setShowCurrent)
    Q_PROPERTY(int FocusColor READ focusColor WRITE setFocusColor)
    Q_PROPERTY(int NumGlyphs READ numGlyphs WRITE setNumGlyphs)

public:
    explicit TMMColorButton(QWidget *parent = nullptr);
    ~TMMColorButton() override;

    // The chosen colour, 0x00BBGGRR.
    int value() const { return m_value; }
    void setValue(int color);
    // An empty caption gives "&Other...".
    QString buttonCaption() const { return m_buttonCaption; }
    void setButtonCaption(const QString &caption);
    bool showCurrent() const { return m_showCurrent; }
    void setShowCurrent(bool show);
    int focusColor() const { return m_focusColor; }
    void setFocusColor(int color);
    QImage glyph() const { return m_glyph; }
    // A null image restores the built-in 5x5 arrow.
    void setGlyph(const QImage &glyph);
    int numGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int count);
    // The custom colours offered by the colour dialog (0x00BBGGRR values).
    QList<int> customColors() const { return m_customColors; }
    void setCustomColors(const QList<int> &colors);

    // Opens the pop-up as a click does; it is created on first use and kept.
    void openPopUp();
    TMMColorPopUp *popUp() const { return m_popUp; }
    bool isPopUpOpen() const;

    QSize sizeHint() const override { return {43, 21}; }

Q_SIGNALS:
    void Change(QObject *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class TMMColorPopUp;
    void popUpClosed(bool assign, int color);
    void chooseOtherColor();
    void invalidate();
    void paintFace(QPainter &painter);

    int m_value = vokrin::controls::clBlack;
    QString m_buttonCaption;
    bool m_showCurrent = false;
    int m_focusColor = vokrin::controls::clBlack;
    QImage m_glyph;
    int m_numGlyphs = 1;
    QList<int> m_customColors;
    bool m_down = false;
    TMMColorPopUp *m_popUp = nullptr;
    QImage m_cache;
};

} // namespace vokrin::controls
