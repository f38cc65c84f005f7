// The components of the main window: names, captions, hints, sizes, positions, colours,
// cursors and fonts. Behaviour is connected in connectHandlers().
#include "app/button_glyphs.h"
#include "app/directory_edit.h"
#include "app/main_form.h"

#include "controls/bitmap_list.h"
#include "controls/color_button.h"
#include "controls/colors.h"
#include "controls/led.h"
#include "controls/led_gauge.h"
#include "controls/led_panel.h"
#include "controls/panel_fill.h"
#include "controls/program_styles.h"
#include "controls/rx_label.h"
#include "controls/wheel.h"
#include "display/lyric_list.h"
#include "display/paint_frame.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

using vokrin::controls::TMMBevel;
using vokrin::controls::TMMColorButton;
using vokrin::controls::TMMLED;
using vokrin::controls::TMMLEDGauge;
using vokrin::controls::TMMLEDPanel;
using vokrin::controls::TMMPanel;
using vokrin::controls::TMMPanelFill;
using vokrin::controls::TMMWheel;
using vokrin::controls::TRxLabel;

namespace vokrin::app {

namespace {

using namespace vokrin::controls;

constexpr int kTopBlockHeight = 111;
constexpr int kBottomBlockHeight = 199;
constexpr int kButtonWidth = 28;
constexpr int kButtonHeight = 25;
// The five buttons of a row, left edges.
constexpr int kButtonColumns[5] = {8, 51, 94, 137, 180};

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QToolButton *flatButton(QWidget *parent, const char *name, int column, int top, const QString &hint)
{
    auto *button = named(new QToolButton(parent), name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(kButtonColumns[column], top, kButtonWidth, kButtonHeight);
    button->setToolTip(hint);
    return button;
}

TRxLabel *caption(QWidget *parent, const char *name, const QString &text, int x, int y)
{
    auto *label = named(new TRxLabel(text, parent), name);
    label->adjustSize();
    label->move(x, y);
    return label;
}

// A knob with its label above and its 3-digit readout below, centred on `centreX`.
void placeKnob(TMMWheel *knob, TMMLEDPanel *readout, TRxLabel *label, int centreX)
{
    knob->move(centreX - knob->width() / 2, 16);
    readout->move(centreX - readout->width() / 2, 62);
    label->move(centreX - label->width() / 2, 2);
}

} // namespace

void TMainForm::buildLayout()
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QStringLiteral("Вокрин"));
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPixelSize(11);
    setFont(windowFont);
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    setPalette(windowPalette);
    setAutoFillBackground(true);
    move(121, 129);
    resize(761, 577);

    auto *windowLayout = new QHBoxLayout(this);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    windowLayout->setSpacing(0);
    Splitter1 = named(new QSplitter(Qt::Horizontal, this), "Splitter1");
    Splitter1->setHandleWidth(2);
    Splitter1->setChildrenCollapsible(true);
    windowLayout->addWidget(Splitter1);

    // The lyric side: a black strip and the lyric list.
    Panel4 = named(new TMMPanelFill(Splitter1), "Panel4");
    Panel4->Bevel()->setNone();
    auto *lyricLayout = new QHBoxLayout(Panel4);
    lyricLayout->setContentsMargins(0, 0, 0, 0);
    lyricLayout->setSpacing(0);
    Panel5 = named(new TMMPanelFill(Panel4), "Panel5");
    Panel5->Bevel()->setNone();
    Panel5->setColor(clBlack);
    Panel5->setFixedWidth(48);
    lyricLayout->addWidget(Panel5);
    ListBox1 = named(new vokrin::display::TLyricListBox(Panel4), "ListBox1");
    lyricLayout->addWidget(ListBox1, 1);

