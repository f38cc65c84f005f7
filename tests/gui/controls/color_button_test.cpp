#include "control_test_support.h"
#include "controls/color_button.h"
#include "controls/color_palette.h"
#include "controls/color_popup.h"
#include "controls/colors.h"
#include "controls/loading.h"
#include "platform/scripted_platform.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using vokrin::controls::TMMColorButton;
using vokrin::controls::TMMColorPopUp;

using namespace controls_test;
using namespace vokrin::controls;

TEST(ColorPaletteTest, OpeningSelectionFollowsTheValue)
{
    struct Case
    {
        int value;
        bool showCurrent;
        int cell;
        bool extraShown;
    };
    const Case cases[] = {
        {0xFFFFFF, false, 0, false},
        {0x000000, false, 1, false},
        {0x0000FF, false, 4, false},
        {0xA4A0A0, false, 19, false},
        {0x123456, false, kExtraCell, true},
        {0x0000FF, true, 4, true},
        {0x00FFFF, false, 6, false},
        // An unresolved system colour matches no palette cell.
        {clBtnFace, false, kExtraCell, true},
    };
    for (const Case &c : cases) {
        const PaletteSelection selection = openingSelection(c.value, c.showCurrent);
        EXPECT_EQ(selection.cell, c.cell) << std::hex << c.value;
        EXPECT_EQ(selection.extraShown, c.extraShown) << std::hex << c.value;
    }
}

TEST(ColorPaletteTest, KeysMoveWithinTheGridAndReachTheExtraCell)
{
    struct Case
    {
        int from;
        bool extraShown;
        PaletteKey key;
        int to;
    };
    const Case cases[] = {
        {0, false, PaletteKey::Left, 0},
        {0, false, PaletteKey::Up, 0},
        {0, false, PaletteKey::Right, 1},
        {0, false, PaletteKey::Down, 4},
        {3, false, PaletteKey::Right, 3},
        {4, false, PaletteKey::Left, 4},
        {17, false, PaletteKey::Down, 17},
        {19, false, PaletteKey::Down, 19},
        {19, true, PaletteKey::Down, kExtraCell},
        {18, true, PaletteKey::Down, 18},
        {kExtraCell, true, PaletteKey::Up, 19},
        {kExtraCell, true, PaletteKey::Left, kExtraCell},
        {kExtraCell, true, PaletteKey::Down, kExtraCell},
        {10, true, PaletteKey::Home, 0},
        {10, true, PaletteKey::End, kExtraCell},
        {10, false, PaletteKey::End, 19},
    };
    for (const Case &c : cases)
        EXPECT_EQ(moveSelection({c.from, c.extraShown}, c.key), c.to)
            << "from " << c.from << " key " << static_cast<int>(c.key);
}

TEST(ColorPaletteTest, LayoutAndPlacement)
{
    EXPECT_EQ(paletteCellRect(0), QRect(0, 0, 18, 18));
    EXPECT_EQ(paletteCellRect(5), QRect(18, 18, 18, 18));
    EXPECT_EQ(paletteCellRect(19), QRect(54, 72, 18, 18));
    EXPECT_EQ(paletteCellRect(kExtraCell), QRect(54, 95, 18, 18));
    EXPECT_EQ(otherButtonRect(), QRect(3, 95, 51, 18));
    EXPECT_EQ(cellAt({60, 100}, true), kExtraCell);
    EXPECT_EQ(cellAt({60, 100}, false), kNoCell);
    EXPECT_EQ(cellAt({10, 100}, true), kNoCell); // the button
    EXPECT_EQ(cellAt({20, 5}, false), 1);
    // Under the button when it fits, else above it.
    EXPECT_EQ(popUpPosition(QRect(100, 200, 43, 21), QSize(78, 119), 768), QPoint(100, 221));
    EXPECT_EQ(popUpPosition(QRect(100, 700, 43, 21), QSize(78, 119), 768), QPoint(100, 581));
}

namespace {

struct ButtonInWindow
{
    QWidget window;
    TMMColorButton *button = new TMMColorButton(&window);
    ButtonInWindow()
    {
        window.resize(200, 100);
        button->move(10, 10);
        window.show();
        window.activateWindow();
        (void)QTest::qWaitForWindowActive(&window);
    }
};

} // namespace

