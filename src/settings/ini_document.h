#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>
#include <optional>
#include <vector>

namespace vokrin::settings {

// The longest value a read hands back, in characters; a longer value is cut.
inline constexpr qsizetype kIniMaxValueLength = 2047;

// The text of a settings file, kept line by line so that an edit rewrites only the line
// it touches: comments, blank lines, unknown lines, the order of sections and keys and
// the file's own line ends all survive a write byte for byte.
//
// Reading rules: a line whose first non-blank character is '[' opens a section named by
// the text up to ']' (or to the end of the line); a line holding '=' is key=value, both
// sides trimmed of blanks; a line starting with ';' is a comment; anything else is kept
// and ignored, as are keys before the first section. Names compare without regard to
// case; the first section of a name and the first key of a name within it win.
// The file is UTF-8 (a leading byte-order mark is skipped); bytes that are not valid
// UTF-8 read as U+FFFD but are written back unchanged unless their own line is edited.
// Parsing never fails and never reads outside the given bytes.
class IniDocument
{
public:
    static IniDocument parse(QByteArrayView bytes);

    // The value as the file holds it, trimmed of blanks (quotes not removed, not cut);
    // nothing when the section or the key is missing.
    std::optional<QString> storedValue(const QString &section, const QString &key) const;
    bool hasSection(const QString &section) const;

    // Sets the key's value. An existing key keeps its spelling and its place; a new key
    // goes after the last key of the section; a new section goes to the end of the file.
    // Line breaks inside the value are stored as blanks, since a value cannot span lines.
    // Throws std::invalid_argument for a section name holding ']' or a line break, or a
    // key holding '=' or a line break or starting with '[' or ';': such names could never
    // be read back.
    void setValue(const QString &section, const QString &key, const QString &value);

    QByteArray toBytes() const;

private:
    enum class Kind { Other, Section, Entry };
    struct Line
    {
        QByteArray text; // without its line end
        QByteArray end;  // "\r\n", "\n", "\r", or empty for a last line without one
        Kind kind = Kind::Other;
        QString name;  // section or key name, trimmed
        QString value; // entry value, trimmed
    };

    static Line classify(QByteArray text, QByteArray end, bool firstLine);
    qsizetype findSection(const QString &section) const;
    // Index of the key's line in the section starting at sectionLine, or -1.
    qsizetype findEntry(qsizetype sectionLine, const QString &key) const;
    QByteArray lineEnd() const;

    std::vector<Line> m_lines;
};

// What a read returns for a stored value: one pair of quotes (both single or both
// double) enclosing the whole value removed, then cut to kIniMaxValueLength characters.
QString iniValueForReading(const QString &stored);

// A whole number: "0x"/"0X" followed by up to 8 hex digits (0xFFFFFFFF reads as -1), or
// decimal with an optional sign that fits 32 bits. Nothing for any other text.
std::optional<int> parseIniInteger(const QString &text);

// A floating-point number in the locale's notation (its decimal separator, no group
// separators). Nothing for empty text, text that does not convert, infinities and NaN.
std::optional<double> parseIniFloat(const QString &text, const QLocale &locale);

} // namespace vokrin::settings
