// List file reader: any bytes split into lines without line ends or zero bytes, and the
// lines written back with CR LF read back the same.
#include "content/list_file.h"

#include <QFile>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace vokrin::content;

namespace {

// Stops the run on a broken promise, naming the line of the check.
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
    const QList<QByteArray> lines = splitListLines(bytes);
    qsizetype total = 0;
    for (const QByteArray &line : lines) {
        check(!line.contains('\r') && !line.contains('\n') && !line.contains('\0'));
        total += line.size();
    }
    check(total <= bytes.size());

    QByteArray rejoined;
    for (const QByteArray &line : lines)
        rejoined += line + "\r\n";
    check(splitListLines(rejoined) == lines);

    // The same through paths, as the catalogue writes them; file names that are not valid
    // in the file-name codec are not representable and may change on the way.
    QStringList paths;
    for (const QByteArray &line : lines)
        paths.append(QFile::decodeName(line));
    const QByteArray written = serializeList(paths);
    QStringList readBack;
    for (const QByteArray &line : splitListLines(written))
        readBack.append(QFile::decodeName(line));
    check(readBack == paths);
    return 0;
}
