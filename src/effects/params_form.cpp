#include "params_form.h"

#include "controls/bitmap_list.h"
#include "controls/bitmap_slider.h"
#include "controls/led.h"
#include "controls/led_panel.h"
#include "controls/loading.h"
#include "controls/program_styles.h"
#include "controls/switch.h"
#include "controls/wheel.h"
#include "platform/window_wheel.h"
#include "settings/form_storage.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

using vokrin::controls::TMMBitmapList;
using vokrin::controls::TMMBitmapSlider;
using vokrin::controls::TMMLED;
using vokrin::controls::TMMLEDPanel;
using vokrin::controls::TMMSwitch;
using vokrin::controls::TMMWheel;
using vokrin::settings::TFormStorage;

namespace vokrin::effects {

namespace {

constexpr int kKnobSize = 45;
const char *const kBandCaptions[10] = {"80", "170", "310", "600", "1k",
                                       "3k", "6k",  "12k", "14k", "16k"};

QFrame *makePanel(QWidget *window, const char *name, int x, int y, int w, int h)
{
    auto *panel = new QFrame(window);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setGeometry(x, y, w, h);
    return panel;
}

QLabel *makeCaption(QWidget *parent, const QString &text, int x, int y, int w, int pixelSize = 9)
{
    auto *label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    // A caption wider than its knob stays inside the panel.
    const int left = std::clamp(x, 1, std::max(1, parent->width() - w - 1));
    label->setGeometry(left, y, w, pixelSize + 4);
    return label;
}

} // namespace

const QStringList &TParamsForm::storedProps()
{
    static const QStringList props = {
        "rever.Enabled",
        "eq.Enabled",
        "echo.Enabled",
        "comp.Enabled",
        "CompAttack.Value",
        "CompGain.Value",
        "CompPredelay.Value",
        "CompRatio.Value",
        "CompRelease.Value",
        "CompThreshold.Value",
        "ReverGain.Value",
        "ReverMix.Value",
        "ReverTime.Value",
        "MMBitmapSlider1.Position",
        "MMBitmapSlider10.Position",
        "MMBitmapSlider2.Position",
        "MMBitmapSlider3.Position",
        "MMBitmapSlider4.Position",
        "MMBitmapSlider5.Position",
        "MMBitmapSlider6.Position",
        "MMBitmapSlider7.Position",
        "MMBitmapSlider8.Position",
        "MMBitmapSlider9.Position",
        "EchoFeedback.Value",
        "EchoLeftDelay.Value",
        "EchoMix.Value",
        "EchoPanDelay.Position",
        "EchoRightDelay.Value",
    };
    return props;
}

TParamsForm::TParamsForm(QWidget *owner, vokrin::effects::ParamsFormHost &host)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint), m_host(host)
{
    vokrin::controls::WindowBuildGuard building(this);
    setObjectName(QStringLiteral("ParamsForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Параметры звучания"));
    setGeometry(329, 189, 406, 350);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(216, 218, 226));
    setPalette(p);
    setAutoFillBackground(true);

    MMBitmapList2 = new TMMBitmapList(this);
    MMBitmapList2->setObjectName(QStringLiteral("MMBitmapList2"));
    vokrin::controls::fillSliderBitmapList(*MMBitmapList2);

    buildHeader(eq, "eq", QStringLiteral("Эквалайзер"), 0, 0);
    buildHeader(rever, "rever", QStringLiteral("Реверберация"), 200, 0);
    buildHeader(comp, "comp", QStringLiteral("Компрессор"), 0, 128);
    buildHeader(echo, "echo", QStringLiteral("Эхо"), 200, 128);
    buildEqualiserPanel();
    buildReverbPanel();
    buildCompressorPanel();
    buildEchoPanel();

    connect(eq, &TMMLED::Click, this, [this] { eqClick(); });
    connect(rever, &TMMLED::Click, this, [this] { reverClick(); });
    connect(comp, &TMMLED::Click, this, [this] { compClick(); });
    connect(echo, &TMMLED::Click, this, [this] { echoClick(); });

    new vokrin::platform::WindowWheelWatcher(this, [this](int notch) {
        if (notch > 0)
            FormMouseWheelUp();
        else
            FormMouseWheelDown();
    });

    FormStorage1 = new TFormStorage(this);
    FormStorage1->setObjectName(QStringLiteral("FormStorage1"));
    FormStorage1->setStoredProps(storedProps());
}

