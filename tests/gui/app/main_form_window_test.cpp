// Creation, showing and destruction of the main window, its layout, the effect LEDs and
// the splash window.
#include "main_form_fixture.h"

#include "app/splash_form.h"
#include "app/splash_picture.h"
#include "audio/engine/engine_config.h"
#include "controls/bitmap_list.h"
#include "controls/led.h"
#include "controls/led_gauge.h"
#include "controls/led_panel.h"
#include "controls/panel_fill.h"
#include "controls/wheel.h"
#include "display/lyric_list.h"
#include "display/paint_frame.h"
#include "effects/effect_values.h"
#include "settings/ini_file.h"
#include <QLabel>

#include <QHeaderView>
#include <QSplitter>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

using vokrin::controls::TMMLED;
using vokrin::settings::TIniFile;

namespace {

TEST(MainFormStartup, AnotherEngineVersionIsReportedAndEndsCreation)
{
    vokrin::platform::ScriptedPlatform desktop;
    vokrin::engine::setManualClock(true);
    vokrin::app::TMainForm form;
    form.OutputDevice = 0;
    form.EngineVersion = [] { return DWORD{0x20002}; };
    EXPECT_FALSE(form.FormCreate());
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "BASS version 2.1 was not loaded");
    EXPECT_EQ(desktop.messages[0].caption, "Bass Version problem");
    EXPECT_EQ(desktop.messages[0].buttons, vokrin::platform::MessageButtons::Ok);
}

TEST(MainFormStartup, AnOutputThatCannotOpenIsReportedAndEndsCreation)
{
    vokrin::platform::ScriptedPlatform desktop;
    vokrin::app::TMainForm form;
    form.OutputDevice = 57; // no such device
    EXPECT_FALSE(form.FormCreate());
    ASSERT_EQ(desktop.messages.size(), 1u);
    EXPECT_EQ(desktop.messages[0].text, "Can't initialize device");
    EXPECT_EQ(desktop.messages[0].caption, "Bass Initialize problem");
}

TEST_F(MainFormTest, CreationLoadsTheEffectFlagsAndShowingTakesTheEngineVolume)
{
    form.reset();
    {
        TIniFile settings(vokrin::effects::kSettingsFile);
        settings.WriteString("TParamsForm", "eq_enabled", "True");
        settings.WriteString("TParamsForm", "echo_enabled", "yes");
    }
    form = std::make_unique<vokrin::app::TMainForm>();
    form->OutputDevice = 0;
    ASSERT_TRUE(form->FormCreate());
    EXPECT_TRUE(form->eq->isLit());
    EXPECT_FALSE(form->echo->isLit());
    EXPECT_FALSE(form->rever->isLit());
    EXPECT_FALSE(form->comp->isLit());

    auto *splash = new QWidget;
    form->SplashForm = splash;
    // A fresh knob at 0 takes the engine's output volume when the window shows.
    form->show();
    EXPECT_EQ(form->Volume->value(), static_cast<int>(BASS_GetVolume()));
    EXPECT_GT(form->Volume->value(), 0);
    EXPECT_EQ(form->MMLEDPanel1->value(), form->Volume->value()) << "the readout follows";
    EXPECT_EQ(form->SpeedButton4->text(), form->ListBox1->font().family());
    EXPECT_TRUE(form->SplashForm.isNull()) << "the splash is destroyed once the window shows";
}

