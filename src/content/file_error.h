#pragma once

#include <QString>
#include <stdexcept>

namespace vokrin::content {

// Raised when a song project or list file cannot be opened, read, created or written.
// It names the file and the system's reason; what() reads
// "Cannot <action> <path>: <reason>", e.g. "Cannot write /songs/a.lyp: Permission denied".
class ContentFileError : public std::runtime_error
{
public:
    ContentFileError(const QString &action, const QString &path, const QString &reason);

    const QString &path() const { return m_path; }
    const QString &reason() const { return m_reason; }

private:
    QString m_path;
    QString m_reason;
};

} // namespace vokrin::content