    // The control panel.
    Panel2 = named(new TMMPanelFill(Splitter1), "Panel2");
    Panel2->Bevel()->setNone();
    Panel2->setMinimumWidth(0);
    auto *panelLayout = new QVBoxLayout(Panel2);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);
    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    Splitter1->setSizes({761 - 2 - kPanelWidth, kPanelWidth});

    // Top block: folder box, player and catalogue buttons.
    MMPanelFill2 = named(new TMMPanelFill(Panel2), "MMPanelFill2");
    styleProgramFillPanel(*MMPanelFill2);
    MMPanelFill2->setFixedHeight(kTopBlockHeight);
    panelLayout->addWidget(MMPanelFill2);
    RxLabel2 = caption(MMPanelFill2, "RxLabel2", QStringLiteral("Каталог фонограмм"), 8, 3);
    RxLabel2->setShadowPos(TRxLabel::spRightBottom);
    DirectoryEdit1 = named(new TDirectoryEdit(MMPanelFill2), "DirectoryEdit1");
    DirectoryEdit1->setGeometry(8, 19, 209, 21);

    SpeedButton9 =
        flatButton(MMPanelFill2, "SpeedButton9", 0, 48, QStringLiteral("Мастер создания проекта"));
    SpeedButton9->setIcon(buttonGlyph(ButtonGlyph::Wizard));
    ButtonPlay = flatButton(MMPanelFill2, "ButtonPlay", 1, 48, QStringLiteral("Воспроизведение"));
    ButtonPlay->setIcon(buttonGlyph(ButtonGlyph::Play));
    PauseBtn = flatButton(MMPanelFill2, "PauseBtn", 2, 48, QStringLiteral("Пауза"));
    PauseBtn->setIcon(buttonGlyph(ButtonGlyph::Pause));
    // Alone in its group and allowed up: the only button that stays down.
    PauseBtn->setCheckable(true);
    ButtonStop = flatButton(MMPanelFill2, "ButtonStop", 3, 48, QStringLiteral("Стоп"));
    ButtonStop->setIcon(buttonGlyph(ButtonGlyph::Stop));
    FragButton =
        flatButton(MMPanelFill2, "FragButton", 4, 48, QStringLiteral("Заменить фонограмму"));
    FragButton->setIcon(buttonGlyph(ButtonGlyph::Replace));

    SpeedButton8 =
        flatButton(MMPanelFill2, "SpeedButton8", 0, 80, QStringLiteral("Открыть список проектов"));
    SpeedButton8->setIcon(buttonGlyph(ButtonGlyph::OpenList));
    SpeedButton7 = flatButton(MMPanelFill2, "SpeedButton7", 1, 80,
                              QStringLiteral("Сохранить список проектов"));
    SpeedButton7->setIcon(buttonGlyph(ButtonGlyph::SaveList));
    SpeedButton1 =
        flatButton(MMPanelFill2, "SpeedButton1", 2, 80, QStringLiteral("Добавить проект в список"));
    SpeedButton1->setText(QStringLiteral("+"));
    SpeedButton2 =
        flatButton(MMPanelFill2, "SpeedButton2", 3, 80, QStringLiteral("Удалить проект из списка"));
    SpeedButton2->setText(QStringLiteral("-"));
    Plugins = flatButton(MMPanelFill2, "Plugins", 4, 80, QStringLiteral("Настройка Plugins"));
    Plugins->setIcon(buttonGlyph(ButtonGlyph::Plugins));
    for (QToolButton *hand : {ButtonPlay, PauseBtn, ButtonStop, FragButton, Plugins})
        hand->setCursor(Qt::PointingHandCursor);

    // Middle block: the project catalogue.
    ListView1 = named(new QTreeWidget(Panel2), "ListView1");
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({QStringLiteral("Название"), QStringLiteral("Файл проекта")});
    ListView1->header()->resizeSection(0, 150);
    ListView1->header()->resizeSection(1, 150);
    ListView1->header()->setSectionsClickable(false);
    ListView1->header()->setSectionsMovable(false);
    ListView1->header()->setStretchLastSection(false);
    ListView1->setRootIsDecorated(false);
    ListView1->setItemsExpandable(false);
    ListView1->setSortingEnabled(false);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setFrameShape(QFrame::NoFrame);
    ListView1->setAllColumnsShowFocus(true);
    {
        // The selection stays visible when the list loses the focus.
        QPalette listPalette = ListView1->palette();
        for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
            listPalette.setColor(QPalette::Inactive, role,
                                 listPalette.color(QPalette::Active, role));
        ListView1->setPalette(listPalette);
    }
    panelLayout->addWidget(ListView1, 1);

    // Bottom block: knobs, effect LEDs, font and colours, spectrum, file and progress.
    MMPanelFill1 = named(new TMMPanelFill(Panel2), "MMPanelFill1");
    styleProgramFillPanel(*MMPanelFill1);
    MMPanelFill1->setFixedHeight(kBottomBlockHeight);
    panelLayout->addWidget(MMPanelFill1);

    Volume = named(new TMMWheel(MMPanelFill1), "Volume");
    styleProgramKnob(*Volume, 0, 100, 0);
    Pan = named(new TMMWheel(MMPanelFill1), "Pan");
    styleProgramKnob(*Pan, -100, 100, 0);
    PredText = named(new TMMWheel(MMPanelFill1), "PredText");
    styleProgramKnob(*PredText, 0, 999, 0);
    MMLEDPanel1 = named(new TMMLEDPanel(MMPanelFill1), "MMLEDPanel1");
    styleProgramReadout(*MMLEDPanel1, 3, 0, 100, 0);
    MMLEDPanel2 = named(new TMMLEDPanel(MMPanelFill1), "MMLEDPanel2");
    styleProgramReadout(*MMLEDPanel2, 3, -99, 99, 0);
    MMLEDPanel4 = named(new TMMLEDPanel(MMPanelFill1), "MMLEDPanel4");
    styleProgramReadout(*MMLEDPanel4, 3, 0, 999, 0);
    RxLabel1 = caption(MMPanelFill1, "RxLabel1", QStringLiteral("громкость"), 0, 0);
    RxLabel3 = caption(MMPanelFill1, "RxLabel3", QStringLiteral("баланс"), 0, 0);
    RxLabel4 = caption(MMPanelFill1, "RxLabel4", QStringLiteral("предтекст"), 0, 0);
    placeKnob(Volume, MMLEDPanel1, RxLabel1, 28);
    placeKnob(Pan, MMLEDPanel2, RxLabel3, 78);
    placeKnob(PredText, MMLEDPanel4, RxLabel4, 128);

    // The effect LEDs, 2 x 2: eq and rever above, comp and echo below; all unlit.
    auto led = [this](const char *name, int x, int y) {
        auto *light = named(new TMMLED(MMPanelFill1), name);
        light->setLit(false);
        light->setGeometry(x, y, 16, 8);
        return light;
    };
    eq = led("eq", 170, 18);
    rever = led("rever", 198, 18);
    comp = led("comp", 170, 48);
    echo = led("echo", 198, 48);
    RxLabel5 = caption(MMPanelFill1, "RxLabel5", QStringLiteral("eq"), 0, 0);
    RxLabel6 = caption(MMPanelFill1, "RxLabel6", QStringLiteral("rever"), 0, 0);
    RxLabel7 = caption(MMPanelFill1, "RxLabel7", QStringLiteral("comp"), 0, 0);
    RxLabel8 = caption(MMPanelFill1, "RxLabel8", QStringLiteral("echo"), 0, 0);
    for (auto [label, light] : {std::pair{RxLabel5, eq}, std::pair{RxLabel6, rever},
                                std::pair{RxLabel7, comp}, std::pair{RxLabel8, echo}})
        label->move(light->x() + light->width() / 2 - label->width() / 2, light->y() - 14);

    // Lyric font and the two colours.
    RxLabel9 = caption(MMPanelFill1, "RxLabel9", QStringLiteral("шрифт"), 8, 80);
    SpeedButton4 = named(new QToolButton(MMPanelFill1), "SpeedButton4");
    SpeedButton4->setGeometry(8, 93, 98, 21);
    SpeedButton4->setFocusPolicy(Qt::NoFocus);
    RxLabel10 = caption(MMPanelFill1, "RxLabel10", QStringLiteral("подсказка"), 114, 80);
    MMColorButton2 = named(new TMMColorButton(MMPanelFill1), "MMColorButton2");
    MMColorButton2->setGeometry(114, 93, 48, 21);
    // With nothing stored the sung line is yellow: a hint as black as the background would
    // make it vanish. A stored colour, black included, replaces this at the restore.
    MMColorButton2->setValue(kFirstStartHintColor);
    ListBox1->setTag(kFirstStartHintColor);
    RxLabel11 = caption(MMPanelFill1, "RxLabel11", QStringLiteral("фон"), 170, 80);
    MMColorButton3 = named(new TMMColorButton(MMPanelFill1), "MMColorButton3");
    MMColorButton3->setGeometry(170, 93, 46, 21);

    // The spectrum area.
    Panel6 = named(new TMMPanel(MMPanelFill1), "Panel6");
    Panel6->Bevel()->setBevelOuter(TMMBevel::bvLowered);
    Panel6->setGeometry(19, 111, 185, 62);
    PaintFrame = named(new vokrin::display::TPaintBox(Panel6), "PaintFrame");
    PaintFrame->setGeometry(5, 5, 175, 52);

    LabelFile = named(new QLabel(MMPanelFill1), "LabelFile");
    // The track's path as it is: a folder named "<b>" is a name, not markup.
    LabelFile->setTextFormat(Qt::PlainText);
    LabelFile->setGeometry(5, 174, 214, 11);
    MMLEDGauge1 = named(new TMMLEDGauge(MMPanelFill1), "MMLEDGauge1");
    styleProgramGauge(*MMLEDGauge1);
    MMLEDGauge1->setGeometry(7, 185, 210, 10);

    // The render timer runs from creation; before a stream plays its ticks do nothing.
    TimerRender = new QTimer(this);
    TimerRender->setObjectName(QStringLiteral("TimerRender"));
    TimerRender->setTimerType(Qt::PreciseTimer);
    TimerRender->setInterval(33);
    TimerRender->start();

    OpenDialog1.filter = QStringLiteral("Lyrano files|*.lyp");
    OpenDialog1.defaultSuffix = QStringLiteral("lyp");
    SaveDialog1.filter = QStringLiteral("Lyrano list files|*.lyl");
    SaveDialog1.defaultSuffix = QStringLiteral("lyl");
    SaveDialog1.overwritePrompt = false;
    OpenDialog2.filter = QStringLiteral("Lyrano list files|*.lyl");
    OpenDialog2.defaultSuffix = QStringLiteral("lyl");
    OpenSound.filter = QStringLiteral("Sound files|*.WAV;*.MP3;*.MP2;*.MP1;*.OGG");
    OpenText.filter = QStringLiteral("Text files|*.txt");
}

} // namespace vokrin::app