TEST_F(MainFormTest, DestroyingTheWindowWhilePlayingReleasesTheEngine)
{
    form->AddProject(makeSong("a"));
    form->ButtonPlayClick();
    const DWORD stream = form->Stream();
    ASSERT_EQ(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    form.reset();
    EXPECT_NE(BASS_ChannelIsActive(stream), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    EXPECT_FALSE(BASS_Start()) << "the engine is released";
}

TEST_F(MainFormTest, TheRenderTimerIsIdleBeforeAnyStream)
{
    EXPECT_TRUE(form->TimerRender->isActive());
    EXPECT_EQ(form->TimerRender->interval(), 33);
    EXPECT_NE(BASS_ChannelIsActive(form->Stream()), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
}

TEST_F(MainFormTest, LayoutHasTheNamedComponentsWithTheirHintsAndSizes)
{
    EXPECT_EQ(form->windowTitle(), "Вокрин");
    EXPECT_EQ(form->size(), QSize(761, 577));
    EXPECT_EQ(form->pos(), QPoint(121, 129));
    form->show();
    EXPECT_EQ(form->Panel2->width(), vokrin::app::TMainForm::kPanelWidth);
    EXPECT_EQ(form->MMPanelFill2->height(), 111);
    EXPECT_EQ(form->MMPanelFill1->height(), 199);
    EXPECT_EQ(form->Panel5->width(), 48);
    EXPECT_EQ(form->Panel2->property("Color").toInt() & 0xFF000000, 0xFF000000) << "button face";
    EXPECT_EQ(form->MMPanelFill1->property("Color").toInt(), 14867160);
    EXPECT_EQ(form->MMPanelFill2->property("Color").toInt(), 14867160);

    struct Button
    {
        QToolButton *button;
        const char *name;
        const char *hint;
        int x, y;
        bool hand;
    };
    const Button buttons[] = {
        {form->SpeedButton9, "SpeedButton9", "Мастер создания проекта", 8, 48, false},
        {form->ButtonPlay, "ButtonPlay", "Воспроизведение", 51, 48, true},
        {form->PauseBtn, "PauseBtn", "Пауза", 94, 48, true},
        {form->ButtonStop, "ButtonStop", "Стоп", 137, 48, true},
        {form->FragButton, "FragButton", "Заменить фонограмму", 180, 48, true},
        {form->SpeedButton8, "SpeedButton8", "Открыть список проектов", 8, 80, false},
        {form->SpeedButton7, "SpeedButton7", "Сохранить список проектов", 51, 80, false},
        {form->SpeedButton1, "SpeedButton1", "Добавить проект в список", 94, 80, false},
        {form->SpeedButton2, "SpeedButton2", "Удалить проект из списка", 137, 80, false},
        {form->Plugins, "Plugins", "Настройка Plugins", 180, 80, true},
    };
    for (const Button &b : buttons) {
        SCOPED_TRACE(b.name);
        EXPECT_EQ(b.button->objectName(), b.name);
        EXPECT_EQ(b.button->toolTip(), QString::fromUtf8(b.hint));
        EXPECT_EQ(b.button->geometry(), QRect(b.x, b.y, 28, 25));
        EXPECT_EQ(b.button->cursor().shape() == Qt::PointingHandCursor, b.hand);
        EXPECT_EQ(b.button->isCheckable(), b.button == form->PauseBtn);
    }
    EXPECT_EQ(form->SpeedButton1->text(), "+");
    EXPECT_EQ(form->SpeedButton2->text(), "-");

    EXPECT_EQ(form->ListView1->headerItem()->text(0), "Название");
    EXPECT_EQ(form->ListView1->headerItem()->text(1), "Файл проекта");
    EXPECT_EQ(form->ListView1->header()->sectionSize(0), 150);
    EXPECT_EQ(form->ListView1->header()->sectionSize(1), 150);
    EXPECT_FALSE(form->ListView1->header()->sectionsClickable());

    EXPECT_EQ(form->PaintFrame->size(), QSize(175, 52));
    EXPECT_EQ(form->Panel6->geometry(), QRect(19, 111, 185, 62));
    EXPECT_EQ(form->MMLEDGauge1->geometry(), QRect(7, 185, 210, 10));
    EXPECT_EQ(form->LabelFile->width(), 214);
    EXPECT_EQ(form->LabelFile->y(), 174);
    EXPECT_EQ(form->SpeedButton4->size(), QSize(98, 21));
    for (auto [knob, low, high] :
         {std::tuple{form->Volume, 0, 100}, {form->Pan, -100, 100}, {form->PredText, 0, 999}}) {
        EXPECT_EQ(knob->minValue(), low);
        EXPECT_EQ(knob->maxValue(), high);
        EXPECT_EQ(knob->value(), knob == form->Volume ? static_cast<int>(BASS_GetVolume()) : 0);
    }
    // The LEDs: eq and rever above comp and echo, all unlit.
    EXPECT_LT(form->eq->x(), form->rever->x());
    EXPECT_EQ(form->eq->y(), form->rever->y());
    EXPECT_LT(form->eq->y(), form->comp->y());
    EXPECT_EQ(form->eq->x(), form->comp->x());
    EXPECT_EQ(form->ListBox1->font().pixelSize(), 24);
    EXPECT_TRUE(form->ListBox1->font().bold());
}

TEST_F(MainFormTest, EffectLedsToggleWriteTheirFlagAndReachThePlayingTrack)
{
    // Without a stream the click still toggles and saves.
    form->echoClick();
    EXPECT_TRUE(form->echo->isLit());
    const TIniFile settings(vokrin::effects::kSettingsFile);
    EXPECT_EQ(settings.ReadString("TParamsForm", "echo_enabled", ""), "TRUE");
    EXPECT_EQ(settings.ReadString("TParamsForm", "eq_enabled", ""), "FALSE");

    {
        TIniFile writable(vokrin::effects::kSettingsFile);
        writable.WriteString("TParamsForm", "MMBitmapSlider3_Position", "6");
    }
    form->AddProject(makeSong("a"));
    form->ButtonPlayClick();
    BASS_FXPARAMEQ band{};
    ASSERT_TRUE(BASS_FXGetParameters(form->Effects.EqBands[2], &band));
    EXPECT_FLOAT_EQ(band.fGain, 0);
    form->eqClick();
    ASSERT_TRUE(BASS_FXGetParameters(form->Effects.EqBands[2], &band));
    EXPECT_FLOAT_EQ(band.fGain, 6);
    EXPECT_EQ(settings.ReadString("TParamsForm", "eq_enabled", ""), "TRUE");
    form->eqClick();
    ASSERT_TRUE(BASS_FXGetParameters(form->Effects.EqBands[2], &band));
    EXPECT_FLOAT_EQ(band.fGain, 0);

    // The open sound parameters window's LED of the same name follows.
    QWidget params;
    auto *mirror = new TMMLED(&params);
    mirror->setObjectName("rever");
    mirror->setLit(false);
    form->ParamsForm = &params;
    form->reverClick();
    EXPECT_TRUE(mirror->isLit());
}

TEST_F(MainFormTest, KeysActWhateverHasTheFocus)
{
    form->show();
    form->Volume->setFocus();
    form->Volume->setValue(100);
    QTest::keyClick(form->Volume, Qt::Key_Plus);
    EXPECT_EQ(form->Volume->value(), 100);
    QTest::keyClick(form->Volume, Qt::Key_Minus);
    EXPECT_EQ(form->Volume->value(), 99);
    QTest::keyClick(form->Volume, Qt::Key_R, Qt::ControlModifier);
    EXPECT_TRUE(form->rever->isLit());
    QTest::keyClick(form->Volume, Qt::Key_Space);
    EXPECT_TRUE(form->PauseBtn->isChecked());
    QTest::keyClick(form->Volume, Qt::Key_Escape);
    EXPECT_EQ(form->Panel2->width(), 0);
    QTest::keyClick(form->Volume, Qt::Key_Escape);
    EXPECT_EQ(form->Panel2->width(), vokrin::app::TMainForm::kPanelWidth);
    QTest::keyClick(form->Volume, Qt::Key_F1);
    ASSERT_EQ(desktop->helpRequests.size(), 1u);
    EXPECT_EQ(desktop->helpRequests[0], std::make_pair(QString("vokrin.hlp"), 0));
}

TEST(SplashForm, ClosesWithOkAfterItsTimeAndWithoutOkWhenClosedEarly)
{
    vokrin::app::TSplashForm splash;
    EXPECT_EQ(splash.size(), QSize(265, 352));
    EXPECT_EQ(splash.windowTitle(), "Вокрин");
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    ASSERT_FALSE(splash.picture().isNull()) << "the stored JPEG decodes";
    EXPECT_EQ(splash.Timer1->interval(), 2000);
    EXPECT_EQ(splash.exec(), QDialog::Accepted);

    vokrin::app::TSplashForm early;
    QTimer::singleShot(100, &early, [&early] { early.close(); });
    EXPECT_EQ(early.exec(), QDialog::Rejected);

    // Esc is no close command: the splash stays for its time and closes with OK.
    vokrin::app::TSplashForm escaped;
    bool shownAfterEsc = false;
    QTimer::singleShot(100, &escaped, [&escaped, &shownAfterEsc] {
        QTest::keyClick(&escaped, Qt::Key_Escape);
        shownAfterEsc = escaped.isVisible();
    });
    EXPECT_EQ(escaped.exec(), QDialog::Accepted);
    EXPECT_TRUE(shownAfterEsc);
}

TEST(SplashForm, ThePictureIsScaledProportionallyAndCentred)
{
    const QRect box(6, 18, 253, 315);
    EXPECT_EQ(vokrin::app::fitCentred(QSize(253, 315), box), box);
    EXPECT_EQ(vokrin::app::fitCentred(QSize(506, 315), box), QRect(6, 18 + 79, 253, 157));
    EXPECT_EQ(vokrin::app::fitCentred(QSize(100, 630), box), QRect(6 + 101, 18, 50, 315));
}

} // namespace
