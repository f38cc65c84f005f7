// The lyric timeline, the spectrum and gauge, the display settings, the sound parameters
// windows and the keys, on the real engine (device 0, manual clock), with the render
// timer's tick called by the test.
#include "main_form_fixture.h"

#include "controls/color_button.h"
#include "controls/led.h"
#include "controls/led_gauge.h"
#include "controls/led_panel.h"
#include "controls/panel_fill.h"
#include "controls/wheel.h"
#include "display/lyric_list.h"
#include "display/paint_frame.h"
#include "effects/params_form.h"

#include <QApplication>
#include <QFile>
#include <QSplitter>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QWheelEvent>

using vokrin::controls::TMMLED;
using vokrin::effects::TParamsForm;

namespace {

constexpr quint32 kBytesPerFrame = 4; // 16-bit stereo

class MainFormDisplayTest : public MainFormTest
{
protected:
    // A four-line song whose cues are the given frame counts, selected and playing.
    void playSong(const std::vector<quint32> &cueFrames, double seconds = 4.0)
    {
        std::vector<quint32> cues;
        for (quint32 frames : cueFrames)
            cues.push_back(frames * kBytesPerFrame);
        const QString track = makeTrack("song.wav", seconds);
        form->AddProject(makeProject("song.lyp", QFile::encodeName(track), cues,
                                     {"один", "два", "три", "четыре"}));
        form->PredText->setValue(0);
        form->ButtonPlayClick();
        ASSERT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    }
    // The highlighted line: the one selected line, or -1.
    int litLine() const
    {
        const auto selected = form->ListBox1->selectedItems();
        return selected.size() == 1 ? form->ListBox1->row(selected.front()) : -1;
    }
    void tick() { form->TimerRenderTimer(); }
    // Shown and active, as the window the user types into is: keys and the wheel go to
    // the focused control of the active window.
    void showActive()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
};

TEST_F(MainFormDisplayTest, LinesLightAtTheirCuesOnePerTickAndTheGaugeFollows)
{
    playSong({0, 1000, 2000, 100000});
    EXPECT_EQ(litLine(), -1) << "Play starts with no line lit";

    tick();
    EXPECT_EQ(litLine(), 0) << "a cue at 0 is reached at once";
    tick();
    EXPECT_EQ(litLine(), 0) << "the next cue is 1000 frames away";
    advance(999);
    tick();
    EXPECT_EQ(litLine(), 0);
    advance(1);
    tick();
    EXPECT_EQ(litLine(), 1);

    // Past two cues at once: the highlight catches up one line per tick.
    advance(100000);
    tick();
    EXPECT_EQ(litLine(), 2);
    tick();
    EXPECT_EQ(litLine(), 3);
    EXPECT_EQ(form->CurrentCue, 4);
    tick();
    EXPECT_EQ(litLine(), 3) << "past the last cue the last line stays lit";

    // 101000 frames of a 176400-frame track.
    EXPECT_EQ(form->MMLEDGauge1->progress(), 101000 * 100 / 176400);
}

TEST_F(MainFormDisplayTest, TheLeadTimeIsInBytesSoACueSmallerThanItIsReachedAtOnce)
{
    playSong({100, 50000});
    form->PredText->setValue(999);
    tick();
    EXPECT_EQ(litLine(), 0) << "cue 400 bytes minus 999 is below position 0";
    advance(49750); // 199000 bytes: still 1 byte short of 200000 - 999
    tick();
    EXPECT_EQ(litLine(), 0);
    advance(1);
    tick();
    EXPECT_EQ(litLine(), 1);
}

TEST_F(MainFormDisplayTest, WhileTheWizardShowsTheLyricsStandStillButTheGaugeAndSpectrumGoOn)
{
    QWidget wizard;
    form->FormNewKar = &wizard;
    playSong({0, 1000});
    wizard.show();
    advance(44100);
    tick();
    EXPECT_EQ(litLine(), -1);
    EXPECT_EQ(form->MMLEDGauge1->progress(), 25);
    // A loud sine: some column of the spectrum is green.
    const QImage &frame = form->PaintFrame->surface();
    bool green = false;
    for (int x = 0; x < frame.width() && !green; ++x)
        green = frame.pixel(x, frame.height() - 1) == qRgb(0, 255, 0);
    EXPECT_TRUE(green);

    wizard.hide();
    tick();
    EXPECT_EQ(litLine(), 0);
    tick();
    EXPECT_EQ(litLine(), 1);
}

TEST_F(MainFormDisplayTest, DoubleClickOnALineRestartsTheTrackAtItsCue)
{
    playSong({0, 1000, 30000});
    form->show();
    advance(5000);
    tick();
    const auto lineCentre = [this](int row) {
        return form->ListBox1->visualItemRect(form->ListBox1->item(row)).center();
    };

    // A real double-click starts with a press on the same line.
    QTest::mousePress(form->ListBox1->viewport(), Qt::LeftButton, {}, lineCentre(2));
    QTest::mouseDClick(form->ListBox1->viewport(), Qt::LeftButton, {}, lineCentre(2));
    EXPECT_EQ(form->GetPosition(), 30000u * kBytesPerFrame);
    EXPECT_EQ(form->CurrentCue, 2);
    EXPECT_EQ(form->MMLEDGauge1->progress(), 0);
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    tick();
    EXPECT_EQ(litLine(), 2);

    // Line 4 has no cue: ignored before anything stops.
    advance(100);
    QTest::mousePress(form->ListBox1->viewport(), Qt::LeftButton, {}, lineCentre(3));
    QTest::mouseDClick(form->ListBox1->viewport(), Qt::LeftButton, {}, lineCentre(3));
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    EXPECT_EQ(form->GetPosition(), 30100u * kBytesPerFrame);
    EXPECT_EQ(form->CurrentCue, 3);
}

TEST_F(MainFormDisplayTest, FontAndColoursReachTheLyricList)
{
    form->ListBox1->addItems({"один", "два"});
    const QFont original = form->ListBox1->font();

    desktop->fontAnswers.push_back(std::nullopt);
    form->SpeedButton4->click();
    EXPECT_EQ(form->ListBox1->font(), original) << "a cancelled dialog changes nothing";
    ASSERT_EQ(desktop->fontRequests.size(), 1u);
    EXPECT_EQ(desktop->fontRequests[0].font, original);
    EXPECT_EQ(desktop->fontRequests[0].color, QColor(Qt::white));

    QFont large(QStringLiteral("Liberation Serif"));
    large.setPixelSize(40);
    desktop->fontAnswers.push_back(vokrin::platform::FontChoice{large, QColor(Qt::red)});
    form->SpeedButton4->click();
    EXPECT_EQ(form->ListBox1->font().family(), large.family());
    EXPECT_EQ(form->SpeedButton4->text(), large.family());
    EXPECT_EQ(form->ListBox1->fontColor(), QColor(Qt::red));
    EXPECT_EQ(form->ListBox1->visualItemRect(form->ListBox1->item(1)).top() -
                  form->ListBox1->visualItemRect(form->ListBox1->item(0)).top(),
              27)
        << "the line pitch does not follow the font";

    form->MMColorButton2->setValue(0x0000FF);
    EXPECT_EQ(form->ListBox1->tag(), 0x0000FF);
    form->MMColorButton3->setValue(0x804000);
    EXPECT_EQ(form->ListBox1->color(), 0x804000);
    EXPECT_EQ(form->Panel5->color(), 0x804000);

    form->PredText->setValue(250);
    EXPECT_EQ(form->MMLEDPanel4->value(), 250);
}

TEST_F(MainFormDisplayTest, EachPluginsClickOpensAWindowAndClosingEitherForgetsTheReference)
{
    form->show();
    form->Plugins->click();
    form->Plugins->click();
    const auto windows = form->findChildren<TParamsForm *>();
    ASSERT_EQ(windows.size(), 2);
    auto *newest = qobject_cast<TParamsForm *>(form->ParamsForm.data());
    ASSERT_NE(newest, nullptr);
    TParamsForm *older = windows[0] == newest ? windows[1] : windows[0];
    EXPECT_TRUE(newest->isVisible());
    EXPECT_TRUE(older->isVisible());

    // The main window's LEDs mirror into the newest window; its LEDs reach back.
    QTest::mouseClick(form->eq, Qt::LeftButton);
    EXPECT_TRUE(newest->eq->isLit());
    QTest::mouseClick(newest->comp, Qt::LeftButton);
    EXPECT_TRUE(form->comp->isLit());

    older->close();
    QApplication::processEvents();
    EXPECT_TRUE(form->ParamsForm.isNull());
    EXPECT_EQ(form->findChildren<TParamsForm *>().size(), 1) << "a closed window is freed";
    QTest::mouseClick(form->echo, Qt::LeftButton);
    EXPECT_FALSE(newest->echo->isLit()) << "without a reference nothing is mirrored";
}

TEST_F(MainFormDisplayTest, EffectKeysActOnEitherLayoutAndNeverMoveTheCatalogue)
{
    showActive();
    form->AddProject(makeSong("first"));
    form->AddProject(makeSong("second"));
    form->ListView1->setCurrentItem(form->ListView1->topLevelItem(0));
    form->ListView1->setFocus();

    QTest::keyClick(form->ListView1, Qt::Key_S);
    QTest::keyClick(form->ListView1, Qt::Key_E);
    EXPECT_TRUE(form->echo->isLit());
    EXPECT_EQ(selectedRow(), 0) << "a typed character does not search the catalogue";

    // The same physical keys on the Russian layout.
    const std::pair<int, TMMLED *> russian[] = {{0x0423 /* У */, form->echo},
                                                {0x0421 /* С */, form->comp},
                                                {0x0419 /* Й */, form->eq},
                                                {0x041A /* К */, form->rever}};
    for (const auto &[key, led] : russian) {
        const bool before = led->isLit();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar(key)));
        QApplication::sendEvent(form->ListView1, &press);
        EXPECT_NE(led->isLit(), before) << led->objectName().toStdString();
    }
    EXPECT_EQ(selectedRow(), 0);
}

TEST_F(MainFormDisplayTest, WithThePanelCollapsedTheWheelStillStepsTheFocusedKnob)
{
    showActive();
    form->Pan->setFocus();
    QTest::keyClick(form->Pan, Qt::Key_Escape);
    ASSERT_EQ(form->Splitter1->sizes().value(1), 0);
    const int before = form->Pan->value();
    form->FormMouseWheelUp();
    EXPECT_EQ(form->Pan->value(), before + 1);
    form->FormMouseWheelDown();
    form->FormMouseWheelDown();
    EXPECT_EQ(form->Pan->value(), before - 1);

    form->Volume->setFocus();
    form->Volume->setValue(100);
    form->FormMouseWheelUp();
    EXPECT_EQ(form->Volume->value(), 100);
}

} // namespace
