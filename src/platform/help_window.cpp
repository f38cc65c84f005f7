#include "help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace vokrin::platform {

QString findManual(const QString &helpFile)
{
    const QString html = QFileInfo(helpFile).completeBaseName() + QStringLiteral(".html");
    const QDir appDir(QCoreApplication::applicationDirPath());
    const QStringList candidates = {
        appDir.filePath(QStringLiteral("help/") + html),
        appDir.filePath(QStringLiteral(VOKRIN_DATA_DIR_FROM_PROGRAM "/help/") + html),
        QStringLiteral(":/help/") + html,
    };
    for (const QString &candidate : candidates) {
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return {};
}

QString helpAnchor(int context)
{
    return QStringLiteral("context-%1").arg(context);
}

void showHelpWindow(QWidget *parent, const QString &helpFile, int context)
{
    static QPointer<QTextBrowser> window;
    if (window == nullptr) {
        window = new QTextBrowser(parent);
        window->setWindowFlag(Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setOpenExternalLinks(true);
        window->resize(640, 560);
    }
    window->setWindowTitle(QCoreApplication::applicationName());
    const QString manual = findManual(helpFile);
    if (manual.isEmpty()) {
        window->setPlainText(QStringLiteral("Справка не найдена: %1").arg(helpFile));
    } else {
        QUrl url = manual.startsWith(QLatin1Char(':'))
                       ? QUrl(QStringLiteral("qrc") + manual)
                       : QUrl::fromLocalFile(QFileInfo(manual).absoluteFilePath());
        url.setFragment(helpAnchor(context));
        window->setSource(url);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace vokrin::platform
