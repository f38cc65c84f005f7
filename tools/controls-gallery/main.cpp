// Shows the instrument-panel controls the way the program's windows use them: the main
// window's control block (three knobs with readouts, the effect LEDs, two colour
// buttons, the progress gauge) and the sound parameters window's equaliser and echo
// panels. With --grab FILE the window is drawn into FILE and the program ends.

#include "controls/bitmap_list.h"
#include "controls/bitmap_slider.h"
#include "controls/color_button.h"
#include "controls/led.h"
#include "controls/led_gauge.h"
#include "controls/led_panel.h"
#include "controls/loading.h"
#include "controls/panel_fill.h"
#include "controls/program_styles.h"
#include "controls/rx_label.h"
#include "controls/switch.h"
#include "controls/wheel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

using vokrin::controls::TMMBevel;
using vokrin::controls::TMMBitmapList;
using vokrin::controls::TMMBitmapSlider;
using vokrin::controls::TMMColorButton;
using vokrin::controls::TMMLED;
using vokrin::controls::TMMLEDGauge;
using vokrin::controls::TMMLEDPanel;
using vokrin::controls::TMMPanel;
using vokrin::controls::TMMPanelFill;
using vokrin::controls::TMMSwitch;
using vokrin::controls::TMMWheel;
using vokrin::controls::TRxLabel;

using namespace vokrin::controls;

