// Which control, key and mouse gesture runs which handler of the main window.
#include "app/main_form.h"

#include "app/application_info.h"
#include "app/key_text.h"
#include "controls/color_button.h"
#include "controls/led.h"
#include "controls/wheel.h"
#include "display/lyric_list.h"
#include "platform/window_wheel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

using vokrin::controls::TMMColorButton;
using vokrin::controls::TMMLED;
using vokrin::controls::TMMWheel;

namespace vokrin::app {

namespace {

// The effect keys are the physical letter keys, whatever the layout: on the Russian
// layout the same keys carry С, У, Й and К.
bool isLetterKey(int key, char latin, char16_t cyrillic)
{
    return key == latin || key == cyrillic;
}

bool isTextBox(const QWidget *widget)
{
    return qobject_cast<const QLineEdit *>(widget) != nullptr ||
           qobject_cast<const QPlainTextEdit *>(widget) != nullptr ||
           qobject_cast<const QTextEdit *>(widget) != nullptr;
}

} // namespace

void TMainForm::connectHandlers()
{
    connect(ButtonPlay, &QToolButton::clicked, this, &TMainForm::ButtonPlayClick);
    connect(PauseBtn, &QToolButton::clicked, this, &TMainForm::PauseBtnClick);
    connect(ButtonStop, &QToolButton::clicked, this, &TMainForm::ButtonStopClick);
    connect(FragButton, &QToolButton::clicked, this, &TMainForm::FragButtonClick);
    connect(SpeedButton1, &QToolButton::clicked, this, &TMainForm::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TMainForm::SpeedButton2Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &TMainForm::SpeedButton7Click);
    connect(SpeedButton8, &QToolButton::clicked, this, &TMainForm::SpeedButton8Click);
    connect(SpeedButton9, &QToolButton::clicked, this, &TMainForm::SpeedButton9Click);
    connect(Volume, &TMMWheel::Change, this, &TMainForm::VolumeChange);
    connect(Pan, &TMMWheel::Change, this, &TMainForm::PanChange);
    connect(PredText, &TMMWheel::Change, this, &TMainForm::PredTextChange);
    connect(Plugins, &QToolButton::clicked, this, &TMainForm::PluginsClick);
    connect(SpeedButton4, &QToolButton::clicked, this, &TMainForm::SpeedButton4Click);
    connect(MMColorButton2, &TMMColorButton::Change, this, &TMainForm::MMColorButton2Change);
    connect(MMColorButton3, &TMMColorButton::Change, this, &TMainForm::MMColorButton3Change);
    connect(TimerRender, &QTimer::timeout, this, &TMainForm::TimerRenderTimer);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { ListBox1DblClick(ListBox1->row(item)); });
    connect(eq, &TMMLED::Click, this, &TMainForm::eqClick);
    connect(rever, &TMMLED::Click, this, &TMainForm::reverClick);
    connect(comp, &TMMLED::Click, this, &TMainForm::compClick);
    connect(echo, &TMMLED::Click, this, &TMainForm::echoClick);
    // The window sees every key and click before the control it is meant for, through
    // this one filter on the whole application. A second filter on a control of its own
    // would see the same event once more and run its handler twice.
    qApp->installEventFilter(this);
    // Whole wheel notches (120 units each), wherever in the window the wheel turns.
    new vokrin::platform::WindowWheelWatcher(this, [this](int notch) {
        if (notch > 0)
            FormMouseWheelUp();
        else
            FormMouseWheelDown();
    });
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress) {
        auto *widget = qobject_cast<QWidget *>(watched);
        // A key goes first to this window's focused control (or the window); handle it
        // once, on that first delivery, and never consume it. The window's own focus
        // widget, not the application's: right after a dialog closes, the window gets
        // keys before the toolkit has made it active again, and the application then
        // has no focus widget yet.
        QWidget *first = focusWidget() ? focusWidget() : this;
        const auto &key = *static_cast<QKeyEvent *>(event);
        // A key that types into a text box is the box's alone: typing a folder name must
        // not switch effects or change the volume on the way.
        if (widget != nullptr && widget == first && widget->window() == this &&
            !(isTextBox(widget) && typesText(key)))
            FormKeyDown(key);
        if (watched == ListView1)
            return ListView1KeyPress(key);
        return false;
    }
    const bool mouseButton =
        type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick;
    if (mouseButton && watched == ListView1->viewport() &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (type == QEvent::MouseButtonRelease)
            ListBox2Click();
        else
            ListBox2DblClick();
    }
    return false;
}

void TMainForm::FormKeyDown(const QKeyEvent &event)
{
    const int key = event.key();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ButtonPlayClick();
        return;
    case Qt::Key_Escape: {
        const QList<int> sizes = Splitter1->sizes();
        const int total = sizes.value(0) + sizes.value(1);
        const int panel = sizes.value(1) == 0 ? kPanelWidth : 0;
        Splitter1->setSizes({total - panel, panel});
        return;
    }
    case Qt::Key_Space:
        PauseBtn->click();
        return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        Volume->setValue(Volume->value() + 1);
        return;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        Volume->setValue(Volume->value() - 1);
        return;
    case Qt::Key_F1:
        vokrin::platform::platform().showHelp(this, applicationInfo().helpFile, 0);
        return;
    case Qt::Key_F11:
        ToggleSingerScreen();
        return;
    default:
        break;
    }
    if (isLetterKey(key, 'C', u'С'))
        compClick();
    else if (isLetterKey(key, 'E', u'У'))
        echoClick();
    else if (isLetterKey(key, 'Q', u'Й'))
        eqClick();
    else if (isLetterKey(key, 'R', u'К'))
        reverClick();
}

bool TMainForm::ListView1KeyPress(const QKeyEvent &event)
{
    // Typed characters never move the catalogue's selection by incremental search;
    // navigation keys type nothing and keep working.
    return typesText(event);
}

void TMainForm::FormMouseWheelUp()
{
    stepFocusedKnob(+1);
}

void TMainForm::FormMouseWheelDown()
{
    stepFocusedKnob(-1);
}

void TMainForm::stepFocusedKnob(int step)
{
    QWidget *focused = QApplication::focusWidget();
    for (TMMWheel *knob : {Volume, Pan, PredText}) {
        if (focused == knob) {
            knob->setValue(knob->value() + step);
            return;
        }
    }
}

} // namespace vokrin::app
