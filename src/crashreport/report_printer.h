#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QPrinter;

namespace vokrin::crashreport {

// Splits one line so that every piece is at most `maxWidth` wide by `widthOf`, breaking
// after blanks where it can and inside a word only when the word alone is too wide.
// An empty line stays one empty piece.
QStringList wrapLine(const QString &line, const std::function<qreal(const QString &)> &widthOf,
                     qreal maxWidth);

// Groups lines into pages of at most `linesPerPage` lines (at least one per page).
std::vector<QStringList> paginate(const QStringList &lines, int linesPerPage);

// Prints the report in "Courier New" 8 points with margins of 10 mm top and bottom, 20 mm
// left and 10 mm right, every line word-wrapped, a new page whenever the next line does
// not fit. The job is named "Print error". False when the printer could not be started.
bool printReportText(QPrinter &printer, const QString &report);

} // namespace vokrin::crashreport