TEST(ColorButtonTest, ValueNotInThePaletteOpensOnTheExtraCellAndEnterKeepsIt)
{
    ButtonInWindow ui;
    ui.button->setValue(0x123456);
    QSignalSpy changes(ui.button, &TMMColorButton::Change);
    QTest::keyClick(ui.button, Qt::Key_Space);
    ASSERT_TRUE(ui.button->isPopUpOpen());
    TMMColorPopUp *popUp = ui.button->popUp();
    EXPECT_EQ(popUp->selectedCell(), kExtraCell);
    EXPECT_TRUE(popUp->extraCellShown());
    // It opens under the button.
    EXPECT_EQ(popUp->pos(), ui.button->mapToGlobal(QPoint(0, ui.button->height())));
    QTest::keyClick(popUp, Qt::Key_Return);
    EXPECT_FALSE(ui.button->isPopUpOpen());
    EXPECT_EQ(ui.button->value(), 0x123456);
    EXPECT_EQ(changes.count(), 0);
}

TEST(ColorButtonTest, ReleaseOnTheRedCellAssigns255Once)
{
    ButtonInWindow ui;
    QSignalSpy changes(ui.button, &TMMColorButton::Change);
    press(ui.button, QPoint(10, 10));
    ASSERT_TRUE(ui.button->isPopUpOpen());
    TMMColorPopUp *popUp = ui.button->popUp();
    EXPECT_EQ(popUp->selectedCell(), 1); // black, the value
    const QPoint red = paletteCellRect(4).center();
    dragTo(popUp, red);
    EXPECT_EQ(popUp->selectedCell(), 4);
    release(popUp, red);
    EXPECT_FALSE(ui.button->isPopUpOpen());
    EXPECT_EQ(ui.button->value(), 255);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.front().front().value<QObject *>(), ui.button);
    // Choosing red again changes nothing.
    press(ui.button, QPoint(10, 10));
    release(ui.button->popUp(), red);
    EXPECT_EQ(changes.count(), 1);
}

TEST(ColorButtonTest, KeysInThePopUp)
{
    struct Case
    {
        std::vector<Qt::Key> keys;
        int expected; // value afterwards; -1: unchanged
    };
    const Case cases[] = {
        {{Qt::Key_Right, Qt::Key_Return}, 0xC0C0C0},              // black -> silver
        {{Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}, 0x008000}, // -> green
        {{Qt::Key_Home, Qt::Key_Enter}, 0xFFFFFF},
        {{Qt::Key_End, Qt::Key_Return}, 0xA4A0A0},
        {{Qt::Key_Down, Qt::Key_Escape}, -1},
        {{Qt::Key_Left, Qt::Key_Left, Qt::Key_Return}, 0xFFFFFF},
    };
    for (const Case &c : cases) {
        ButtonInWindow ui;
        QTest::keyClick(ui.button, Qt::Key_Space);
        ASSERT_TRUE(ui.button->isPopUpOpen());
        for (Qt::Key key : c.keys)
            QTest::keyClick(ui.button->popUp(), key);
        EXPECT_FALSE(ui.button->isPopUpOpen());
        EXPECT_EQ(ui.button->value(), c.expected < 0 ? 0 : c.expected);
    }
}

TEST(ColorButtonTest, ExtraCellReleaseAndOutsidePressCloseWithoutChange)
{
    ButtonInWindow ui;
    ui.button->setValue(0x123456);
    QSignalSpy changes(ui.button, &TMMColorButton::Change);
    press(ui.button, QPoint(5, 5));
    release(ui.button->popUp(), paletteCellRect(kExtraCell).center());
    EXPECT_FALSE(ui.button->isPopUpOpen());
    press(ui.button, QPoint(5, 5));
    press(ui.button->popUp(), QPoint(-20, -20));
    EXPECT_FALSE(ui.button->isPopUpOpen());
    EXPECT_EQ(ui.button->value(), 0x123456);
    EXPECT_EQ(changes.count(), 0);
}

