#include "app/document_argument.h"

#include "app/file_exists.h"
#include "app/main_form.h"

#include <QDir>
#include <QUrl>

namespace vokrin::app {

std::optional<DocumentArgument> documentArgument(const QStringList &arguments,
                                                 const QString &workingDir)
{
    if (arguments.size() != 1 || arguments.front().isEmpty())
        return std::nullopt;
    QString path = arguments.front();
    // A file manager may hand over a file: URL; a file elsewhere is not read.
    if (path.startsWith(QLatin1String("file:"), Qt::CaseInsensitive) ||
        path.contains(QLatin1String("://"))) {
        const QUrl url(path);
        if (!url.isLocalFile())
            return std::nullopt;
        path = url.toLocalFile();
    }
    DocumentArgument document;
    if (path.endsWith(QLatin1String(".lyl"), Qt::CaseInsensitive))
        document.kind = DocumentArgument::Kind::ProjectList;
    else if (path.endsWith(QLatin1String(".lyp"), Qt::CaseInsensitive))
        document.kind = DocumentArgument::Kind::Project;
    else
        return std::nullopt;
    document.path = QDir::cleanPath(QDir(workingDir).absoluteFilePath(path));
    return document;
}

void openDocument(TMainForm &window, const DocumentArgument &document)
{
    if (!fileExists(document.path))
        return;
    if (document.kind == DocumentArgument::Kind::ProjectList)
        window.OpenList(document.path);
    else
        window.AddProject(document.path);
}

} // namespace vokrin::app
