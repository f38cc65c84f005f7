#include "display/lyric_list.h"

#include <QApplication>
#include <QScrollBar>
#include <gtest/gtest.h>

using vokrin::display::kLyricLineHeight;
using vokrin::display::TLyricListBox;

namespace {

struct LyricListFixture : ::testing::Test
{
    TLyricListBox list;

    void SetUp() override
    {
        list.resize(500, 550);
        for (int i = 0; i < 40; ++i)
            list.addItem(QStringLiteral("Строка %1").arg(i + 1));
        list.show();
        QApplication::processEvents();
    }

    // The timeline's advance: select, then scroll once if the drawing asked for it.
    void advanceTo(int line)
    {
        list.selectLine(line);
        if (list.scrollPending()) {
            list.scrollLineDown();
            list.setScrollPending(false);
        }
        QApplication::processEvents();
    }

    int visibleRowOf(int line) // counting from 1
    {
        return list.visualItemRect(list.item(line)).top() / kLyricLineHeight + 1;
    }
};

} // namespace

TEST_F(LyricListFixture, HighlightSettlesInTheTenthRowThenTextMovesOneLinePerAdvance)
{
    ASSERT_EQ(list.viewport()->height(), 550);
    for (int line = 0; line < 10; ++line) {
        advanceTo(line);
        EXPECT_EQ(visibleRowOf(line), line + 1) << "no scrolling while the highlight comes down";
    }
    for (int line = 10; line < 20; ++line) {
        const int topBefore = list.verticalScrollBar()->value();
        advanceTo(line);
        EXPECT_EQ(visibleRowOf(line), 10) << "line " << line;
        EXPECT_EQ(list.verticalScrollBar()->value(), topBefore + 1) << "exactly one line";
    }
}

TEST_F(LyricListFixture, LargerFontKeepsTheLinePitch)
{
    QFont big = list.font();
    big.setPixelSize(48);
    list.setFont(big);
    QApplication::processEvents();
    for (int line : {0, 1, 5})
        EXPECT_EQ(list.visualItemRect(list.item(line)).height(), kLyricLineHeight);
    EXPECT_EQ(list.visualItemRect(list.item(5)).top(), 5 * kLyricLineHeight);
}

TEST_F(LyricListFixture, SelectedLineDiffersOnlyByTheHintColour)
{
    list.setColor(0x000000);
    list.setTag(0x0000FF); // red
    list.selectLine(2);
    QApplication::processEvents();
    const QImage image = list.viewport()->grab().toImage();

    auto countColor = [&](int row, QRgb color) {
        int n = 0;
        for (int y = row * kLyricLineHeight; y < (row + 1) * kLyricLineHeight; ++y)
            for (int x = 0; x < 300; ++x)
                n += image.pixel(x, y) == color ? 1 : 0;
        return n;
    };
    EXPECT_GT(countColor(2, qRgb(255, 0, 0)), 20) << "hint colour text on the selected line";
    EXPECT_EQ(countColor(2, qRgb(255, 255, 255)), 0);
    EXPECT_GT(countColor(1, qRgb(255, 255, 255)), 20) << "font colour on the others";
    EXPECT_EQ(countColor(1, qRgb(255, 0, 0)), 0);
    // No selection bar: most of the selected row stays in the background colour.
    EXPECT_GT(countColor(2, qRgb(0, 0, 0)), 300 * kLyricLineHeight / 2);
}

TEST_F(LyricListFixture, AllLinesFittingNeverScroll)
{
    while (list.count() > 5)
        delete list.takeItem(list.count() - 1);
    for (int line = 0; line < 5; ++line)
        advanceTo(line);
    EXPECT_EQ(list.verticalScrollBar()->value(), 0);
    EXPECT_EQ(visibleRowOf(4), 5);
}

TEST_F(LyricListFixture, IndexPastTheLastLineKeepsTheHighlight)
{
    advanceTo(39);
    list.selectLine(40);
    EXPECT_EQ(list.currentRow(), 39);
}

TEST_F(LyricListFixture, TypedLettersDoNotMoveTheSelection)
{
    list.selectLine(3);
    list.setFocus();
    // Typed characters reach the list as a keyboard search for a matching line.
    list.keyboardSearch(QStringLiteral("Строка 9"));
    EXPECT_EQ(list.currentRow(), 3);
}