TParamsForm::~TParamsForm()
{
    FormStorage1->windowDestroying();
}

void TParamsForm::buildHeader(TMMLED *&led, const char *name, const QString &title, int x, int y)
{
    led = new TMMLED(this);
    led->setObjectName(QString::fromLatin1(name));
    led->setLit(false);
    led->setGeometry(x + 4, y + 4, 16, 8);
    auto *header = new QLabel(this);
    header->setTextFormat(Qt::PlainText);
    header->setText(title);
    header->setGeometry(x + 24, y + 1, 160, 14);
}

void TParamsForm::buildEqualiserPanel()
{
    QFrame *panel = makePanel(this, "Panel1", 0, 16, 196, 110);
    for (int band = 1; band <= 10; ++band) {
        auto *slider = new TMMBitmapSlider(panel);
        slider->setObjectName(QStringLiteral("MMBitmapSlider%1").arg(band));
        vokrin::controls::styleEqualiserSlider(*slider, *MMBitmapList2, band);
        const int x = 3 + 19 * (band - 1);
        slider->setGeometry(x, 4, 19, 81);
        connect(slider, &TMMBitmapSlider::Change, this, &TParamsForm::EqChange);
        MMBitmapSliders[static_cast<size_t>(band - 1)] = slider;
        makeCaption(panel, QString::fromLatin1(kBandCaptions[band - 1]), x - 2, 86, 23, 8);
    }
    reset_eq = addResetButton(panel, "reset_eq");
    connect(reset_eq, &QPushButton::clicked, this, &TParamsForm::reset_eqClick);
}

TMMWheel *TParamsForm::addKnob(QWidget *panel, const char *name, int x, int y, int minValue,
                               int maxValue, int value, int readoutIndex, int digits,
                               int readoutMin, int readoutMax, const QString &caption)
{
    auto *knob = new TMMWheel(panel);
    knob->setObjectName(QString::fromLatin1(name));
    vokrin::controls::styleProgramKnob(*knob, minValue, maxValue, value);
    knob->move(x, y);

    auto *readout = new TMMLEDPanel(panel);
    readout->setObjectName(QStringLiteral("MMLEDPanel%1").arg(readoutIndex));
    // The reverb gain's readout shows minus the knob, starting at 0.
    const int shown = readoutIndex == 3 ? 0 : value;
    vokrin::controls::styleProgramReadout(*readout, digits, readoutMin, readoutMax, shown);
    const QSize readoutSize = readout->sizeHint();
    readout->setGeometry(x + (kKnobSize - readoutSize.width()) / 2, y + kKnobSize + 1,
                         readoutSize.width(), readoutSize.height());
    MMLEDPanels[static_cast<size_t>(readoutIndex)] = readout;

    makeCaption(panel, caption, x - 12, y + kKnobSize + readoutSize.height() + 2, kKnobSize + 24);
    return knob;
}

QPushButton *TParamsForm::addResetButton(QWidget *panel, const char *name)
{
    auto *button = new QPushButton(QStringLiteral("сброс"), panel);
    button->setObjectName(QString::fromLatin1(name));
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    QFont font = button->font();
    font.setPixelSize(10);
    button->setFont(font);
    button->setGeometry(2, panel->height() - 18, 40, 16);
    return button;
}

void TParamsForm::buildReverbPanel()
{
    QFrame *panel = makePanel(this, "Panel2", 200, 16, 196, 110);
    ReverGain = addKnob(panel, "ReverGain", 8, 2, 0, 96, 0, 3, 3, -96, 100, "gain (dB)");
    ReverMix = addKnob(panel, "ReverMix", 75, 2, -96, 0, -96, 1, 3, -96, 100, "mix (dB)");
    ReverTime = addKnob(panel, "ReverTime", 142, 2, 0, 3000, 1000, 2, 4, 0, 3000, "time (ms)");
    connect(ReverGain, &TMMWheel::Change, this, &TParamsForm::ReverGainChange);
    connect(ReverMix, &TMMWheel::Change, this, &TParamsForm::ReverMixChange);
    connect(ReverTime, &TMMWheel::Change, this, &TParamsForm::ReverTimeChange);
    reset_rev = addResetButton(panel, "reset_rev");
    connect(reset_rev, &QPushButton::clicked, this, &TParamsForm::reset_revClick);
}

