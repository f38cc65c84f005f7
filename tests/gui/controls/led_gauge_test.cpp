#include "control_test_support.h"
#include "controls/colors.h"
#include "controls/led.h"
#include "controls/led_gauge.h"
#include "controls/program_styles.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using vokrin::controls::TMMLED;
using vokrin::controls::TMMLEDGauge;

using namespace controls_test;
using namespace vokrin::controls;

TEST(LedTest, LitStateIsTheEnabledPropertyAndPaintsTheFace)
{
    TMMLED led;
    led.setLit(false);
    EXPECT_TRUE(led.isEnabled()); // the widget stays usable
    // The settings store looks the state up by name: "Enabled" is the lit state.
    EXPECT_EQ(led.property("Enabled").toBool(), false);
    led.setProperty("Enabled", true);
    EXPECT_TRUE(led.isLit());
    EXPECT_TRUE(led.isEnabled());

    EXPECT_EQ(led.size(), QSize(16, 8));
    const QImage lit = rendered(led);
    EXPECT_EQ(lit.pixel(8, 4), qRgb(0, 255, 0));
    led.setLit(false);
    const QImage unlit = rendered(led);
    EXPECT_EQ(unlit.pixel(8, 4), qRgb(0, 128, 0));
    EXPECT_EQ(unlit.pixel(1, 1), qRgb(0, 128, 0));
    // The lowered bevel: shadow above, light below.
    EXPECT_EQ(unlit.pixel(8, 0) | 0xFF000000u,
              resolveColor(clBtnShadow, led.palette()).rgb() | 0xFF000000u);
    EXPECT_EQ(unlit.pixel(8, 7) | 0xFF000000u,
              resolveColor(clBtnHighlight, led.palette()).rgb() | 0xFF000000u);
}

TEST(LedTest, ClickRaisesClickAndLeavesTheStateAlone)
{
    TMMLED led;
    led.setLit(false);
    QSignalSpy clicks(&led, &TMMLED::Click);
    press(&led, QPoint(5, 4));
    release(&led, QPoint(5, 4));
    ASSERT_EQ(clicks.count(), 1);
    EXPECT_EQ(clicks.front().front().value<QObject *>(), &led);
    EXPECT_FALSE(led.isLit());
    // Released elsewhere, or with another button: no click. Setting the state: no event.
    press(&led, QPoint(5, 4));
    release(&led, QPoint(40, 40));
    press(&led, QPoint(5, 4), Qt::RightButton);
    release(&led, QPoint(5, 4), Qt::RightButton);
    led.setLit(true);
    EXPECT_EQ(clicks.count(), 1);
}

namespace {

std::unique_ptr<TMMLEDGauge> programGauge()
{
    auto gauge = std::make_unique<TMMLEDGauge>();
    styleProgramGauge(*gauge);
    return gauge;
}

// Spot q (from 1) of the program's bar: inner area starts at 1, spots 2 pixels apart.
int spotColumn(int q)
{
    return 1 + 2 * (q - 1);
}

} // namespace

TEST(GaugeTest, ProgressFiftyLightsHalfOfTheHundredAndFourSpots)
{
    auto gauge = programGauge();
    EXPECT_EQ(gauge->size(), QSize(210, 10));
    EXPECT_EQ(gauge->spotCount(), 104);
    gauge->setProgress(50);
    EXPECT_EQ(gauge->litCount(), 52);

    const QImage image = rendered(*gauge);
    const QRgb aqua = qRgb(0, 255, 255);
    const QRgb teal = qRgb(0, 128, 128);
    for (int q = 1; q <= 104; ++q) {
        for (int y = 1; y <= 8; ++y)
            ASSERT_EQ(image.pixel(spotColumn(q), y), q <= 52 ? aqua : teal) << "spot " << q;
        // The gap after each spot is the background.
        if (q < 104) {
            ASSERT_EQ(image.pixel(spotColumn(q) + 1, 4), qRgb(0, 0, 0)) << "gap " << q;
        }
    }
}

TEST(GaugeTest, ProgressIsClampedAndLightsAtMostAllSpots)
{
    struct Case
    {
        int request, stored, lit;
    };
    const Case cases[] = {{150, 100, 104}, {-5, 0, 0}, {1, 1, 1}, {99, 99, 102}, {100, 100, 104}};
    for (const Case &c : cases) {
        auto gauge = programGauge();
        gauge->setProgress(c.request);
        EXPECT_EQ(gauge->progress(), c.stored) << c.request;
        EXPECT_EQ(gauge->litCount(), c.lit) << c.request;
        gauge->setProperty("Progress", c.request);
        EXPECT_EQ(gauge->progress(), c.stored);
    }
    auto gauge = programGauge();
    gauge->setProgress(150);
    const QImage image = rendered(*gauge);
    EXPECT_EQ(image.pixel(spotColumn(104), 4), qRgb(0, 255, 255));
}

TEST(GaugeTest, ZonesTakeTheirOwnColours)
{
    TMMLEDGauge gauge; // default colours: aqua, aqua, red over teal, teal, maroon
    gauge.resize(202, 10);
    // Inner 200 by 8: 100 spots, zones end after 50 and 85.
    ASSERT_EQ(gauge.spotCount(), 100);
    gauge.setProgress(90);
    const QImage image = rendered(gauge);
    const auto column = [](int q) { return 1 + 2 * (q - 1); };
    EXPECT_EQ(image.pixel(column(50), 4), qRgb(0, 255, 255));
    EXPECT_EQ(image.pixel(column(85), 4), qRgb(0, 255, 255));
    EXPECT_EQ(image.pixel(column(86), 4), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(column(90), 4), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(column(91), 4), qRgb(128, 0, 0));
    EXPECT_EQ(image.pixel(column(100), 4), qRgb(128, 0, 0));
    // Zone points, spot space and progress are kept in their ranges.
    gauge.setPoint1(0);
    gauge.setPoint2(500);
    gauge.setSpotSpace(20);
    EXPECT_EQ(gauge.point1(), 1);
    EXPECT_EQ(gauge.point2(), 100);
    EXPECT_EQ(gauge.spotSpace(), 10);
}
