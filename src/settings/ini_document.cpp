#include "settings/ini_document.h"

#include <QStringDecoder>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace vokrin::settings {
namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");

// UTF-8 without the decoder's habit of dropping a leading U+FEFF: inside the file that is
// a character of a name or value, not a byte-order mark.
QString decodeLine(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder(bytes);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArray withoutLineBreaks(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace('\r', ' ');
    bytes.replace('\n', ' ');
    return bytes;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

} // namespace

IniDocument::Line IniDocument::classify(QByteArray text, QByteArray end, bool firstLine)
{
    Line line;
    line.text = std::move(text);
    line.end = std::move(end);
    QByteArrayView body(line.text);
    if (firstLine && body.startsWith(kUtf8Bom))
        body = body.sliced(kUtf8Bom.size());
    const QString decoded = decodeLine(body).trimmed();
    if (decoded.startsWith(u'[')) {
        line.kind = Kind::Section;
        const qsizetype close = decoded.indexOf(u']');
        line.name = decoded.mid(1, close < 0 ? -1 : close - 1).trimmed();
    } else if (decoded.startsWith(u';')) {
        line.kind = Kind::Other;
    } else if (const qsizetype eq = decoded.indexOf(u'='); eq >= 0) {
        line.kind = Kind::Entry;
        line.name = decoded.left(eq).trimmed();
        line.value = decoded.mid(eq + 1).trimmed();
    }
    return line;
}

IniDocument IniDocument::parse(QByteArrayView bytes)
{
    IniDocument doc;
    qsizetype start = 0;
    const qsizetype size = bytes.size();
    while (start < size) {
        qsizetype pos = start;
        while (pos < size && bytes[pos] != '\r' && bytes[pos] != '\n')
            ++pos;
        qsizetype next = pos;
        if (pos < size) {
            next = pos + 1;
            if (bytes[pos] == '\r' && next < size && bytes[next] == '\n')
                ++next;
        }
        doc.m_lines.push_back(classify(bytes.sliced(start, pos - start).toByteArray(),
                                       bytes.sliced(pos, next - pos).toByteArray(),
                                       doc.m_lines.empty()));
        start = next;
    }
    return doc;
}

qsizetype IniDocument::findSection(const QString &section) const
{
    const QString wanted = section.trimmed();
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && sameName(m_lines[i].name, wanted))
            return qsizetype(i);
    }
    return -1;
}

qsizetype IniDocument::findEntry(qsizetype sectionLine, const QString &key) const
{
    const QString wanted = key.trimmed();
    for (size_t i = size_t(sectionLine) + 1; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        if (line.kind == Kind::Section)
            break;
        if (line.kind == Kind::Entry && sameName(line.name, wanted))
            return qsizetype(i);
    }
    return -1;
}

std::optional<QString> IniDocument::storedValue(const QString &section, const QString &key) const
{
    const qsizetype sectionLine = findSection(section);
    if (sectionLine < 0)
        return std::nullopt;
    const qsizetype entryLine = findEntry(sectionLine, key);
    if (entryLine < 0)
        return std::nullopt;
    return m_lines[size_t(entryLine)].value;
}

bool IniDocument::hasSection(const QString &section) const
{
    return findSection(section) >= 0;
}

QByteArray IniDocument::lineEnd() const
{
    // New lines follow the file's own convention.
    for (const Line &line : m_lines) {
        if (!line.end.isEmpty())
            return line.end;
    }
    return "\n";
}

void IniDocument::setValue(const QString &section, const QString &key, const QString &value)
{
    if (section.contains(u']') || section.contains(u'\n') || section.contains(u'\r'))
        throw std::invalid_argument("a settings section name cannot hold ']' or a line break");
    const QString trimmedKey = key.trimmed();
    if (key.contains(u'=') || key.contains(u'\n') || key.contains(u'\r') ||
        trimmedKey.startsWith(u'[') || trimmedKey.startsWith(u';'))
        throw std::invalid_argument(
            "a settings key cannot hold '=' or a line break, nor start with '[' or ';'");

    const QByteArray eol = lineEnd();
    const QByteArray valueBytes = withoutLineBreaks(value);
    const auto makeEntry = [&](const QByteArray &keyBytes) {
        return classify(keyBytes + '=' + valueBytes, eol, false);
    };

    qsizetype sectionLine = findSection(section);
    if (sectionLine >= 0) {
        const qsizetype entryLine = findEntry(sectionLine, key);
        if (entryLine >= 0) {
            Line &line = m_lines[size_t(entryLine)];
            // Keep the key's bytes as the file has them (its spelling, indentation and a
            // leading byte-order mark) and the line's own ending; only the value changes.
            const QByteArray keyPart = line.text.left(line.text.indexOf('=') + 1);
            line = classify(keyPart + valueBytes, line.end, entryLine == 0);
            return;
        }
        size_t insertAt = size_t(sectionLine) + 1;
        for (size_t i = insertAt; i < m_lines.size() && m_lines[i].kind != Kind::Section; ++i) {
            if (m_lines[i].kind == Kind::Entry)
                insertAt = i + 1;
        }
        if (m_lines[insertAt - 1].end.isEmpty())
            m_lines[insertAt - 1].end = eol;
        m_lines.insert(m_lines.begin() + qsizetype(insertAt), makeEntry(key.trimmed().toUtf8()));
        return;
    }

    if (!m_lines.empty()) {
        if (m_lines.back().end.isEmpty())
            m_lines.back().end = eol;
        // A blank line between sections, unless the file already ends with one.
        if (!m_lines.back().text.trimmed().isEmpty())
            m_lines.push_back(Line{{}, eol, Kind::Other, {}, {}});
    }
    m_lines.push_back(classify('[' + section.trimmed().toUtf8() + ']', eol, m_lines.empty()));
    m_lines.push_back(makeEntry(key.trimmed().toUtf8()));
}

QByteArray IniDocument::toBytes() const
{
    QByteArray bytes;
    for (const Line &line : m_lines)
        bytes += line.text + line.end;
    return bytes;
}

QString iniValueForReading(const QString &stored)
{
    QString value = stored;
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    if (value.size() > kIniMaxValueLength) {
        qsizetype cut = kIniMaxValueLength;
        // Never leave half of a surrogate pair behind.
        if (value.at(cut - 1).isHighSurrogate())
            --cut;
        value.truncate(cut);
    }
    return value;
}

std::optional<int> parseIniInteger(const QString &text)
{
    if (text.size() > 2 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
        quint64 value = 0;
        for (qsizetype i = 2; i < text.size(); ++i) {
            const int digit = hexDigit(text[i]);
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + quint64(digit);
            if (value > 0xFFFFFFFFu)
                return std::nullopt;
        }
        return int(quint32(value));
    }
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < u'0' || u > u'9')
            return std::nullopt;
        value = value * 10 + (u - u'0');
        if (value > qint64(std::numeric_limits<int>::max()) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value);
}

std::optional<double> parseIniFloat(const QString &text, const QLocale &locale)
{
    if (text.isEmpty())
        return std::nullopt;
    QLocale strict = locale;
    strict.setNumberOptions(strict.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(text, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace vokrin::settings