namespace {

constexpr int kPanelColour = 14867160; // 0xE2DAD8

TRxLabel *caption(QWidget *parent, const QString &text, int x, int y, int width = 0)
{
    auto *label = new TRxLabel(text, parent);
    label->move(x, y);
    if (width > 0) {
        label->setFixedWidth(width);
        label->setAlignment(Qt::AlignHCenter);
    } else {
        label->adjustSize();
    }
    return label;
}

// A knob with its caption above and its readout below, centred in a 56-px column.
TMMWheel *knobWithReadout(QWidget *parent, const QString &name, int x, int y, int minValue,
                          int maxValue, int value, int digits, int readoutMin, int readoutMax)
{
    caption(parent, name, x, y, 56);
    auto *knob = new TMMWheel(parent);
    styleProgramKnob(*knob, minValue, maxValue, value);
    knob->move(x + (56 - knob->width()) / 2, y + 14);
    auto *readout = new TMMLEDPanel(parent);
    styleProgramReadout(*readout, digits, readoutMin, readoutMax, value);
    readout->move(x + (56 - readout->width()) / 2, y + 60);
    QObject::connect(knob, &TMMWheel::Change, readout,
                     [knob, readout](QObject *) { readout->setValue(knob->value()); });
    return knob;
}

TMMLED *ledWithCaption(QWidget *parent, const QString &name, int x, int y, bool lit)
{
    auto *led = new TMMLED(parent);
    led->move(x, y);
    led->setLit(lit);
    QObject::connect(led, &TMMLED::Click, led, [led](QObject *) { led->setLit(!led->isLit()); });
    caption(parent, name, x + 20, y - 4);
    return led;
}

// The bottom block of the main window's control panel.
QWidget *mainWindowBlock(QWidget *parent)
{
    auto *block = new TMMPanelFill(parent);
    styleProgramFillPanel(*block);
    block->resize(224, 199);

    knobWithReadout(block, QStringLiteral("громкость"), 4, 2, 0, 100, 75, 3, 0, 100);
    knobWithReadout(block, QStringLiteral("баланс"), 60, 2, -100, 100, -5, 3, -99, 99);
    knobWithReadout(block, QStringLiteral("предтекст"), 116, 2, 0, 999, 300, 3, 0, 999);

    ledWithCaption(block, QStringLiteral("eq"), 176, 16, true);
    ledWithCaption(block, QStringLiteral("rever"), 176, 32, false);
    ledWithCaption(block, QStringLiteral("comp"), 176, 48, true);
    ledWithCaption(block, QStringLiteral("echo"), 176, 64, false);

    caption(block, QStringLiteral("шрифт"), 8, 78);
    auto *font = new QPushButton(QStringLiteral("Courier New"), block);
    font->setGeometry(8, 90, 98, 21);
    caption(block, QStringLiteral("подсказка"), 112, 78);
    auto *hint = new TMMColorButton(block);
    hint->move(116, 90);
    hint->setValue(clYellow);
    caption(block, QStringLiteral("фон"), 172, 78);
    auto *background = new TMMColorButton(block);
    background->move(168, 90);
    background->setValue(0x402000);

    auto *spectrumFrame = new TMMPanel(block);
    spectrumFrame->setGeometry(19, 113, 185, 58);
    spectrumFrame->setColor(clBlack);
    spectrumFrame->Bevel()->setBevelOuter(TMMBevel::bvLowered);

    auto *file = new QLabel(QStringLiteral("/home/user/karaoke/song.mp3"), block);
    file->setGeometry(7, 172, 214, 13);

    auto *gauge = new TMMLEDGauge(block);
    styleProgramGauge(*gauge);
    gauge->move(7, 185);
    gauge->setProgress(50);
    return block;
}

// The sound parameters window's equaliser and echo panels.
QWidget *parametersBlock(QWidget *parent, TMMBitmapList *sliderPictures)
{
    auto *block = new TMMPanelFill(parent);
    block->setColor(kPanelColour);
    block->Bevel()->setNone();
    block->resize(396, 199);

    ledWithCaption(block, QStringLiteral("Эквалайзер"), 4, 6, true);
    const int positions[10] = {-15, -10, -5, 0, 5, 10, 15, 3, -3, 8};
    const char *bands[10] = {"80", "170", "310", "600", "1k", "3k", "6k", "12k", "14k", "16k"};
    for (int band = 0; band < 10; ++band) {
        auto *slider = new TMMBitmapSlider(block);
        styleEqualiserSlider(*slider, *sliderPictures, band + 1);
        slider->move(3 + 19 * band, 24);
        slider->setPosition(positions[band]);
        auto *label = new QLabel(QString::fromLatin1(bands[band]), block);
        QFont small = label->font();
        small.setPixelSize(9);
        label->setFont(small);
        label->setAlignment(Qt::AlignHCenter);
        label->setGeometry(3 + 19 * band - 2, 106, 23, 12);
    }

    ledWithCaption(block, QStringLiteral("Эхо"), 204, 6, false);
    knobWithReadout(block, QStringLiteral("mix"), 200, 22, 0, 100, 40, 3, 0, 100);
    knobWithReadout(block, QStringLiteral("feedback"), 256, 22, 0, 100, 25, 3, 0, 100);
    knobWithReadout(block, QStringLiteral("left delay"), 200, 100, 1, 2000, 333, 4, 1, 2000);
    knobWithReadout(block, QStringLiteral("right delay"), 256, 100, 1, 2000, 500, 4, 1, 2000);

    auto *panDelay = new TMMSwitch(block);
    styleProgramSwitch(*panDelay);
    panDelay->move(330, 50);
    panDelay->setPosition(1);
    caption(block, QStringLiteral("off"), 354, 47);
    caption(block, QStringLiteral("on"), 354, 61);
    caption(block, QStringLiteral("pan delay"), 318, 78);
    return block;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser options;
    options.addHelpOption();
    options.addOption({QStringLiteral("grab"), QStringLiteral("Draw the window into <file>."),
                       QStringLiteral("file")});
    options.process(app);
    // The program's windows use an 11-pixel sans font.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    QApplication::setFont(font);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Vokrin controls"));
    {
        WindowBuildGuard building(&window);
        QPalette grey = window.palette();
        grey.setColor(QPalette::Window, QColor(128, 128, 128));
        window.setPalette(grey);
        window.setAutoFillBackground(true);
        auto *pictures = new TMMBitmapList(&window);
        fillSliderBitmapList(*pictures);
        mainWindowBlock(&window)->move(8, 8);
        parametersBlock(&window, pictures)->move(240, 8);
        window.resize(644, 215);
    }
    window.show();

    const QString grabFile = options.value(QStringLiteral("grab"));
    if (!grabFile.isEmpty()) {
        QTimer::singleShot(200, &window, [&window, grabFile] {
            const bool saved = window.grab().save(grabFile);
            if (!saved)
                std::fprintf(stderr, "could not write %s\n", qPrintable(grabFile));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
