#include "crashreport/screenshot.h"
#include "test_env.h"

#include <QCursor>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

using namespace vokrin::crashreport;

namespace {

bool isEightBitPalettePng(const QByteArray &png)
{
    return png.startsWith("\x89PNG\r\n\x1a\n") && png.mid(12, 4) == "IHDR" &&
           static_cast<uchar>(png.at(24)) == 8 && static_cast<uchar>(png.at(25)) == 3;
}

} // namespace

TEST(Screenshot, ManyColoursBecomeAFaithful256ColourPalette)
{
    // A smooth two-way gradient has far more than 256 colours.
    QImage image(320, 240, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 255 / 319, y * 255 / 239, (x + y) % 256));
    const QImage indexed = reduceTo256Colours(image);
    ASSERT_FALSE(indexed.isNull());
    EXPECT_EQ(indexed.format(), QImage::Format_Indexed8);
    EXPECT_EQ(indexed.size(), image.size());
    EXPECT_LE(indexed.colorCount(), 256);
    EXPECT_GT(indexed.colorCount(), 128) << "an optimal palette uses what it is given";
    double error = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb a = image.pixel(x, y);
            const QRgb b = indexed.pixel(x, y);
            error += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                     std::abs(qBlue(a) - qBlue(b));
        }
    EXPECT_LT(error / (image.width() * image.height() * 3), 8.0);
}

TEST(Screenshot, FewColoursAreKeptExactly)
{
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    for (int i = 0; i < 64; ++i) {
        image.setPixel(i, i, qRgb(250, 0, 0));
        image.setPixel(63 - i, i, qRgb(0, 0, 250));
    }
    const QImage indexed = reduceTo256Colours(image);
    ASSERT_FALSE(indexed.isNull());
    for (const QPoint p : {QPoint(0, 0), QPoint(5, 5), QPoint(58, 5), QPoint(20, 40)})
        EXPECT_EQ(indexed.pixel(p), image.pixel(p)) << p.x() << "," << p.y();
    EXPECT_TRUE(reduceTo256Colours(QImage()).isNull());
}

TEST(Screenshot, TheWholeScreenWithTheCursorIsWrittenAsAPalettePng)
{
    const QString path =
        QString::fromStdString((vokrin::testing::makeTempDir("shot") / "screenShot.png").string());
    const QRect desktop = QGuiApplication::primaryScreen()->virtualGeometry();
    QCursor::setPos(desktop.topLeft() + QPoint(100, 80));
    ASSERT_TRUE(writeScreenshot(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(isEightBitPalettePng(file.readAll()));
    const QImage written(path);
    EXPECT_EQ(written.size(), desktop.size());
    // Inside the drawn arrow, just below its tip.
    const QPoint cursor = QCursor::pos() - desktop.topLeft();
    // (white, give or take what the palette reduction does to it)
    const QRgb inside = written.pixel(cursor + QPoint(2, 8));
    EXPECT_GT(std::min({qRed(inside), qGreen(inside), qBlue(inside)}), 200) << std::hex << inside;
    // and its dark outline on the left edge.
    const QRgb edge = written.pixel(cursor + QPoint(0, 10));
    EXPECT_LT(std::max({qRed(edge), qGreen(edge), qBlue(edge)}), 128) << std::hex << edge;
    EXPECT_TRUE(screenshotPath().endsWith(QStringLiteral("/screenShot.png")));
}
