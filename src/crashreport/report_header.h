#pragma once

#include "safe_buffer.h"

#include <cstddef>
#include <cstdint>

namespace vokrin::crashreport {

// The header lines of a report, in the order they are written. Every value is a fixed
// zero-terminated array so the fatal-signal path can fill and write the header without
// allocating.
enum HeaderField : int {
    DateTime,
    ComputerName,
    WtsClientName,
    UserName,
    OperatingSystem,
    SystemLanguage,
    SystemUpTime,
    ProgramUpTime,
    Processor,
    Processors,
    PhysicalMemory,
    SystemResources,
    FreeDiskSpace,
    DisplayMode,
    ProcessId,
    AllocatedMemory,
    CommandLine,
    Executable,
    CurrentModule,
    ExecDateTime,
    ModuleDateTime,
    Version,
    BdeVersion,
    ReporterVersion,
    ExceptionClass,
    ExceptionMessage,
    HeaderFieldCount
};

inline constexpr std::size_t kHeaderLabelWidth = 18;
inline constexpr std::size_t kHeaderValueCapacity = 1024;

const char *headerLabel(HeaderField field);

struct ReportHeader
{
    char values[HeaderFieldCount][kHeaderValueCapacity] = {};

    void set(HeaderField field, const char *value)
    {
        safeCopy(values[field], kHeaderValueCapacity, value);
    }
    const char *get(HeaderField field) const { return values[field]; }
};

// "label" padded with blanks to 18 characters, ": ", the value, CR LF. A value with line
// breaks continues on the next lines as it is.
void writeHeaderLine(SafeBuffer &out, const char *label, const char *value);
// All header lines in order.
void writeHeader(SafeBuffer &out, const ReportHeader &header);

// Calendar date and clock time of `unixSeconds` shifted by `utcOffsetSeconds`, as
// "2026-12-09, 23:15:02.123". Plain arithmetic, safe in a signal handler.
void writeDateTime(SafeBuffer &out, std::int64_t unixSeconds, int milliseconds,
                   std::int64_t utcOffsetSeconds);
// A duration as "3 days 04:05:06" (the day part only when there is one).
void writeDuration(SafeBuffer &out, std::uint64_t seconds);

} // namespace vokrin::crashreport
