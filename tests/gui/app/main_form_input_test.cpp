// Keys, clicks and the wheel delivered to the main window the way the window system
// delivers them: through the platform entry points of the toolkit, with the key text an
// X server gives (Ctrl+R carries "\x12", not "r") and wheel deltas of 120 and 15 units.
#include "main_form_fixture.h"

#include "app/directory_edit.h"
#include "controls/led.h"
#include "controls/wheel.h"

#include <QFile>
#include <QLineEdit>
#include <QSplitter>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

using vokrin::controls::TMMLED;

namespace {

using Sync = QWindowSystemInterface::SynchronousDelivery;

class MainFormInputTest : public MainFormTest
{
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        window = form->windowHandle();
        ASSERT_NE(window, nullptr);
    }

    // One press and release, with the text the X server puts in the key event.
    void pressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                  const QString &text = {})
    {
        QWindowSystemInterface::handleKeyEvent<Sync>(window, QEvent::KeyPress, key, modifiers,
                                                     text);
        QWindowSystemInterface::handleKeyEvent<Sync>(window, QEvent::KeyRelease, key, modifiers,
                                                     text);
    }

    // Types `text` as X delivers each character: its key code and the character itself.
    void typeText(const QString &text)
    {
        for (const QChar c : text) {
            int key = c.toUpper().unicode();
            if (c == u'/')
                key = Qt::Key_Slash;
            pressKey(key, Qt::NoModifier, QString(c));
        }
    }

    QPoint centreOf(const QWidget *widget) const
    {
        return form->mapFromGlobal(widget->mapToGlobal(widget->rect().center()));
    }

    void mouse(QEvent::Type type, QPoint at)
    {
        const Qt::MouseButtons buttons =
            type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
        QWindowSystemInterface::handleMouseEvent<Sync>(window, at, form->mapToGlobal(at), buttons,
                                                       Qt::LeftButton, type);
    }

    void click(QPoint at)
    {
        mouse(QEvent::MouseButtonPress, at);
        mouse(QEvent::MouseButtonRelease, at);
    }

    void wheel(QPoint at, int angleDelta)
    {
        QWindowSystemInterface::handleWheelEvent(window, at, form->mapToGlobal(at), QPoint(),
                                                 QPoint(0, angleDelta));
        QWindowSystemInterface::flushWindowSystemEvents();
    }

    // A catalogue entry clicked as a user does, which gives the catalogue the focus.
    QPoint clickFirstEntry()
    {
        QTreeWidgetItem *entry = form->ListView1->topLevelItem(0);
        const QRect row = form->ListView1->visualItemRect(entry);
        const QPoint at = form->mapFromGlobal(
            form->ListView1->viewport()->mapToGlobal(QPoint(20, row.center().y())));
        click(at);
        return at;
    }

    std::size_t messagesSaying(const QString &text) const
    {
        std::size_t count = 0;
        for (const auto &message : desktop->messages)
            count += message.text == text ? 1 : 0;
        return count;
    }

    QWindow *window = nullptr;
};

const QString kCannotPlay = QStringLiteral("Can't play the file! Please select another.");