void TParamsForm::buildCompressorPanel()
{
    QFrame *panel = makePanel(this, "Panel3", 0, 144, 196, 177);
    CompGain = addKnob(panel, "CompGain", 8, 2, -60, 60, 0, 4, 3, -60, 60, "gain (dB)");
    CompAttack = addKnob(panel, "CompAttack", 75, 2, 0, 500, 0, 5, 3, 0, 500, "attack (ms)");
    CompRelease =
        addKnob(panel, "CompRelease", 142, 2, 50, 3000, 50, 6, 4, 50, 3000, "release (ms)");
    CompThreshold =
        addKnob(panel, "CompThreshold", 8, 78, -60, 0, -10, 7, 3, -60, 100, "threshold (dB)");
    CompRatio = addKnob(panel, "CompRatio", 75, 78, 1, 100, 10, 8, 3, 1, 100, "ratio");
    CompPredelay = addKnob(panel, "CompPredelay", 142, 78, 0, 4, 0, 9, 1, 0, 4, "predelay (ms)");
    connect(CompGain, &TMMWheel::Change, this, &TParamsForm::CompGainChange);
    connect(CompAttack, &TMMWheel::Change, this, &TParamsForm::CompAttackChange);
    connect(CompRelease, &TMMWheel::Change, this, &TParamsForm::CompReleaseChange);
    connect(CompThreshold, &TMMWheel::Change, this, &TParamsForm::CompThresholdChange);
    connect(CompRatio, &TMMWheel::Change, this, &TParamsForm::CompRatioChange);
    connect(CompPredelay, &TMMWheel::Change, this, &TParamsForm::CompPredelayChange);
    reset_compr = addResetButton(panel, "reset_compr");
    connect(reset_compr, &QPushButton::clicked, this, &TParamsForm::reset_comprClick);
}

void TParamsForm::buildEchoPanel()
{
    QFrame *panel = makePanel(this, "Panel4", 200, 144, 196, 177);
    EchoMix = addKnob(panel, "EchoMix", 8, 2, 0, 100, 0, 10, 3, 0, 100, "mix");
    EchoFeedback = addKnob(panel, "EchoFeedback", 75, 2, 0, 100, 0, 11, 3, 0, 100, "feedback (%)");
    EchoLeftDelay =
        addKnob(panel, "EchoLeftDelay", 8, 78, 1, 2000, 333, 12, 4, 1, 2000, "left delay");
    EchoRightDelay =
        addKnob(panel, "EchoRightDelay", 75, 78, 1, 2000, 333, 13, 4, 1, 2000, "right delay");
    connect(EchoMix, &TMMWheel::Change, this, &TParamsForm::EchoMixChange);
    connect(EchoFeedback, &TMMWheel::Change, this, &TParamsForm::EchoFeedbackChange);
    connect(EchoLeftDelay, &TMMWheel::Change, this, &TParamsForm::EchoLeftDelayChange);
    connect(EchoRightDelay, &TMMWheel::Change, this, &TParamsForm::EchoRightDelayChange);

    EchoPanDelay = new TMMSwitch(panel);
    EchoPanDelay->setObjectName(QStringLiteral("EchoPanDelay"));
    vokrin::controls::styleProgramSwitch(*EchoPanDelay);
    EchoPanDelay->setPosition(0);
    EchoPanDelay->move(152, 40);
    makeCaption(panel, QStringLiteral("off"), 146, 26, 32);
    makeCaption(panel, QStringLiteral("on"), 146, 40 + EchoPanDelay->height() + 1, 32);
    makeCaption(panel, QStringLiteral("pan delay"), 136, 84, 56);
    connect(EchoPanDelay, &TMMSwitch::Change, this, &TParamsForm::EchoPanDelayChange);
    reset_echo = addResetButton(panel, "reset_echo");
    connect(reset_echo, &QPushButton::clicked, this, &TParamsForm::reset_echoClick);
}

} // namespace vokrin::effects
