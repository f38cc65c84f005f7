#include "content/file_error.h"

namespace vokrin::content {

ContentFileError::ContentFileError(const QString &action, const QString &path,
                                   const QString &reason)
    : std::runtime_error(
          QStringLiteral("Cannot %1 %2: %3").arg(action, path, reason).toStdString()),
      m_path(path), m_reason(reason)
{
}

} // namespace vokrin::content
