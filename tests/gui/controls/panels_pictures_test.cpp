#include "control_test_support.h"
#include "controls/bevel.h"
#include "controls/builtin_pictures.h"
#include "controls/colors.h"
#include "controls/panel_fill.h"
#include "controls/program_styles.h"
#include "controls/rx_label.h"
#include "controls/wheel.h"

#include <QPainter>
#include <gtest/gtest.h>

using vokrin::controls::TMMBevel;
using vokrin::controls::TMMPanelFill;
using vokrin::controls::TMMWheel;
using vokrin::controls::TRxLabel;

using namespace controls_test;
using namespace vokrin::controls;

TEST(BevelTest, TotalWidthCountsOnlyWhatIsDrawn)
{
    struct Case
    {
        TMMBevel::BorderStyleKind style;
        TMMBevel::BevelKind outer;
        int outerWidth, borderWidth;
        TMMBevel::BevelKind inner;
        int innerWidth, space, expected;
    };
    const Case cases[] = {
        {TMMBevel::bsNone, TMMBevel::bvLowered, 1, 0, TMMBevel::bvNone, 1, 0, 1},
        {TMMBevel::bsNone, TMMBevel::bvLowered, 1, 0, TMMBevel::bvNone, 1, 2, 3},
        {TMMBevel::bsNone, TMMBevel::bvNone, 3, 0, TMMBevel::bvNone, 2, 0, 0},
        {TMMBevel::bsSingle, TMMBevel::bvRaised, 2, 1, TMMBevel::bvLowered, 2, 1, 7},
        {TMMBevel::bsNone, TMMBevel::bvSpace, 2, 0, TMMBevel::bvNone, 1, 0, 2},
    };
    for (const Case &c : cases) {
        TMMBevel bevel;
        bevel.setBorderStyle(c.style);
        bevel.setBevelOuter(c.outer);
        bevel.setBevelOuterWidth(c.outerWidth);
        bevel.setBorderWidth(c.borderWidth);
        bevel.setBevelInner(c.inner);
        bevel.setBevelInnerWidth(c.innerWidth);
        bevel.setBorderSpace(c.space);
        EXPECT_EQ(bevel.totalWidth(), c.expected);
    }
}

TEST(BevelTest, PaintsFromOutsideInwards)
{
    TMMBevel bevel;
    bevel.setBorderStyle(TMMBevel::bsSingle);
    bevel.setBevelOuter(TMMBevel::bvRaised);
    bevel.setOuterLightColor(clWhite);
    bevel.setOuterShadowColor(clGray);
    bevel.setBorderWidth(1);
    bevel.setBorderColor(clRed);
    bevel.setBorderSpace(1);
    bevel.setBorderSpaceColor(clBlue);
    QImage image(20, 20, QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter painter(&image);
    const QRect inner = bevel.paint(painter, image.rect(), QPalette());
    painter.end();
    EXPECT_EQ(inner, QRect(4, 4, 12, 12));
    const QPalette palette;
    EXPECT_EQ(image.pixel(10, 0), resolveColor(clWindowFrame, palette).rgb());
    EXPECT_EQ(image.pixel(10, 1), qRgb(255, 255, 255));  // raised: light on top
    EXPECT_EQ(image.pixel(10, 18), qRgb(128, 128, 128)); // shadow below
    EXPECT_EQ(image.pixel(2, 10), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(3, 10), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(4, 10), qRgb(0, 255, 0)); // the content is untouched
}

TEST(PanelFillTest, ProgramPanelIsFilledWithABlackBorderSpace)
{
    TMMPanelFill panel;
    styleProgramFillPanel(panel);
    panel.resize(30, 20);
    EXPECT_EQ(panel.Bevel()->totalWidth(), 1);
    const QImage image = rendered(panel);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(29, 10), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(15, 10), qRgb(216, 218, 226));
    EXPECT_EQ(image.pixel(1, 1), qRgb(216, 218, 226));
    // Children that follow their parent's colour take the panel's.
    auto *knob = new TMMWheel(&panel);
    EXPECT_EQ(rendered(*knob).pixel(0, 0), qRgb(216, 218, 226));
    panel.setColor(clWhite);
    EXPECT_EQ(rendered(*knob).pixel(0, 0), qRgb(255, 255, 255));
}

