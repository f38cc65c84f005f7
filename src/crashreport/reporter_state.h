#pragma once

#include "report_header.h"
#include "system_info.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <string>
#include <vector>

namespace vokrin::crashreport {

// Everything the reporter fixes at start-up. Plain arrays, so the fatal-signal path can
// read it without allocating.
struct ReporterState
{
    bool installed = false;
    // The program's arguments as they were at start, in storage of the reporter's own:
    // the toolkit removes its options from the caller's argv in place later, and a
    // restart must run the program as it was started.
    int argc = 0;
    char **argv = nullptr;
    std::vector<std::string> argumentText;
    std::vector<char *> argumentPointers;
    ReportHeader header;
    ProcessFacts facts;
    char programPath[4096] = {};
    char programFolder[4096] = {};
    char programName[256] = {};
    char reportFile[4096] = {};
    char helperPath[4096] = {};
    char programVersion[64] = {};
};

ReporterState &reporterState();

// The report file: "bugreport.txt" in the program's folder, or in the per-user state
// folder ($XDG_STATE_HOME/vokrin) when the program's folder cannot be written.
QString defaultReportFile(const QString &programFolder);
// Replaces the report file (a relative name is taken relative to the program's folder).
void setReportFile(const QString &fileName);

// The helper program that walks stacks and shows the box after a fatal signal. In the
// build tree it lives beside the program; an installed program finds it in its private
// folder (libexec/vokrin beside bin/).
inline constexpr char kHelperName[] = "vokrin-crashreport";
// The helper for a program in `programFolder`: the executable beside it, else the one in
// the installed layout, else (when neither is there) the path beside it.
QString helperPathFor(const QString &programFolder);

// Collects the header and the paths and copies the arguments; called by install, and by
// tests that report without installing the handlers.
void prepareReporter(int argc, char **argv);

// The arguments after the program's name, as they were when the reporter was prepared.
QStringList startArguments();

} // namespace vokrin::crashreport
