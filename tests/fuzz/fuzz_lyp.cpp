// Song project reader: any bytes must parse without reading outside them, and what it
// reads must write and read back to the same project.
#include "content/project_file.h"
#include "content/text_codec.h"

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

void checkText(const QByteArray &text)
{
    check(text.size() <= kProjectFieldSize);
    check(!text.contains('\0'));
    // Windows-1251 maps every byte both ways.
    check(encodeText(decodeText(text, TextEncoding::Windows1251), TextEncoding::Windows1251) ==
          text);
    const QByteArray cut = cutAtCharacterBoundary(text, text.size() / 2);
    check(cut.size() <= text.size() / 2 && text.startsWith(cut));
    (void)decodeText(text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    const ProjectReadResult read = parseProject(bytes);
    checkText(read.project.backingTrackName);
    for (const QByteArray &line : read.project.lines)
        checkText(line);
    // Nothing can be read that the data does not hold.
    check(4 * read.project.cues.size() + kProjectFieldSize * read.project.lines.size() <=
          bytes.size());

    const QByteArray written = serializeProject(read.project);
    check(written.size() ==
          263 + 4 * read.project.cues.size() + kProjectFieldSize * read.project.lines.size());
    const ProjectReadResult again = parseProject(written);
    check(!again.truncated);
    check(again.project == read.project);
    if (!read.truncated)
        check(written.size() <= bytes.size());
    return 0;
}
