// The singer's screen opened from the main window with F11, on the real engine (device 0,
// manual clock) with the render timer's tick called by the test; keys delivered as the
// window system delivers them.
#include "main_form_fixture.h"

#include "controls/color_button.h"
#include "controls/wheel.h"
#include "display/lyric_list.h"
#include "display/singer_screen.h"
#include "effects/effect_values.h"
#include "settings/ini_file.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

using vokrin::settings::TIniFile;

namespace {

using Sync = QWindowSystemInterface::SynchronousDelivery;
using vokrin::display::SingerScreen;

constexpr quint32 kBytesPerFrame = 4; // 16-bit stereo

class MainFormSingerTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        form->TimerRender->stop(); // the test ticks
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void pressKey(QWindow *window, int key, const QString &text = {})
    {
        QWindowSystemInterface::handleKeyEvent<Sync>(window, QEvent::KeyPress, key, Qt::NoModifier,
                                                     text);
        QWindowSystemInterface::handleKeyEvent<Sync>(window, QEvent::KeyRelease, key,
                                                     Qt::NoModifier, text);
        QApplication::processEvents();
    }
    void pressInMain(int key, const QString &text = {})
    {
        pressKey(form->windowHandle(), key, text);
    }

    SingerScreen *openSinger()
    {
        pressInMain(Qt::Key_F11);
        SingerScreen *singer = form->SingerScreenWindow;
        if (singer != nullptr) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(singer));
        }
        return singer;
    }

    // A six-line song with cues at the given frame counts, playing.
    void playSong(const std::vector<quint32> &cueFrames)
    {
        std::vector<quint32> cues;
        for (quint32 frames : cueFrames)
            cues.push_back(frames * kBytesPerFrame);
        const QString track = makeTrack("song.wav", 6.0);
        form->AddProject(makeProject("song.lyp", QFile::encodeName(track), cues,
                                     {"один", "два", "три", "четыре", "пять", "шесть"}));
        form->PredText->setValue(0);
        form->ButtonPlayClick();
        ASSERT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    }

    int listLit() const { return form->ListBox1->litLine(); }
    void tick() { form->TimerRenderTimer(); }

    // The singer's lit line and the list's, and the singer's lit row showing it.
    void expectSameLit(SingerScreen &singer, int line)
    {
        EXPECT_EQ(listLit(), line);
        EXPECT_EQ(singer.litLine(), line);
        EXPECT_EQ(singer.rows().lit, line >= 0);
        EXPECT_EQ(singer.lineAtRow(2), std::max(line, 0)) << "the lit line in the third row";
    }
};

TEST_F(MainFormSingerTest, F11OpensItTheLitLineFollowsTheListTickForTickAndF11ClosesIt)
{
    playSong({0, 1000, 2000, 3000, 100000, 120000});
    SingerScreen *singer = openSinger();
    ASSERT_NE(singer, nullptr);
    EXPECT_TRUE(singer->isVisible());
    EXPECT_FALSE(singer->isFullScreen()) << "one screen only: a window beside the main one";
    EXPECT_TRUE(QTest::qWaitForWindowActive(form.get())) << "the operator keeps the keyboard";
    EXPECT_EQ(singer->lineAtRow(3), 1);
    expectSameLit(*singer, -1);

    tick();
    expectSameLit(*singer, 0);
    advance(999);
    tick();
    expectSameLit(*singer, 0);
    advance(1);
    tick();
    expectSameLit(*singer, 1);
    // Past two cues at once: both catch up one line per tick.
    advance(2500);
    tick();
    expectSameLit(*singer, 2);
    tick();
    expectSameLit(*singer, 3);
    tick();
    expectSameLit(*singer, 3);

    // A double-click on the fifth line: the click lights it in both, the jump restarts the
    // track at its cue, and the lines go on from there.
    form->ListBox1->setCurrentRow(4);
    expectSameLit(*singer, 4);
    form->ListBox1DblClick(4);
    tick();
    expectSameLit(*singer, 4);
    EXPECT_EQ(form->CurrentCue, 5);
    advance(19999);
    tick();
    expectSameLit(*singer, 4);
    advance(1);
    tick();
    expectSameLit(*singer, 5);

    pressInMain(Qt::Key_F11);
    EXPECT_TRUE(form->SingerScreenWindow.isNull()) << "F11 again closes it";
}

