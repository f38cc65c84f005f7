#include "report_printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QMarginsF>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QRegularExpression>

namespace vokrin::crashreport {

QStringList wrapLine(const QString &line, const std::function<qreal(const QString &)> &widthOf,
                     qreal maxWidth)
{
    QStringList pieces;
    QString rest = line;
    while (!rest.isEmpty() && widthOf(rest) > maxWidth) {
        // The longest prefix that fits, found by bisection on the character count.
        qsizetype low = 1;
        qsizetype high = rest.size();
        while (low < high) {
            const qsizetype middle = (low + high + 1) / 2;
            if (widthOf(rest.left(middle)) <= maxWidth)
                low = middle;
            else
                high = middle - 1;
        }
        qsizetype cut = low;
        // Prefer to break after the last blank inside the fitting part.
        const qsizetype blank = rest.left(low + 1).lastIndexOf(QLatin1Char(' '));
        if (blank > 0)
            cut = blank + 1;
        QString piece = rest.left(cut);
        while (piece.endsWith(QLatin1Char(' ')))
            piece.chop(1);
        pieces << piece;
        rest = rest.mid(cut);
        // Blanks at the start of a continuation carry nothing.
        while (rest.startsWith(QLatin1Char(' ')))
            rest.remove(0, 1);
    }
    if (!rest.isEmpty() || pieces.isEmpty())
        pieces << rest;
    return pieces;
}

std::vector<QStringList> paginate(const QStringList &lines, int linesPerPage)
{
    const int perPage = linesPerPage < 1 ? 1 : linesPerPage;
    std::vector<QStringList> pages;
    for (qsizetype i = 0; i < lines.size(); i += perPage)
        pages.push_back(lines.mid(i, perPage));
    if (pages.empty())
        pages.emplace_back();
    return pages;
}

bool printReportText(QPrinter &printer, const QString &report)
{
    printer.setDocName(QStringLiteral("Print error"));
    printer.setFullPage(false);
    printer.setPageMargins(QMarginsF(20, 10, 10, 10), QPageLayout::Millimeter);

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSizeF(8);
    painter.setFont(font);
    const QFontMetricsF metrics(painter.font(), painter.device());
    const QRectF area = printer.pageLayout().paintRectPixels(printer.resolution());
    const qreal width = area.width();
    const qreal lineHeight = metrics.lineSpacing();

    QStringList lines;
    const auto widthOf = [&metrics](const QString &text) {
        return metrics.horizontalAdvance(text);
    };
    QString text = report;
    text.remove(QLatin1Char('\r'));
    for (const QString &line : text.split(QLatin1Char('\n')))
        lines << wrapLine(line, widthOf, width);
    // A report ends with CR LF; that last empty piece is not a line of its own.
    while (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();

    const int perPage = static_cast<int>(area.height() / lineHeight);
    const auto pages = paginate(lines, perPage);
    for (std::size_t page = 0; page < pages.size(); ++page) {
        if (page > 0)
            printer.newPage();
        qreal y = metrics.ascent();
        for (const QString &line : pages[page]) {
            painter.drawText(QPointF(0, y), line);
            y += lineHeight;
        }
    }
    return painter.end();
}

} // namespace vokrin::crashreport
