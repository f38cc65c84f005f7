#include "settings/ini_file.h"

#include "settings/ini_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStandardPaths>

namespace vokrin::settings {

using vokrin::settings::IniDocument;

namespace {

QString settingsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vokrin");
}

bool isBareName(const QString &fileName)
{
    return !fileName.contains(u'/');
}

// The file's bytes; a missing file is empty. Nothing when it exists but cannot be read.
std::optional<QByteArray> readWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return QByteArray();
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

bool writeWholeFileAtomically(const QString &path, const QByteArray &bytes)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    // Unbuffered, so that a short write (a full disk) shows in write()'s count: with a
    // buffer, a failure at the final flush can go unnoticed and a cut file be committed.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

EIniFileException::EIniFileException(const QString &fileName)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(fileName).toStdString())
{
}

QString resolveSettingsFile(const QString &fileName)
{
    if (!isBareName(fileName))
        return fileName;
    const QDir folder(settingsFolder());
    const QStringList names =
        folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    if (names.contains(fileName))
        return folder.filePath(fileName);
    for (const QString &name : names) {
        if (name.compare(fileName, Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    }
    return folder.filePath(fileName);
}

TIniFile::TIniFile(const QString &fileName)
    : m_path(resolveSettingsFile(fileName)), m_givenName(fileName)
{
}

const QString &TIniFile::currentPath() const
{
    // Another object may have created the file under another letter case since this
    // one was made; look again so both keep addressing one file.
    if (isBareName(m_givenName))
        m_path = resolveSettingsFile(m_givenName);
    return m_path;
}

std::optional<QString> TIniFile::storedValue(const QString &section, const QString &key) const
{
    const std::optional<QByteArray> bytes = readWholeFile(currentPath());
    if (!bytes)
        return std::nullopt; // unreadable reads like missing, as with the profile functions
    return IniDocument::parse(*bytes).storedValue(section, key);
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &def) const
{
    const std::optional<QString> stored = storedValue(section, key);
    return stored ? vokrin::settings::iniValueForReading(*stored) : def;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QString &path = currentPath();
    const std::optional<QByteArray> bytes = readWholeFile(path);
    // A file that exists but cannot be read is not replaced: its other entries would be lost.
    if (!bytes)
        throw EIniFileException(m_givenName);
    IniDocument doc = IniDocument::parse(*bytes);
    doc.setValue(section, key, value);
    if (!writeWholeFileAtomically(path, doc.toBytes()))
        throw EIniFileException(m_givenName);
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int def) const
{
    const std::optional<QString> stored = storedValue(section, key);
    if (!stored)
        return def;
    return vokrin::settings::parseIniInteger(vokrin::settings::iniValueForReading(*stored))
        .value_or(def);
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

double TIniFile::ReadFloat(const QString &section, const QString &key, double def) const
{
    const std::optional<QString> stored = storedValue(section, key);
    if (!stored)
        return def;
    // QLocale() is the user's locale unless the program chose another one.
    return vokrin::settings::parseIniFloat(vokrin::settings::iniValueForReading(*stored), QLocale())
        .value_or(def);
}

bool TIniFile::SectionExists(const QString &section) const
{
    const std::optional<QByteArray> bytes = readWholeFile(currentPath());
    return bytes && IniDocument::parse(*bytes).hasSection(section);
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return storedValue(section, key).has_value();
}

} // namespace vokrin::settings
