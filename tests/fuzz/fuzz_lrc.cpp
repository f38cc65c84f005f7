// LRC reader: any bytes give lines sorted by time or an error with no lines, and what the
// LRC writer makes of the lines reads back to the same times within a hundredth.
#include "content/lrc_reader.h"
#include "content/lrc_writer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace vokrin::content;

namespace {

#define check(condition) checkAt((condition), __LINE__)
void checkAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "check failed at line %d of %s\n", line, __FILE__);
        std::abort();
    }
}

// The writer's minutes have no limit; the reader takes five digits of them.
constexpr qint64 kLongestReadBack = qint64(99999) * 60000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const TimedText read = readLrc(bytes);
    if (!read.ok()) {
        check(read.lines.isEmpty());
        return 0;
    }
    check(!read.lines.isEmpty());
    qint64 previous = 0;
    bool readsBack = true;
    for (const TimedLine &line : read.lines) {
        check(line.ms >= previous);
        previous = line.ms;
        readsBack = readsBack && line.ms < kLongestReadBack;
    }
    if (!readsBack)
        return 0;
    const TimedText again = readLrc(writeLrc(read.lines, {123456, QStringLiteral("fuzz")}));
    check(again.ok());
    check(again.lines.size() == read.lines.size());
    for (qsizetype i = 0; i < read.lines.size(); ++i)
        check(std::abs(again.lines[i].ms - read.lines[i].ms) <= 5);
    return 0;
}