TEST_F(MainFormSingerTest, ItStandsStillWhileTheWizardShowsAndTakesANewProjectAtOnce)
{
    QWidget wizard;
    form->FormNewKar = &wizard;
    playSong({0, 1000});
    SingerScreen *singer = openSinger();
    ASSERT_NE(singer, nullptr);
    wizard.show();
    advance(44100);
    tick();
    expectSameLit(*singer, -1);
    wizard.hide();
    tick();
    expectSameLit(*singer, 0);

    // Another project loaded: its lines, nothing lit.
    const QString track = makeTrack("other.wav", 2.0);
    form->AddProject(
        makeProject("other.lyp", QFile::encodeName(track), {0}, {"другая песня", "вторая строка"}));
    form->ListView1->setCurrentItem(form->ListView1->topLevelItem(1));
    form->ListBox2Click();
    EXPECT_EQ(form->ListBox1->count(), 2);
    EXPECT_EQ(singer->lineAtRow(2), 0);
    EXPECT_EQ(singer->lineAtRow(3), 1);
    EXPECT_EQ(singer->lineAtRow(4), -1);
}

TEST_F(MainFormSingerTest, ColoursReachItAtOnceAndEscStaysTheMainWindowsWhileItsOwnEscClosesIt)
{
    playSong({0, 1000});
    SingerScreen *singer = openSinger();
    ASSERT_NE(singer, nullptr);
    tick();
    form->MMColorButton2->setValue(0x00FF00); // hint: green
    form->MMColorButton3->setValue(0x800000); // background: dark blue
    EXPECT_EQ(singer->hintColor(), QColor(0, 255, 0));
    EXPECT_EQ(singer->background(), QColor(0, 0, 128));
    QApplication::processEvents();
    const QImage picture = singer->grab().toImage();
    EXPECT_EQ(picture.pixelColor(1, 1), QColor(0, 0, 128));
    bool green = false;
    for (int y = singer->rowTop(2); y < singer->rowTop(3) && !green; ++y)
        for (int x = 0; x < picture.width() && !green; ++x)
            green = picture.pixelColor(x, y) == QColor(0, 255, 0);
    EXPECT_TRUE(green) << "the lit row repainted in the new hint colour at once";

    // Esc in the main window collapses the panel as ever; the singer's screen stays.
    pressInMain(Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_EQ(form->Splitter1->sizes().value(1), 0);
    ASSERT_FALSE(form->SingerScreenWindow.isNull());
    EXPECT_TRUE(singer->isVisible());
    expectSameLit(*singer, 0);

    // The operator's other keys act in the singer's window as in the main window.
    form->Volume->setValue(50);
    const int volume = form->Volume->value();
    pressKey(singer->windowHandle(), Qt::Key_Minus, QStringLiteral("-"));
    EXPECT_EQ(form->Volume->value(), volume - 1);

    const QString screenName = singer->screen()->name();
    pressKey(singer->windowHandle(), Qt::Key_Escape, QStringLiteral("\x1b"));
    EXPECT_TRUE(form->SingerScreenWindow.isNull()) << "Esc in its own window closes it";
    EXPECT_EQ(form->Splitter1->sizes().value(1), 0) << "and leaves the panel alone";
    const TIniFile settings(vokrin::effects::kSettingsFile);
    EXPECT_EQ(settings.ReadString(QStringLiteral("SingerScreen"), QStringLiteral("Screen"), {}),
              screenName);
}

} // namespace
