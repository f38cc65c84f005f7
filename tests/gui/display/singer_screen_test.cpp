// The singer's screen: which line stands in which row, the font size that fits the widest
// line, where it opens, and the window following a lyric list.
#include "display/lyric_list.h"
#include "display/singer_layout.h"
#include "display/singer_screen.h"
#include "display/tcolor.h"

#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QKeyEvent>
#include <QScreen>
#include <gtest/gtest.h>

using namespace vokrin::display;

namespace {

TEST(SingerRows, TheLitLineStaysInTheThirdRowAndTheFirstLineWaitsThereUnlit)
{
    struct Case
    {
        int lit, rowCount, firstLine, litRow;
        bool lit_;
    };
    const Case cases[] = {
        {-1, 10, -2, 2, false}, // before the first line lights, it waits in row 3
        {0, 10, -2, 2, true},   // and lights where it stands
        {1, 10, -1, 2, true},   {7, 10, 5, 2, true},
        {7, 2, 6, 1, true}, // two rows only: the lit line in the last
        {7, 1, 7, 0, true},     {3, 0, 3, 0, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "lit " << c.lit << ", rows " << c.rowCount);
        const SingerRows rows = singerRows(c.lit, c.rowCount);
        EXPECT_EQ(rows.firstLine, c.firstLine);
        EXPECT_EQ(rows.litRow, c.litRow);
        EXPECT_EQ(rows.lit, c.lit_);
    }
}

TEST(FittingPixelSize, TheLargestSizeAtWhichTheWidestLineFitsButNeverBelowTheMinimum)
{
    // A monospaced face: 0.6 px of width per pixel of size for each of 30 characters.
    int measured = 0;
    const auto widthAt = [&](int size) {
        ++measured;
        return (size * 30 * 6 + 9) / 10;
    };
    struct Case
    {
        int width, minimum, maximum, expected;
    };
    const Case cases[] = {
        {1000, 24, 200, 55},                      // 55 * 18 = 990, 56 * 18 = 1008
        {2000, 24, 200, 111},                     // twice the width, twice the size
        {2000, 24, 80, 80},                       // capped by the height
        {300, 24, 200, 24},                       // too narrow: the list's own size stays
        {1000, 24, 24, 24},   {1000, 24, 10, 24}, // a cap below the minimum
        {432, 24, 200, 24},                       // exactly the minimum fits
        {450, 24, 200, 25},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "width " << c.width << " in " << c.minimum << ".." << c.maximum);
        measured = 0;
        EXPECT_EQ(fittingPixelSize(widthAt, c.width, c.minimum, c.maximum), c.expected);
        EXPECT_LE(measured, 10) << "found by halving, not by trying every size";
    }
}

TEST(ChooseSingerScreen, AnotherScreenFullScreenPreferringTheStoredOneElseAWindowOnTheMain)
{
    const QStringList two = {QStringLiteral("DP-1"), QStringLiteral("HDMI-1")};
    const QStringList three = {QStringLiteral("DP-1"), QStringLiteral("HDMI-1"),
                               QStringLiteral("HDMI-2")};
    struct Case
    {
        QStringList screens;
        int main;
        QString stored;
        int screen;
        bool fullScreen;
    };
    const Case cases[] = {
        {two, 0, {}, 1, true},
        {two, 1, {}, 0, true},
        {three, 0, QStringLiteral("HDMI-2"), 2, true}, // the stored one, present
        {three, 0, QStringLiteral("VGA-1"), 1, true},  // stored but gone: the first other
        {three, 2, QStringLiteral("HDMI-2"), 0, true}, // stored is the main one's now
        {{QStringLiteral("DP-1")}, 0, {}, 0, false},   // one screen: a window on it
        {{QStringLiteral("DP-1")}, 0, QStringLiteral("DP-1"), 0, false},
        {two, -1, {}, 0, true}, // the main window's screen unknown
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.screens.join(',').toStdString() << " main " << c.main
                                        << " stored " << c.stored.toStdString());
        const SingerScreenPlace place = chooseSingerScreen(c.screens, c.main, c.stored);
        EXPECT_EQ(place.screen, c.screen);
        EXPECT_EQ(place.fullScreen, c.fullScreen);
    }
}

// A lyric list and a singer's screen following it, both shown.
struct SingerScreenFixture : ::testing::Test
{
    TLyricListBox list;
    SingerScreen singer{list};
    int paints = 0;

    struct PaintCounter : QObject
    {
        int &count;
        explicit PaintCounter(int &c) : count(c) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++count;
            return false;
        }
    } counter{paints};

    void SetUp() override
    {
        list.resize(500, 550);
        for (int i = 0; i < 20; ++i)
            list.addItem(QStringLiteral("Строка %1").arg(i + 1));
        list.setTag(0x0000FF); // red hint
        list.show();
        singer.resize(1280, 720);
        singer.show();
        singer.installEventFilter(&counter);
        QApplication::processEvents();
    }

    QImage picture() { return singer.grab().toImage(); }

    // Whether the band of `row` holds pixels of `colour`.
    bool rowShows(const QImage &image, int row, QColor colour)
    {
        const int top = singer.rowTop(row);
        for (int y = top; y < top + singer.rowHeight() && y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y) == colour)
                    return true;
        return false;
    }
};

