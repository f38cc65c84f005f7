#pragma once

#include "report_context.h"

class QWidget;

namespace vokrin::crashreport {

// "Save error": the save dialog in the program's folder; the report is appended to the
// chosen file like to the report file. False when cancelled or the file could not be
// written (then a message says so).
bool saveReportAs(QWidget *parent, const ReportContext &context);

// "Print error": the printer dialog, then the report. False when cancelled.
bool printReport(QWidget *parent, const ReportContext &context);

// "E-mail error": the report as the text of a mail with the subject "bug report", the
// report file and the screenshot attached, then a message saying whether it went.
bool mailReport(QWidget *parent, const ReportContext &context);

} // namespace vokrin::crashreport
