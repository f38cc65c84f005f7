// Settings file reader: any bytes parse; an unedited document writes back byte for byte;
// a write reads back and leaves every other value as it was.
#include "settings/ini_document.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace vokrin::settings;

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

// A name for the fuzzer to write to, taken from the data so that it often hits sections
// and keys the file already has.
QString nameFrom(QByteArrayView bytes, qsizetype from, const char *forbidden)
{
    QString name = QString::fromUtf8(bytes.sliced(std::min(from, bytes.size()))).left(12);
    for (const char *c = forbidden; *c != '\0'; ++c)
        name.remove(QChar::fromLatin1(*c));
    name.remove(u'\r').remove(u'\n');
    // left() may split a surrogate pair; the program never names things with half a
    // character, so neither does the fuzzer.
    return QString::fromUtf8(name.toUtf8());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    IniDocument doc = IniDocument::parse(bytes);
    check(doc.toBytes() == bytes);

    const QString section = nameFrom(bytes, 1, "]").trimmed();
    QString key = nameFrom(bytes, qsizetype(size / 2), "=").trimmed();
    if (key.startsWith(u'[') || key.startsWith(u';'))
        key.prepend(u'k'); // such a key would read as a section or a comment
    const QString otherSection = QStringLiteral("TMainForm");
    const QString otherKey = QStringLiteral("Volume_Value");
    const std::optional<QString> otherBefore = doc.storedValue(otherSection, otherKey);
    const bool sameEntry = section.compare(otherSection, Qt::CaseInsensitive) == 0 &&
                           key.compare(otherKey, Qt::CaseInsensitive) == 0;

    const QString value = QString::fromUtf8(bytes.first(std::min<qsizetype>(size, 40)));
    doc.setValue(section, key, value);
    const IniDocument reread = IniDocument::parse(doc.toBytes());
    QString expected = value;
    expected.replace(u'\r', u' ').replace(u'\n', u' ');
    const std::optional<QString> stored = reread.storedValue(section, key);
    check(stored.has_value() && *stored == expected.trimmed());
    check(reread.hasSection(section));
    if (!sameEntry)
        check(reread.storedValue(otherSection, otherKey) == otherBefore);

    const QString read = iniValueForReading(*stored);
    check(read.size() <= kIniMaxValueLength);
    (void)parseIniInteger(read);
    (void)parseIniFloat(read, QLocale::c());
    return 0;
}