TEST_F(SingerScreenFixture, FollowsTheListsLitLineInTheThirdRowWithTheNextLinesBelow)
{
    EXPECT_EQ(singer.litLine(), -1);
    EXPECT_EQ(singer.lineAtRow(2), 0) << "the first line waits in the lit row";
    EXPECT_EQ(singer.lineAtRow(1), -1);

    for (int line : {0, 1, 2, 9, 4}) {
        list.selectLine(line);
        SCOPED_TRACE(line);
        EXPECT_EQ(singer.litLine(), line);
        EXPECT_EQ(singer.lineAtRow(2), line);
        EXPECT_EQ(singer.lineAtRow(3), line + 1);
        EXPECT_EQ(singer.lineAtRow(1), line >= 1 ? line - 1 : -1);
    }
    const QImage image = picture();
    EXPECT_TRUE(rowShows(image, 2, Qt::red)) << "the lit row in the hint colour";
    EXPECT_FALSE(rowShows(image, 2, Qt::white));
    EXPECT_TRUE(rowShows(image, 3, Qt::white)) << "the next line in the font colour";
    EXPECT_FALSE(rowShows(image, 3, Qt::red));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black)) << "the list's background";

    list.clearSelection(); // as Play does
    EXPECT_EQ(singer.litLine(), -1);
    EXPECT_FALSE(rowShows(picture(), 2, Qt::red));
}

TEST_F(SingerScreenFixture, WhatReachesTheScreenLineByLineIsWhatAFullRepaintShows)
{
    // An advance moves the picture on the screen up by a row and paints only the rows that
    // change; after each step the screen holds what painting everything afresh gives.
    for (int line : {0, 1, 2, 3, 4, 5, 9, 10, 10, 8}) {
        list.selectLine(line);
        QApplication::processEvents();
        const QImage onScreen = singer.screen()
                                    ->grabWindow(singer.winId())
                                    .toImage()
                                    .convertToFormat(QImage::Format_RGB32);
        const QImage fresh = picture().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(onScreen.size(), fresh.size());
        EXPECT_TRUE(onScreen == fresh) << "after lighting line " << line;
    }
}

TEST_F(SingerScreenFixture, TakesOverColoursFontAndLinesAtOnceAndRepaintsOnlyOnChange)
{
    list.selectLine(3);
    QApplication::processEvents();
    paints = 0;
    list.selectLine(3); // the same line once more: nothing to paint
    QApplication::processEvents();
    EXPECT_EQ(paints, 0);

    list.setTag(0x00FF00); // green: the list itself takes it up only when it next draws
    list.setColor(0xFF0000);
    list.setFontColor(QColor(255, 255, 0));
    QApplication::processEvents();
    EXPECT_GE(paints, 1);
    const QImage image = picture();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 255));
    EXPECT_TRUE(rowShows(image, 2, QColor(0, 255, 0)));
    EXPECT_TRUE(rowShows(image, 4, QColor(255, 255, 0)));

    QFont face(QStringLiteral("Liberation Serif"));
    face.setPixelSize(30);
    face.setItalic(true);
    list.setFont(face);
    EXPECT_EQ(singer.screenFont().family(), face.family());
    EXPECT_TRUE(singer.screenFont().italic());
    EXPECT_GE(QFontInfo(singer.screenFont()).pixelSize(), 30);

    list.clear();
    list.addItem(QStringLiteral("Новая песня"));
    EXPECT_EQ(singer.litLine(), -1);
    EXPECT_EQ(singer.lineAtRow(2), 0);
    EXPECT_EQ(singer.lineAtRow(3), -1);
}

TEST_F(SingerScreenFixture, TheFontGrowsWithTheWidthSoTheLongestLineFitsButNeverBelowTheLists)
{
    list.addItem(QStringLiteral("Самая длинная строка этой песни, длиннее прочих"));
    int lastSize = 0;
    for (int width : {960, 1280, 1920, 2560}) {
        singer.resize(width, 1440);
        QApplication::processEvents();
        const QFont &font = singer.screenFont();
        const int size = QFontInfo(font).pixelSize();
        SCOPED_TRACE(width);
        EXPECT_GT(size, lastSize);
        EXPECT_LE(QFontMetrics(font).horizontalAdvance(list.item(20)->text()), width);
        QFont bigger = font;
        bigger.setPixelSize(size + 2);
        EXPECT_GT(QFontMetrics(bigger).horizontalAdvance(list.item(20)->text()),
                  width - 2 * (width / 32))
            << "the size is the largest that fits";
        lastSize = size;
    }
    singer.resize(200, 600);
    QApplication::processEvents();
    EXPECT_EQ(QFontInfo(singer.screenFont()).pixelSize(), QFontInfo(list.font()).pixelSize());
}

TEST_F(SingerScreenFixture, EscOrF11InItsWindowClosesItAndTellsTheScreen)
{
    QString closedOn = QStringLiteral("not closed");
    QObject::connect(&singer, &SingerScreen::closing,
                     [&](const QString &name) { closedOn = name; });
    for (int key : {Qt::Key_Escape, Qt::Key_F11}) {
        singer.show();
        QApplication::processEvents();
        closedOn = QStringLiteral("not closed");
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&singer, &press);
        EXPECT_FALSE(singer.isVisible());
        EXPECT_EQ(closedOn, singer.screen()->name());
    }
}

} // namespace
