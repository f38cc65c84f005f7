#include "control_test_support.h"
#include "controls/digit_strips.h"
#include "controls/led_panel.h"
#include "controls/loading.h"
#include "controls/program_styles.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>

using vokrin::controls::TMMLEDPanel;

using namespace controls_test;
using namespace vokrin::controls;

namespace {

// The 5 by 9 cells of the ls07x11 strips, written out from the segment table:
// '#' a lit segment, 'o' an unlit segment, '.' background.
using Cell = std::array<const char *, 9>;
const std::map<char, Cell> kCells = {
    {' ', {".ooo.", "o...o", "o...o", "o...o", ".ooo.", "o...o", "o...o", "o...o", ".ooo."}},
    {'0', {".###.", "#...#", "#...#", "#...#", ".ooo.", "#...#", "#...#", "#...#", ".###."}},
    {'1', {".ooo.", "o...#", "o...#", "o...#", ".ooo.", "o...#", "o...#", "o...#", ".ooo."}},
    {'2', {".###.", "o...#", "o...#", "o...#", ".###.", "#...o", "#...o", "#...o", ".###."}},
    {'3', {".###.", "o...#", "o...#", "o...#", ".###.", "o...#", "o...#", "o...#", ".###."}},
    {'4', {".ooo.", "#...#", "#...#", "#...#", ".###.", "o...#", "o...#", "o...#", ".ooo."}},
    {'5', {".###.", "#...o", "#...o", "#...o", ".###.", "o...#", "o...#", "o...#", ".###."}},
    {'6', {".###.", "#...o", "#...o", "#...o", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'7', {".###.", "o...#", "o...#", "o...#", ".ooo.", "o...#", "o...#", "o...#", ".ooo."}},
    {'8', {".###.", "#...#", "#...#", "#...#", ".###.", "#...#", "#...#", "#...#", ".###."}},
    {'9', {".###.", "#...#", "#...#", "#...#", ".###.", "o...#", "o...#", "o...#", ".###."}},
    {'-', {".ooo.", "o...o", "o...o", "o...o", ".###.", "o...o", "o...o", "o...o", ".ooo."}},
    {'.', {".ooo.", "o...o", "o...o", "o...o", ".ooo.", "o...o", "o.#.o", "o...o", ".ooo."}},
    {':', {".ooo.", "o...o", "o.#.o", "o...o", ".ooo.", "o...o", "o.#.o", "o...o", ".ooo."}},
};

QRgb symbolColour(char symbol, QRgb lit, QRgb unlit, QRgb background)
{
    return symbol == '#' ? lit : (symbol == 'o' ? unlit : background);
}

// Compares the 5 by 9 cell at `origin` of `image` with the written cell.
::testing::AssertionResult cellMatches(const QImage &image, QPoint origin, char expected, QRgb lit,
                                       QRgb unlit, QRgb background)
{
    const Cell &cell = kCells.at(expected);
    for (int row = 0; row < 9; ++row)
        for (int column = 0; column < 5; ++column) {
            const QRgb want =
                symbolColour(cell[static_cast<std::size_t>(row)][column], lit, unlit, background);
            const QRgb got = image.pixel(origin + QPoint(column, row)) | 0xFF000000u;
            if (got != (want | 0xFF000000u))
                return ::testing::AssertionFailure()
                       << "cell '" << expected << "' differs at column " << column << ", row "
                       << row << ": " << std::hex << got << " instead of " << want;
        }
    return ::testing::AssertionSuccess();
}

// Reads the digits back from what the display painted: each cell is matched against
// the written cells.
std::string readDisplay(TMMLEDPanel &panel)
{
    const QImage image = rendered(panel);
    const QRgb lit = rgbOf(panel.ledColor());
    const QRgb unlit = rgbOf(panel.inactiveColor());
    const QRgb background = rgbOf(panel.color());
    const int bevel = panel.Bevel()->totalWidth();
    std::string text;
    for (int i = 0; i < panel.numDigits(); ++i) {
        const QPoint origin(bevel + i * (5 + panel.ledSpace()), bevel);
        char found = '?';
        for (const auto &[symbol, cell] : kCells)
            if (cellMatches(image, origin, symbol, lit, unlit, background)) {
                found = symbol;
                break;
            }
        text += found;
    }
    return text;
}

std::unique_ptr<TMMLEDPanel> programReadout(int digits, int minValue, int maxValue)
{
    auto panel = std::make_unique<TMMLEDPanel>();
    styleProgramReadout(*panel, digits, minValue, maxValue, 0);
    return panel;
}

} // namespace

TEST(DigitStripTest, Ls07x11MasksMatchTheSegmentTableExactly)
{
    const QImage &numbers = maskStrip(StripKind::Numbers, DigitSize::ls07x11);
    ASSERT_EQ(numbers.size(), QSize(55, 9));
    const char order[] = " 0123456789";
    for (int i = 0; i < 11; ++i)
        EXPECT_TRUE(cellMatches(numbers, QPoint(i * 5, 0), order[i], kMaskLit, kMaskUnlit,
                                kMaskBackground));
    const QImage &specials = maskStrip(StripKind::Specials, DigitSize::ls07x11);
    ASSERT_EQ(specials.size(), QSize(20, 9));
    const char specialOrder[] = " .:-";
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(cellMatches(specials, QPoint(i * 5, 0), specialOrder[i], kMaskLit, kMaskUnlit,
                                kMaskBackground));
}

TEST(DigitStripTest, EverySizeHasItsCellSizeAndOnlyTheThreeMaskColours)
{
    const QSize cells[] = {{4, 7},   {5, 9},   {7, 13},  {9, 19},  {11, 20}, {11, 21}, {13, 24},
                           {13, 25}, {15, 29}, {15, 23}, {17, 33}, {19, 37}, {21, 41}};
    for (int i = 0; i < kDigitSizeCount; ++i) {
        const auto size = static_cast<DigitSize>(i);
        EXPECT_EQ(digitCellSize(size), cells[i]);
        const QImage &numbers = maskStrip(StripKind::Numbers, size);
        const QImage &specials = maskStrip(StripKind::Specials, size);
        EXPECT_EQ(numbers.size(), QSize(11 * cells[i].width(), cells[i].height()));
        EXPECT_EQ(specials.size(), QSize(4 * cells[i].width(), cells[i].height()));
        int lit8 = 0, lit1 = 0;
        for (int y = 0; y < numbers.height(); ++y)
            for (int x = 0; x < numbers.width(); ++x) {
                const QRgb p = numbers.pixel(x, y);
                ASSERT_TRUE(p == kMaskLit || p == kMaskUnlit || p == kMaskBackground)
                    << stripName(StripKind::Numbers, size);
                if (p == kMaskLit && x / cells[i].width() == 9)
                    ++lit8;
                if (p == kMaskLit && x / cells[i].width() == 2)
                    ++lit1;
            }
        // An 8 lights more than a 1, and a 1 lights something.
        EXPECT_GT(lit1, 0) << stripName(StripKind::Numbers, size);
        EXPECT_GT(lit8, 2 * lit1) << stripName(StripKind::Numbers, size);
    }
    EXPECT_STREQ(stripName(StripKind::Numbers, DigitSize::ls18x25), "LCD_18X25");
    EXPECT_STREQ(stripName(StripKind::Specials, DigitSize::ls07x11), "LCDS_07X11");
}

TEST(DigitDisplayTest, PaintedDigitsReadBack)
{
    struct Case
    {
        int digits, minValue, maxValue, value;
        const char *expected;
    };
    const Case cases[] = {
        {3, -99, 99, -99, "-99"},  {3, -99, 99, -5, "-05"},    {3, -99, 99, -100, "-99"},
        {3, 0, 100, 5, "005"},     {3, 0, 100, 100, "100"},    {3, 0, 999, 1000, "999"},
        {3, 0, 2000, 1000, "000"}, {4, 0, 3000, 1000, "1000"}, {1, 0, 4, 3, "3"},
        {3, -96, 100, -96, "-96"}, {4, 50, 3000, 0, "0050"},   {3, 0, 100, 0, "000"},
        {3, 0, 999, 790, "790"},   {4, 1, 2000, 2468, "2000"},
    };
    for (const Case &c : cases) {
        auto panel = programReadout(c.digits, c.minValue, c.maxValue);
        panel->setValue(c.value);
        EXPECT_EQ(readDisplay(*panel), c.expected) << c.value;
    }
    // Each digit from 0 to 9 in every place.
    auto panel = programReadout(3, 0, 999);
    for (int d = 1; d <= 9; ++d) {
        panel->setValue(d * 111);
        const std::string expected(3, static_cast<char>('0' + d));
        EXPECT_EQ(readDisplay(*panel), expected);
    }
}

TEST(DigitDisplayTest, ProgramReadoutsAre25Or32By15)
{
    EXPECT_EQ(programReadout(3, 0, 100)->size(), QSize(25, 15));
    EXPECT_EQ(programReadout(4, 0, 3000)->size(), QSize(32, 15));
    EXPECT_EQ(programReadout(1, 0, 4)->size(), QSize(11, 15));
    auto panel = programReadout(3, 0, 100);
    panel->setNumDigits(0);
    panel->setNumDigits(10);
    panel->setLedSpace(0);
    EXPECT_EQ(panel->numDigits(), 3);
    EXPECT_EQ(panel->ledSpace(), 2);
    EXPECT_EQ(panel->size(), QSize(25, 15));
    panel->setNumDigits(9);
    EXPECT_EQ(panel->size(), QSize(6 + 9 * 5 + 8 * 2, 15));
}

TEST(DigitDisplayTest, DisabledDisplayShowsBlankDigits)
{
    auto panel = programReadout(3, -99, 99);
    panel->setValue(-42);
    panel->setEnabled(false);
    EXPECT_EQ(readDisplay(*panel), "   ");
    panel->setProperty("Enabled", true);
    EXPECT_EQ(readDisplay(*panel), "-42");
}

TEST(DigitDisplayTest, ZeroBlankBlanksLeadingZerosOnly)
{
    auto panel = programReadout(4, -999, 9999);
    panel->setZeroBlank(true);
    panel->setValue(105);
    EXPECT_EQ(readDisplay(*panel), " 105");
    panel->setValue(0);
    EXPECT_EQ(readDisplay(*panel), "   0");
    panel->setValue(-7);
    EXPECT_EQ(readDisplay(*panel), "-  7");
}

TEST(DigitDisplayTest, ColoursComeFromTheRecolouredStrip)
{
    auto panel = programReadout(3, 0, 100);
    panel->setLedColor(0x0000FF);      // red
    panel->setInactiveColor(0x400000); // dark blue
    panel->setColor(0x202020);
    panel->setValue(18);
    EXPECT_EQ(readDisplay(*panel), "018");
    panel->setDrawInactive(false);
    // Unlit segments now take the background colour: a "1" keeps only its right side.
    const QImage image = rendered(*panel);
    EXPECT_EQ(image.pixel(3 + 7 + 2, 3) & 0xFFFFFF, 0x202020u); // top of the "1": unlit
    EXPECT_EQ(image.pixel(3 + 7 + 4, 4) & 0xFFFFFF, 0xFF0000u); // its upper right: lit
}

TEST(DigitDisplayTest, ValueRulesAndChange)
{
    TMMLEDPanel panel;
    panel.setMinValue(-99);
    panel.setMaxValue(99);
    QSignalSpy changes(&panel, &TMMLEDPanel::Change);
    panel.setValue(-100);
    EXPECT_EQ(panel.value(), -99);
    panel.setValue(-99);
    EXPECT_EQ(changes.count(), 1);
    // A new range clamps the current value through the setter.
    panel.setMinValue(-50);
    EXPECT_EQ(panel.value(), -50);
    EXPECT_EQ(changes.count(), 2);
    panel.setMaxValue(-60);
    EXPECT_EQ(panel.value(), -60);
    EXPECT_EQ(changes.count(), 3);
    {
        WindowBuildGuard building(&panel);
        panel.setMaxValue(100);
        panel.setValue(10);
    }
    EXPECT_EQ(panel.value(), 10);
    EXPECT_EQ(changes.count(), 3);
}

TEST(DigitDisplayTest, StripsAreSharedAndDroppedWithTheirLastDigit)
{
    ASSERT_EQ(cachedStripCount(), 0);
    {
        auto first = programReadout(3, 0, 100);
        EXPECT_EQ(cachedStripCount(), 2); // numbers and specials
        auto second = programReadout(4, 0, 3000);
        EXPECT_EQ(cachedStripCount(), 2);
        second->setLedColor(0x0000FF);
        EXPECT_EQ(cachedStripCount(), 4);
        first.reset();
        EXPECT_EQ(cachedStripCount(), 2);
        second->setLedColor(0x00FF00);
        EXPECT_EQ(cachedStripCount(), 2);
    }
    EXPECT_EQ(cachedStripCount(), 0);
}
