#pragma once

#include <cstddef>

namespace vokrin::crashreport {

inline constexpr std::size_t kReportFileLimit = 50000;
// Trimming keeps less than the limit minus a quarter, so the file does not have to be
// cut again at the very next report.
inline constexpr std::size_t trimTarget(std::size_t limit)
{
    return limit - limit / 4;
}
// Scratch space appendReportFile needs for the default limit.
inline constexpr std::size_t kReportFileScratch = trimTarget(kReportFileLimit);

// Appends `report` and two CR LF to the file at `path` (created when missing). When the
// file then exceeds `limit` bytes, whole oldest reports are cut away: the rest starts at
// the first report (a line beginning with the "date/time" header line) from which it is
// shorter than limit - limit/4 bytes. When even the newest report alone is that long,
// everything before the newest report goes. A limit of 0 overwrites the file instead.
//
// A write that fails (full disk) is rolled back, so the file never ends in half a report,
// and the reports it held before stay as they were (also when overwriting).
// Uses only open/read/write/ftruncate on caller-owned scratch memory of at least
// trimTarget(limit) bytes, so the fatal-signal path can call it. Returns false when the
// file could not be written.
bool appendReportFile(const char *path, const char *report, std::size_t length, char *scratch,
                      std::size_t scratchSize, std::size_t limit = kReportFileLimit);

} // namespace vokrin::crashreport
