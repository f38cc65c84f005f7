#pragma once

#include "report_header.h"

#include <cstdint>
#include <ctime>

namespace vokrin::crashreport {

// What the dynamic header lines need, captured once at start-up.
struct ProcessFacts
{
    std::int64_t utcOffsetSeconds = 0; // local time zone at start-up
    timespec startMonotonic{};
    long pageSize = 4096;
    char diskFolder[4096] = {}; // the folder whose file system "free disk space" reports
};

// Fills the header lines that do not change while the program runs (computer, user,
// system, processor, command line, executable and its time stamp, versions) and the
// facts the dynamic lines need. Ordinary code: call at start-up, not in a signal handler.
void collectStaticHeader(ReportHeader &header, ProcessFacts &facts, int argc, char **argv);

// Screen size and colour depth of the primary screen; needs a QGuiApplication.
void collectDisplayMode(ReportHeader &header);

// Fills the lines that change: date/time, up times, free memory, free disk space,
// process id, allocated memory. Only system calls, safe in a signal handler.
void collectDynamicHeader(ReportHeader &header, const ProcessFacts &facts);

// argv joined by blanks, an argument with blanks or quotes quoted in the shell's way.
void writeCommandLine(SafeBuffer &out, int argc, const char *const *argv);

} // namespace vokrin::crashreport
