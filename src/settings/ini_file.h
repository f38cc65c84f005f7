#pragma once

#include <QString>
#include <optional>
#include <stdexcept>

namespace vokrin::settings {

// Raised when the file system refuses a write to the settings file.
// what() and message() read "Unable to write to <file name>".
class EIniFileException : public std::runtime_error
{
public:
    explicit EIniFileException(const QString &fileName);
    QString message() const { return QString::fromUtf8(what()); }
};

// Where a settings file given by bare name lives: the per-user config folder
// ($XDG_CONFIG_HOME/vokrin/), where bare names match without regard to case, so
// "vokrin.ini" and "vokrin.INI" are one file. A name with a folder is used as it is.
QString resolveSettingsFile(const QString &fileName);

// The settings file with the behaviour of the classic profile functions: nothing is
// cached, every read reads the file again and every write goes to disk at once;
// sections and keys compare without regard to case; other sections, keys and their
// order survive a write; a value reads back as at most 2047 characters, with one pair
// of enclosing quotes (single or double) removed; a missing file reads as empty and the
// first write creates it (and its folder). Writes replace the file atomically.
// WriteString stores the text as given (line breaks become blanks, since a value cannot
// span lines); a caller that wants enclosing quotes back wraps the text in one more pair.
// A file that exists but cannot be read reads as empty and refuses writes (rather than
// being replaced without its other entries). The file is UTF-8.
class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);

    // The resolved path of the file.
    const QString &FileName() const { return m_path; }

    QString ReadString(const QString &section, const QString &key, const QString &def) const;
    void WriteString(const QString &section, const QString &key, const QString &value);

    // "0x"/"0X" + hex digits is hexadecimal, other text decimal; anything else gives def.
    int ReadInteger(const QString &section, const QString &key, int def) const;
    void WriteInteger(const QString &section, const QString &key, int value);

    // Read as a whole number with def's 0 or 1; any non-zero value is true. Writes "1"/"0".
    bool ReadBool(const QString &section, const QString &key, bool def) const;
    void WriteBool(const QString &section, const QString &key, bool value);

    // Empty text or text that does not convert (user's locale decimal separator) gives def.
    double ReadFloat(const QString &section, const QString &key, double def) const;

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;

private:
    const QString &currentPath() const;
    std::optional<QString> storedValue(const QString &section, const QString &key) const;

    mutable QString m_path;
    QString m_givenName; // as the caller named it; the exception message shows this
};

} // namespace vokrin::settings
