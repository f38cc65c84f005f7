#include "report_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vokrin::crashreport {
namespace {

// A report starts with this line; "exec. date/time" and "module date/time" further down
// a report must not count as a start, so the match is the padded label at a line start.
constexpr char kReportStart[] = "date/time         : ";
constexpr std::size_t kReportStartLength = sizeof(kReportStart) - 1;

bool preadAll(int fd, char *data, std::size_t length, off_t offset)
{
    while (length > 0) {
        const ssize_t n = ::pread(fd, data, length, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        data += n;
        offset += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool pwriteAll(int fd, const char *data, std::size_t length, off_t offset)
{
    while (length > 0) {
        const ssize_t n = ::pwrite(fd, data, length, offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return false;
        data += n;
        offset += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

bool isReportStart(const char *text, std::size_t available)
{
    if (available < kReportStartLength)
        return false;
    for (std::size_t i = 0; i < kReportStartLength; ++i)
        if (text[i] != kReportStart[i])
            return false;
    return true;
}

// Moves the bytes [from, size) to the start of the file and cuts the file there.
bool moveToStart(int fd, off_t from, off_t size, char *scratch, std::size_t scratchSize)
{
    off_t done = 0;
    const off_t total = size - from;
    while (done < total) {
        const off_t left = total - done;
        const std::size_t chunk =
            left < static_cast<off_t>(scratchSize) ? static_cast<std::size_t>(left) : scratchSize;
        if (!preadAll(fd, scratch, chunk, from + done) || !pwriteAll(fd, scratch, chunk, done))
            return false;
        done += static_cast<off_t>(chunk);
    }
    return ::ftruncate(fd, total) == 0;
}

// Cuts whole oldest reports so the file is shorter than the trim target; `newestStart` is
// where the report just appended begins.
bool trimOldReports(int fd, off_t size, off_t newestStart, char *scratch, std::size_t scratchSize,
                    std::size_t limit)
{
    const auto keepBelow = static_cast<off_t>(trimTarget(limit));
    // The earliest start allowed leaves at most keepBelow - 1 bytes; one byte before it is
    // read as well to see whether a line begins there.
    const off_t earliest = size - (keepBelow - 1);
    const off_t windowStart = earliest - 1;
    const auto windowLength = static_cast<std::size_t>(size - windowStart);
    if (windowLength > scratchSize)
        return false;
    if (!preadAll(fd, scratch, windowLength, windowStart))
        return false;
    off_t cut = -1;
    for (std::size_t i = 1; i < windowLength; ++i) {
        if (scratch[i - 1] == '\n' && isReportStart(scratch + i, windowLength - i)) {
            cut = windowStart + static_cast<off_t>(i);
            break;
        }
    }
    if (cut < 0)
        cut = newestStart; // the newest report alone is too long: keep it whole
    if (cut <= 0)
        return true;
    return moveToStart(fd, cut, size, scratch, scratchSize);
}

constexpr char kTail[] = "\r\n\r\n";
constexpr std::size_t kTailLength = sizeof(kTail) - 1;

// Writes the bytes [from, to) of `report` followed by kTail at the same offsets of the file.
bool writeReportRange(int fd, const char *report, std::size_t length, std::size_t from,
                      std::size_t to)
{
    if (from < length) {
        const std::size_t end = to < length ? to : length;
        if (!pwriteAll(fd, report + from, end - from, static_cast<off_t>(from)))
            return false;
        from = end;
    }
    if (from < to && !pwriteAll(fd, kTail + (from - length), to - from, static_cast<off_t>(from)))
        return false;
    return true;
}

// Replaces the file's content with the report. The part that grows the file is written
// first, so a full disk stops the write before a byte of the old report is touched; the
// rest then lands on blocks the file already has.
bool overwriteWithReport(int fd, off_t oldSize, const char *report, std::size_t length)
{
    const std::size_t newSize = length + kTailLength;
    const auto old = static_cast<std::size_t>(oldSize);
    if (newSize > old && !writeReportRange(fd, report, length, old, newSize)) {
        if (::ftruncate(fd, oldSize) != 0) {
            // Nothing more can be done; the caller learns that the write failed.
        }
        return false;
    }
    if (!writeReportRange(fd, report, length, 0, newSize < old ? newSize : old))
        return false;
    return newSize >= old || ::ftruncate(fd, static_cast<off_t>(newSize)) == 0;
}

} // namespace

bool appendReportFile(const char *path, const char *report, std::size_t length, char *scratch,
                      std::size_t scratchSize, std::size_t limit)
{
    const int fd = ::open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return false;
    }
    const off_t oldSize = info.st_size;
    if (limit == 0) {
        bool ok = overwriteWithReport(fd, oldSize, report, length);
        if (::close(fd) != 0)
            ok = false;
        return ok;
    }
    if (!pwriteAll(fd, report, length, oldSize) ||
        !pwriteAll(fd, kTail, kTailLength, oldSize + static_cast<off_t>(length))) {
        // Never leave half a report behind.
        if (::ftruncate(fd, oldSize) != 0) {
            // Nothing more can be done; the caller learns that the write failed.
        }
        ::close(fd);
        return false;
    }
    const off_t newSize = oldSize + static_cast<off_t>(length + kTailLength);
    bool ok = true;
    if (limit > 0 && newSize > static_cast<off_t>(limit))
        ok = trimOldReports(fd, newSize, oldSize, scratch, scratchSize, limit);
    if (::close(fd) != 0)
        ok = false;
    return ok;
}

} // namespace vokrin::crashreport
