#include "settings/form_placement.h"

#include <QWidget>
#include <gtest/gtest.h>

using namespace vokrin::settings;

namespace {

TEST(FormPlacementText, SuffixAndPositionStrings)
{
    EXPECT_EQ(resolutionSuffix(QSize(1024, 768)), "(1024x768)");
    EXPECT_EQ(formatPositions(-1, -1, -1, -1), "-1,-1,-1,-1");
    // Right and bottom are coordinates, not width and height.
    EXPECT_EQ(formatNormalRect(QRect(121, 129, 761, 577)), "121,129,882,706");
}

TEST(FormPlacementText, PositionWordsSplitAtBlanksAndCommas)
{
    using W = std::array<std::optional<int>, 4>;
    const struct
    {
        QString in;
        W out;
    } cases[] = {
        {"1,2,3,4", W{1, 2, 3, 4}},
        {"1, 2 ,3   4", W{1, 2, 3, 4}},
        {"-5,-6,7,8,9", W{-5, -6, 7, 8}},
        {"10,20", W{10, 20, std::nullopt, std::nullopt}},
        {"10,x,30,4.5", W{10, std::nullopt, 30, std::nullopt}},
        {"", W{}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(positionWords(c.in), c.out) << c.in.toStdString();
}

TEST(FormPlacementState, ShowCommandsMapOntoThreeStates)
{
    const struct
    {
        int cmd;
        ShowState state;
    } cases[] = {
        {1, ShowState::Normal},    {5, ShowState::Normal},    {9, ShowState::Normal},
        {2, ShowState::Minimized}, {6, ShowState::Minimized}, {7, ShowState::Minimized},
        {3, ShowState::Maximized}, {0, ShowState::Normal},    {4, ShowState::Normal},
        {8, ShowState::Normal},    {-1, ShowState::Normal},   {42, ShowState::Normal},
    };
    for (const auto &c : cases)
        EXPECT_EQ(showStateFromCommand(c.cmd, ShowState::Normal), c.state) << c.cmd;
    EXPECT_EQ(showStateFromCommand(0, ShowState::Maximized), ShowState::Maximized);
    EXPECT_EQ(showStateFromCommand(4, ShowState::Maximized), ShowState::Maximized);

    EXPECT_EQ(showCommandFor(Qt::WindowNoState), 1);
    EXPECT_EQ(showCommandFor(Qt::WindowActive), 1);
    EXPECT_EQ(showCommandFor(Qt::WindowMinimized), 2);
    EXPECT_EQ(showCommandFor(Qt::WindowMinimized | Qt::WindowMaximized), 2);
    EXPECT_EQ(showCommandFor(Qt::WindowMaximized), 3);
}

TEST(FormPlacementPosition, WhenTheStoredRectangleIsApplied)
{
    const CurrentWindow designed{QRect(121, 129, 761, 577), true, 96};
    const CurrentWindow fixedSize{QRect(121, 129, 761, 577), false, 96};
    using R = std::optional<QRect>;
    const struct
    {
        const char *what;
        StoredPosition stored;
        CurrentWindow now;
        R rect;
    } cases[] = {
        {"stored rectangle",
         {std::nullopt, "10,20,410,320", 96},
         designed,
         QRect(10, 20, 400, 300)},
        {"other resolution", {std::nullopt, "10,20,410,320", 120}, designed, std::nullopt},
        {"no position text", {std::nullopt, std::nullopt, 96}, designed, std::nullopt},
        {"only the min/max text keeps the design",
         {"-1,-1,-1,-1", std::nullopt, 96},
         designed,
         QRect(121, 129, 761, 577)},
        {"missing words take the current ones",
         {std::nullopt, "10,20", 96},
         designed,
         QRect(10, 20, 761 + 121 - 10, 577 + 129 - 20)},
        {"bad words take the current ones",
         {std::nullopt, "x,20,y,400", 96},
         designed,
         QRect(121, 20, 761, 380)},
        {"right not beyond left", {std::nullopt, "500,20,500,320", 96}, designed, std::nullopt},
        {"right before left", {std::nullopt, "500,20,100,320", 96}, designed, std::nullopt},
        {"bottom above top", {std::nullopt, "10,500,410,100", 96}, designed, std::nullopt},
        {"fixed border keeps its size",
         {std::nullopt, "10,20,410,320", 96},
         fixedSize,
         QRect(10, 20, 761, 577)},
        {"negative positions stand",
         {std::nullopt, "-50,-40,350,260", 96},
         designed,
         QRect(-50, -40, 400, 300)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(plannedNormalRect(c.stored, c.now), c.rect) << c.what;
}

TEST(FormPlacementPosition, AWindowNoScreenShowsIsBroughtIntoTheWorkArea)
{
    const QRect workArea(0, 25, 1024, 700);
    const QList<QRect> areas{workArea, QRect(1024, 0, 1280, 1024)};
    const struct
    {
        const char *what;
        QRect in;
        QRect out;
    } cases[] = {
        {"on the primary screen", QRect(10, 45, 400, 300), QRect(10, 45, 400, 300)},
        {"partly visible stays", QRect(-300, -200, 400, 300), QRect(-300, -200, 400, 300)},
        {"on the second screen", QRect(1500, 100, 400, 300), QRect(1500, 100, 400, 300)},
        {"far right and below", QRect(5000, 5000, 400, 300), QRect(624, 425, 400, 300)},
        {"far left and above", QRect(-5000, -5000, 400, 300), QRect(0, 25, 400, 300)},
        {"larger than the work area", QRect(9000, 100, 2000, 300), QRect(0, 100, 2000, 300)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(keptOnScreen(c.in, areas, workArea), c.out) << c.what;
}

TEST(FormPlacementWindow, ResizableUnlessTheSizeIsFixed)
{
    QWidget free;
    EXPECT_TRUE(isResizable(free));
    QWidget fixed;
    fixed.setFixedSize(200, 100);
    EXPECT_FALSE(isResizable(fixed));
    QWidget hinted(nullptr, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    EXPECT_FALSE(isResizable(hinted));
}

} // namespace
