#include "main_window_driver.h"

#include "e2e_harness.h"
#include "recording.h"

#include <QColor>
#include <QElapsedTimer>
#include <QImage>
#include <QThread>

namespace vokrin::e2e {

namespace {

// The lyric list in the window: right of the 48-px strip, left of the 224-px control
// panel and its 2-px splitter handle; lines 27 px apart from the top, text at their left.
constexpr int kListLeft = 48;
constexpr int kListRight = kMainWindowWidth - 224 - 2;
constexpr int kLinePitch = 27;

// Whether the catalogue's first row holds text: dark pixels on its white background.
bool catalogueShowsAnEntry(const QImage &window)
{
    if (window.isNull())
        return false;
    const QRect row(kFirstCatalogueEntry.x() - 30, kFirstCatalogueEntry.y() - 5, 120, 10);
    int dark = 0;
    for (int y = row.top(); y <= row.bottom(); ++y)
        for (int x = row.left(); x <= row.right(); ++x)
            dark += qGray(window.pixel(x, y)) < 100 ? 1 : 0;
    return dark >= 10;
}

} // namespace

LineLook lookOfLine(const QImage &window, int line)
{
    int red = 0;
    int white = 0;
    const int top = line * kLinePitch + 1;
    for (int y = top; y < top + kLinePitch - 2 && y < window.height(); ++y) {
        for (int x = kListLeft; x < kListRight && x < window.width(); ++x) {
            const QColor c = window.pixelColor(x, y);
            if (c.red() >= 128 && c.green() < 64 && c.blue() < 64)
                ++red;
            else if (c.red() >= 128 && c.green() >= 128 && c.blue() >= 128)
                ++white;
        }
    }
    if (red >= 40 && white < 5)
        return LineLook::Lit;
    if (white >= 40 && red < 5)
        return LineLook::Unlit;
    return LineLook::Unreadable;
}

bool controlPanelHidden(const QImage &window)
{
    if (window.isNull())
        return false;
    for (int y = 5; y < window.height() - 5; y += 4) {
        if ((window.pixel(window.width() - 30, y) & 0xFFFFFF) != 0)
            return false;
    }
    return true;
}

bool reverbLedLit(const QImage &window)
{
    return !window.isNull() && (window.pixel(kReverbLed) & 0xFFFFFF) == 0x00FF00;
}

bool reverbLedUnlit(const QImage &window)
{
    return !window.isNull() && (window.pixel(kReverbLed) & 0xFFFFFF) == 0x008000;
}

bool waitUntilShown(const XServer &x, const QString &window,
                    const std::function<bool(const QImage &)> &shows, int timeoutMs)
{
    return waitUntil(
        [&] {
            const QImage picture = x.grab(window);
            return !picture.isNull() && shows(picture);
        },
        timeoutMs);
}

QString waitForMainWindow(const XServer &x, QString *splash)
{
    const QString first = x.waitForWindow(kProgramTitle, 120000);
    if (splash != nullptr)
        *splash = first;
    if (first.isEmpty())
        return {};
    QString found;
    waitUntil(
        [&] {
            for (const QString &window : x.windowsNamed(kProgramTitle)) {
                if (x.geometry(window).width() == kMainWindowWidth) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        120000, 100);
    return found;
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
    // The dialog is gone from the screen a moment before the program has filled the
    // catalogue; a key or click in between would find it empty.
    if (waitUntil([&] { return catalogueShowsAnEntry(x.grab(mainWindow)); }, 30000))
        return {};
    return QStringLiteral("the catalogue shows no entry of ") + listFile;
}

std::int64_t pressEnterToPlay(const XServer &x, const QString &mainWindow, const QString &rawFile,
                              double level)
{
    if (!x.sendKeys(mainWindow, {QStringLiteral("Return")}))
        return -1;
    return Recording::waitForFrameAbove(rawFile, level, 30000);
}

} // namespace vokrin::e2e
