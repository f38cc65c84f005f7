#include "screenshot.h"

#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <libimagequant.h>

namespace vokrin::crashreport {
namespace {

// The system does not hand out the cursor's picture, so the standard arrow is drawn at
// its position.
void drawArrowCursor(QPainter &painter, QPoint tip)
{
    QPainterPath arrow;
    const QPointF points[] = {{0, 0},   {0, 17}, {4, 13},  {7, 20},
                              {10, 19}, {7, 12}, {12, 12}, {0, 0}};
    arrow.moveTo(points[0]);
    for (const QPointF &point : points)
        arrow.lineTo(point);
    painter.save();
    painter.translate(tip);
    // Crisp like the system's own cursor pictures.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPath(arrow);
    painter.restore();
}

} // namespace

QImage grabVirtualScreen()
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return {};
    const QRect desktop = screens.first()->virtualGeometry();
    if (desktop.isEmpty())
        return {};
    QImage image(desktop.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    for (QScreen *screen : screens) {
        const QRect area = screen->geometry();
        const QPixmap shot = screen->grabWindow(0);
        if (!shot.isNull())
            painter.drawPixmap(QRect(area.topLeft() - desktop.topLeft(), area.size()), shot);
    }
    drawArrowCursor(painter, QCursor::pos() - desktop.topLeft());
    painter.end();
    return image;
}

QImage reduceTo256Colours(const QImage &image)
{
    if (image.isNull())
        return {};
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    const int width = rgba.width();
    const int height = rgba.height();
    liq_attr *attributes = liq_attr_create();
    if (attributes == nullptr)
        return {};
    liq_set_max_colors(attributes, 256);
    // Rows of a QImage may be padded, so hand the quantiser one pointer per row.
    std::vector<void *> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        rows[static_cast<std::size_t>(y)] = const_cast<uchar *>(rgba.constScanLine(y));
    liq_image *input = liq_image_create_rgba_rows(attributes, rows.data(), width, height, 0);
    liq_result *result = nullptr;
    QImage indexed;
    if (input != nullptr && liq_image_quantize(input, attributes, &result) == LIQ_OK) {
        indexed = QImage(width, height, QImage::Format_Indexed8);
        std::vector<unsigned char *> outRows(static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y)
            outRows[static_cast<std::size_t>(y)] = indexed.scanLine(y);
        if (liq_write_remapped_image_rows(result, input, outRows.data()) == LIQ_OK) {
            const liq_palette *palette = liq_get_palette(result);
            QList<QRgb> table;
            for (unsigned i = 0; i < palette->count; ++i) {
                const liq_color c = palette->entries[i];
                table << qRgba(c.r, c.g, c.b, c.a);
            }
            indexed.setColorTable(table);
        } else {
            indexed = QImage();
        }
        liq_result_destroy(result);
    }
    if (input != nullptr)
        liq_image_destroy(input);
    liq_attr_destroy(attributes);
    return indexed;
}

bool writeScreenshot(const QString &path)
{
    const QImage indexed = reduceTo256Colours(grabVirtualScreen());
    return !indexed.isNull() && indexed.save(path, "PNG");
}

QString screenshotPath()
{
    return QDir::temp().filePath(QStringLiteral("screenShot.png"));
}

} // namespace vokrin::crashreport