TEST_F(MainFormInputTest, WithTheCatalogueFocusedEachKeyActsOnce)
{
    form->AddProject(makeSong("first"));
    form->AddProject(makeSong("second"));
    clickFirstEntry();
    ASSERT_EQ(QApplication::focusWidget(), form->ListView1);
    ASSERT_EQ(selectedRow(), 0);

    pressKey(Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    EXPECT_EQ(form->Splitter1->sizes().value(1), 0) << "one Esc collapses the panel";
    pressKey(Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    EXPECT_EQ(form->Splitter1->sizes().value(1), vokrin::app::TMainForm::kPanelWidth)
        << "the next Esc restores it";

    // Ctrl with a letter: X gives the control character as the text.
    const struct
    {
        int key;
        const char *text;
        TMMLED *led;
    } controlLetters[] = {{Qt::Key_R, "\x12", form->rever},
                          {Qt::Key_C, "\x03", form->comp},
                          {Qt::Key_E, "\x05", form->echo},
                          {Qt::Key_Q, "\x11", form->eq}};
    for (const auto &c : controlLetters) {
        SCOPED_TRACE(c.led->objectName().toStdString());
        const bool before = c.led->isLit();
        pressKey(c.key, Qt::ControlModifier, QString::fromLatin1(c.text));
        EXPECT_NE(c.led->isLit(), before) << "toggled once, not twice";
    }
    EXPECT_EQ(selectedRow(), 0) << "no key moved the catalogue's selection";
}

TEST_F(MainFormInputTest, EnterAndADoubleClickInTheCatalogueStartPlayOnce)
{
    // An entry whose track cannot be played shows its message once per Play.
    const QString junk = path("junk.mp3");
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    form->AddProject(makeProject("junk.lyp", QFile::encodeName(junk)));
    const QPoint entry = clickFirstEntry();
    ASSERT_EQ(QApplication::focusWidget(), form->ListView1);
    // Adding the entry may have tried the track already; count from here.
    const std::size_t before = messagesSaying(kCannotPlay);

    pressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(messagesSaying(kCannotPlay), before + 1);

    // The toolkit makes the double-click of the second press, as it does for X.
    mouse(QEvent::MouseButtonPress, entry);
    mouse(QEvent::MouseButtonRelease, entry);
    mouse(QEvent::MouseButtonPress, entry);
    mouse(QEvent::MouseButtonRelease, entry);
    EXPECT_EQ(messagesSaying(kCannotPlay), before + 2);
}

TEST_F(MainFormInputTest, AKeyThatArrivesBeforeTheWindowIsActiveAgainStillActs)
{
    // As after a file dialog closes: the catalogue is still this window's focused
    // control, but the toolkit's focus widget is still the dialog's name box when the
    // key reaches this window.
    form->AddProject(makeSong("first"));
    clickFirstEntry();
    ASSERT_EQ(form->focusWidget(), form->ListView1);
    QWidget dialog;
    auto *nameBox = new QLineEdit(&dialog);
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    nameBox->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), nameBox);

    pressKey(Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    EXPECT_EQ(state(), static_cast<DWORD>(BASS_ACTIVE_PLAYING)) << "Enter started Play";
    const bool lit = form->rever->isLit();
    pressKey(Qt::Key_R, Qt::ControlModifier, QStringLiteral("\x12"));
    EXPECT_NE(form->rever->isLit(), lit);
}

TEST_F(MainFormInputTest, TheWheelStepsTheFocusedKnobByWholeNotches)
{
    const QPoint overKnob = centreOf(form->Pan);
    const QPoint overCatalogue = centreOf(form->ListView1);
    form->Pan->setFocus();
    form->Pan->setValue(0);
    // One after the other, each turn on what the ones before left.
    const struct
    {
        const char *name;
        QPoint at;
        std::vector<int> deltas;
        int panAfter;
    } turns[] = {
        {"one mouse notch", overKnob, {120}, 1},
        {"one notch down", overKnob, {-120}, 0},
        {"one notch over the catalogue", overCatalogue, {120}, 1},
        {"seven touchpad events of 15 are not a notch yet",
         overKnob,
         {15, 15, 15, 15, 15, 15, 15},
         1},
        {"the eighth completes it", overKnob, {15}, 2},
        {"one event of two notches", overKnob, {240}, 4},
        {"a part notch up and a notch down", overKnob, {90, -120}, 4},
        {"what is left finishes the notch down", overKnob, {-90}, 3},
    };
    for (const auto &t : turns) {
        SCOPED_TRACE(t.name);
        for (int delta : t.deltas)
            wheel(t.at, delta);
        EXPECT_EQ(form->Pan->value(), t.panAfter);
    }
}

TEST_F(MainFormInputTest, TypingIntoTheFolderBoxIsTheBoxsAlone)
{
    QLineEdit *box = form->DirectoryEdit1->edit();
    click(centreOf(box));
    ASSERT_EQ(QApplication::focusWidget(), box);
    form->Volume->setValue(50);
    const bool lit[] = {form->eq->isLit(), form->rever->isLit(), form->comp->isLit(),
                        form->echo->isLit()};

    typeText(QStringLiteral("/media/cerq+-"));
    EXPECT_EQ(box->text(), QStringLiteral("/media/cerq+-"));
    EXPECT_EQ(form->Volume->value(), 50);
    EXPECT_EQ(form->eq->isLit(), lit[0]);
    EXPECT_EQ(form->rever->isLit(), lit[1]);
    EXPECT_EQ(form->comp->isLit(), lit[2]);
    EXPECT_EQ(form->echo->isLit(), lit[3]);

    // Keys that type nothing still act from the box.
    pressKey(Qt::Key_R, Qt::ControlModifier, QStringLiteral("\x12"));
    EXPECT_NE(form->rever->isLit(), lit[1]);
    pressKey(Qt::Key_Escape, Qt::NoModifier, QStringLiteral("\x1b"));
    EXPECT_EQ(form->Splitter1->sizes().value(1), 0);
    pressKey(Qt::Key_F1);
    EXPECT_EQ(desktop->helpRequests.size(), 1u);
    EXPECT_EQ(box->text(), QStringLiteral("/media/cerq+-"));
}

} // namespace
