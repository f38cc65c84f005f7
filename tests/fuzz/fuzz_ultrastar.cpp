// UltraStar reader: any bytes give lines sorted by time, none before the start, or an
// error with no lines; the kind test on the same bytes never fails either.
#include "content/timed_text.h"
#include "content/ultrastar_reader.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    (void)songTextKind(QStringLiteral("song.txt"), bytes);
    const TimedText read = readUltraStar(bytes);
    if (!read.ok()) {
        check(read.lines.isEmpty());
        return 0;
    }
    check(!read.lines.isEmpty());
    qint64 previous = 0;
    for (const TimedLine &line : read.lines) {
        check(line.ms >= previous);
        previous = line.ms;
    }
    return 0;
}
