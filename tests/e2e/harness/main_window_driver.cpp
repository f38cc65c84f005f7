#include "main_window_driver.h"

#include "e2e_harness.h"

#include <QElapsedTimer>
#include <QThread>

namespace vokrin::e2e {

QString waitForMainWindow(const XServer &x, QString *splash)
{
    const QString first = x.waitForWindow(kProgramTitle, 120000);
    if (splash != nullptr)
        *splash = first;
    if (first.isEmpty())
        return {};
    QElapsedTimer clock;
    clock.start();
    do {
        for (const QString &window : x.windowsNamed(kProgramTitle)) {
            if (x.geometry(window).width() == kMainWindowWidth)
                return window;
        }
        QThread::msleep(100);
    } while (clock.elapsed() < 120000);
    return {};
}

QString openListFile(const XServer &x, const QString &mainWindow, const QString &listFile)
{
    const QStringList before = x.visibleWindows();
    if (!x.click(mainWindow, kOpenListButton))
        return QStringLiteral("cannot click the open-list button");
    const QString dialog = x.waitForNewWindow(before, 60000);
    if (dialog.isEmpty())
        return QStringLiteral("the open-list button opened no file dialog");
    if (!x.chooseFileInDialog(dialog, listFile))
        return QStringLiteral("the file dialog did not take ") + listFile;
    return {};
}

} // namespace vokrin::e2e