TEST(ColorButtonTest, OtherButtonOpensTheColourDialogThroughThePlatform)
{
    vokrin::platform::ScriptedPlatform desktop;
    ButtonInWindow ui;
    ui.button->setValue(0x0000FF);
    QSignalSpy changes(ui.button, &TMMColorButton::Change);

    desktop.colorAnswers.push_back(QColor(10, 20, 30));
    QTest::keyClick(ui.button, Qt::Key_Space);
    QPushButton *other = ui.button->popUp()->otherButton();
    EXPECT_EQ(other->text(), QStringLiteral("&Other..."));
    EXPECT_EQ(other->geometry(), QRect(3, 95, 51, 18));
    other->click();
    EXPECT_FALSE(ui.button->isPopUpOpen());
    ASSERT_EQ(desktop.colorRequests.size(), 1u);
    EXPECT_EQ(desktop.colorRequests[0], QColor(255, 0, 0)); // preset to the value
    EXPECT_EQ(ui.button->value(), 0x1E140A);
    EXPECT_EQ(changes.count(), 1);

    // A cancelled dialog changes nothing; Esc on the pop-up's button closes it.
    QTest::keyClick(ui.button, Qt::Key_Space);
    ui.button->popUp()->otherButton()->click();
    EXPECT_EQ(ui.button->value(), 0x1E140A);
    QTest::keyClick(ui.button, Qt::Key_Space);
    QTest::keyClick(ui.button->popUp(), Qt::Key_Tab);
    QTest::keyClick(ui.button->popUp()->otherButton(), Qt::Key_Escape);
    EXPECT_FALSE(ui.button->isPopUpOpen());
    EXPECT_EQ(desktop.colorRequests.size(), 2u);
    EXPECT_EQ(changes.count(), 1);

    ui.button->setButtonCaption(QString());
    EXPECT_EQ(ui.button->buttonCaption(), QStringLiteral("&Other..."));
}

TEST(ColorButtonTest, FacePaintsTheSwatchInTheValue)
{
    TMMColorButton button;
    button.setValue(0x00FF00);
    const QImage face = rendered(button);
    EXPECT_EQ(face.size(), QSize(43, 21));
    // Inside the swatch: the colour; its edge: black.
    EXPECT_EQ(face.pixel(15, 10), qRgb(0, 255, 0));
    EXPECT_EQ(face.pixel(5, 10), qRgb(0, 0, 0));
    // The arrow sits in the strip at the right.
    int arrow = 0;
    for (int y = 0; y < 21; ++y)
        for (int x = 35; x <= 40; ++x)
            arrow += (face.pixel(x, y) & 0xFFFFFF) == 0;
    EXPECT_EQ(arrow, 9);
    {
        WindowBuildGuard building(&button);
        QSignalSpy changes(&button, &TMMColorButton::Change);
        button.setValue(0x0000FF);
        EXPECT_EQ(changes.count(), 0);
    }
}

TEST(ColorPopUpTest, CellsFramesAndSeparatorAsPainted)
{
    struct Case
    {
        int value;
        int selected;
        bool extraShown;
    };
    for (const Case &c : {Case{0x0000FF, 4, false}, Case{0x123456, kExtraCell, true}}) {
        ButtonInWindow ui;
        ui.button->setValue(c.value);
        ui.button->openPopUp();
        TMMColorPopUp *popUp = ui.button->popUp();
        ASSERT_EQ(popUp->size(), QSize(78, 119));
        QImage image(popUp->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        popUp->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        const QPalette &palette = popUp->palette();

        // The selected cell: black, white and black frames, then the colour.
        const QPoint corner = paletteCellRect(c.selected).topLeft();
        EXPECT_EQ(image.pixel(corner + QPoint(0, 5)), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(corner + QPoint(1, 5)), qRgb(255, 255, 255));
        EXPECT_EQ(image.pixel(corner + QPoint(2, 5)), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(corner + QPoint(3, 5)), rgbOf(c.value));
        // Every palette cell is filled 3 pixels inside its edge.
        for (int cell = 0; cell < kPaletteCells; ++cell) {
            const QRect box = paletteCellRect(cell);
            EXPECT_EQ(image.pixel(box.topLeft() + QPoint(3, 3)),
                      rgbOf(paletteColors()[static_cast<std::size_t>(cell)]));
            EXPECT_EQ(image.pixel(box.bottomRight() - QPoint(3, 3)),
                      rgbOf(paletteColors()[static_cast<std::size_t>(cell)]));
        }
        EXPECT_EQ(image.pixel(40, 91), resolveColor(clBtnShadow, palette).rgb());
        EXPECT_EQ(image.pixel(40, 92), resolveColor(clBtnHighlight, palette).rgb());
        const QRgb extra = image.pixel(paletteCellRect(kExtraCell).center());
        if (c.extraShown) {
            EXPECT_EQ(extra, rgbOf(c.value));
        } else {
            EXPECT_EQ(extra, resolveColor(clBtnFace, palette).rgb());
        }
        QTest::keyClick(popUp, Qt::Key_Escape);
        EXPECT_FALSE(ui.button->isPopUpOpen());
    }
}
