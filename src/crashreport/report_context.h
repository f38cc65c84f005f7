#pragma once

#include <QString>

namespace vokrin::crashreport {

// What the box and its buttons work with.
struct ReportContext
{
    QString report;         // the report text, lines ended by CR LF
    QString programFolder;  // where "Save error" opens
    QString reportFile;     // the report file the report was appended to
    QString screenshotFile; // "screenShot.png" in the temporary folder, when it was taken
};

} // namespace vokrin::crashreport