TEST(RxLabelTest, ShadowIsDrawnOnePixelOffInTheHighlightColour)
{
    struct Case
    {
        TRxLabel::ShadowPosition position;
        QPoint offset;
    };
    for (const Case &c :
         {Case{TRxLabel::spLeftTop, {-1, -1}}, Case{TRxLabel::spRightBottom, {1, 1}}}) {
        TRxLabel label(QStringLiteral("HIH"));
        QFont font = label.font();
        font.setStyleStrategy(QFont::NoAntialias);
        font.setPixelSize(14);
        label.setFont(font);
        QPalette palette = label.palette();
        palette.setColor(QPalette::WindowText, Qt::black);
        palette.setColor(QPalette::Light, Qt::white);
        label.setPalette(palette);
        label.setShadowPos(c.position);
        label.resize(label.sizeHint());
        QImage image(label.size(), QImage::Format_RGB32);
        image.fill(qRgb(0, 0, 255));
        label.render(&image);
        // Every pure-black text pixel has its shadow pixel at the offset unless the
        // text itself covers that place.
        int text = 0, shadowed = 0;
        for (int y = 1; y + 1 < image.height(); ++y)
            for (int x = 1; x + 1 < image.width(); ++x) {
                if (image.pixel(x, y) != qRgb(0, 0, 0))
                    continue;
                ++text;
                const QRgb behind = image.pixel(QPoint(x, y) + c.offset);
                shadowed += behind == qRgb(255, 255, 255) || behind == qRgb(0, 0, 0);
            }
        EXPECT_GT(text, 10);
        EXPECT_EQ(shadowed, text);
        int light = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                light += image.pixel(x, y) == qRgb(255, 255, 255);
        EXPECT_GT(light, 5);
    }
}

TEST(BuiltInPicturesTest, SizesAndTransparentCorners)
{
    struct Case
    {
        const QImage &picture;
        QSize size;
    };
    const Case cases[] = {
        {programWheelPicture(), {25, 24}}, {defaultWheelPicture(), {32, 32}},
        {sliderTrackPicture(), {19, 81}},  {sliderThumbPicture(), {9, 19}},
        {verticalSwitchGlyph(), {54, 11}}, {horizontalSwitchGlyph(), {33, 18}},
        {colorButtonArrow(), {5, 5}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.picture.size(), c.size);
        // The four corners carry the one transparent colour, used nowhere else in a
        // thumb or knob's opaque body.
        const QRgb key = c.picture.pixel(0, c.picture.height() - 1);
        EXPECT_EQ(c.picture.pixel(0, 0), key);
        EXPECT_EQ(c.picture.pixel(c.picture.width() - 1, 0), key);
    }
    // The program's knob: a dark rim around a lighter face.
    const QImage &knob = programWheelPicture();
    const QColor rim = QColor::fromRgb(knob.pixel(12, 1));
    const QColor face = QColor::fromRgb(knob.pixel(12, 12));
    EXPECT_LT(rim.lightness(), 80);
    EXPECT_GT(face.lightness(), rim.lightness() + 60);
    // The switch cells: dark green, grey, bright green.
    const QImage &lever = verticalSwitchGlyph();
    const QColor rest = QColor::fromRgb(lever.pixel(5, 5));
    const QColor disabled = QColor::fromRgb(lever.pixel(18 + 5, 5));
    const QColor dragged = QColor::fromRgb(lever.pixel(36 + 5, 5));
    EXPECT_GT(rest.green(), rest.red() + 40);
    EXPECT_LT(std::abs(disabled.green() - disabled.red()), 10);
    EXPECT_GT(dragged.green(), rest.green() + 60);
}
