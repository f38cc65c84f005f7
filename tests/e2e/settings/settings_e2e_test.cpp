// The real program on the end-to-end harness: what the user changes in the main window
// reaches the settings file when the window is closed, and comes back on the next start.
#include "e2e_harness.h"
#include "main_window_driver.h"
#include "settings/ini_file.h"
#include "test_env.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>

using vokrin::settings::TIniFile;

namespace {

using vokrin::e2e::Program;
using vokrin::e2e::waitForMainWindow;
using vokrin::e2e::XServer;

// Places in the main window (761 x 577; the 224-px control panel at the right edge).
const QPoint kFolderBox(645, 29);
const QPoint kHintColourArrow(691, 481);
const QPoint kFontButton(594, 481);
// The red cell of the colour button's grid, in the main window's coordinates.
const QPoint kRedCell(660, 519);

// Waits for a window that was not there before, of any size (the colour grid is small).
QString waitForPopup(const XServer &x, const QStringList &before, int timeoutMs = 20000)
{
    QString popup;
    vokrin::e2e::waitUntil(
        [&] {
            for (const QString &window : x.visibleWindows()) {
                if (!before.contains(window)) {
                    popup = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return popup;
}

// The main window once its show step has run: the splash is destroyed after it.
QString shownMainWindow(const XServer &x)
{
    QString splash;
    const QString window = waitForMainWindow(x, &splash);
    if (window.isEmpty() || !x.waitForWindowGone(splash, 60000))
        return {};
    return window;
}

// The settings file the program wrote: vokrin.ini, which it also knows as vokrin.INI
// (names in the settings folder are matched without regard to case).
QString settingsPath(const Program &vokrin)
{
    const QDir folder(vokrin.configHome() + QStringLiteral("/vokrin"));
    for (const QString &name : folder.entryList(QDir::Files)) {
        if (name.compare(QStringLiteral("vokrin.ini"), Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    }
    return folder.filePath(QStringLiteral("vokrin.ini"));
}

QString stored(const Program &vokrin, const char *key)
{
    return TIniFile(settingsPath(vokrin))
        .ReadString(QStringLiteral("TMainForm"), QString::fromLatin1(key),
                    QStringLiteral("<missing>"));
}

QByteArray settingsFile(const Program &vokrin)
{
    QFile file(settingsPath(vokrin));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(SettingsEndToEnd, VolumeFolderHintColourAndFontChangedByTheUserComeBackOnTheNextStart)
{
    VOKRIN_E2E_SERVERS(x, sound);
    QByteArray written;
    QString volume;
    {
        Program vokrin(x, &sound);
        ASSERT_TRUE(vokrin.started());
        const QString window = shownMainWindow(x);
        ASSERT_FALSE(window.isEmpty()) << "the main window did not appear";

        // The knob starts at the engine's volume; five presses of "-" lower it by five.
        ASSERT_TRUE(x.sendKeys(window, QStringList(5, QStringLiteral("minus"))));
        // The folder box, clicked and typed into.
        ASSERT_TRUE(x.click(window, kFolderBox));
        ASSERT_TRUE(x.typeText(window, QStringLiteral("/tmp/bag/")));
        // The hint colour: the colour button's drop-down arrow, then the red cell of its grid.
        const QStringList beforeGrid = x.visibleWindows();
        ASSERT_TRUE(x.click(window, kHintColourArrow));
        ASSERT_FALSE(waitForPopup(x, beforeGrid).isEmpty()) << "the colour grid did not open";
        ASSERT_TRUE(x.click(window, kRedCell));
        // The lyric font: the font button, then a family typed into the dialog's name box
        // (which has the focus), confirmed with Enter.
        ASSERT_TRUE(x.click(window, kFontButton));
        const QString fontDialog = x.waitForWindow(QStringLiteral("Шрифт"), 20000);
        ASSERT_FALSE(fontDialog.isEmpty()) << "the font dialog did not open";
        ASSERT_TRUE(x.typeText(fontDialog, QStringLiteral("Liberation Serif")));
        ASSERT_TRUE(x.sendKeys(fontDialog, {QStringLiteral("Return")}));
        ASSERT_TRUE(x.waitForWindowGone(fontDialog, 20000)) << "Enter did not confirm the font";

        ASSERT_TRUE(x.closeWindow(window));
        ASSERT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
        EXPECT_EQ(stored(vokrin, "ListBox1_FontName"), "Liberation Serif");
        EXPECT_EQ(stored(vokrin, "ListBox1_FontStyle"), "[fsBold]");
        EXPECT_EQ(stored(vokrin, "MMColorButton2_Value"), "255");
        volume = stored(vokrin, "Volume_Value");
        EXPECT_EQ(volume, "95");
        EXPECT_EQ(stored(vokrin, "DirectoryEdit1_Text"), "/tmp/bag/");
        EXPECT_EQ(stored(vokrin, "Visible"), "0");
        EXPECT_EQ(stored(vokrin, "NormPos"), "121,129,882,706");
        EXPECT_EQ(stored(vokrin, "NormPos(1280x1024)"), "121,129,882,706");
        written = settingsFile(vokrin);
        ASSERT_FALSE(written.isEmpty());
    }

    // The next start finds that file, restores it and its own close writes it back
    // unchanged. Had the restore failed, the knob would have taken the engine's volume and
    // the box been empty.
    Program again(x, &sound, written);
    ASSERT_TRUE(again.started());
    const QString window = shownMainWindow(x);
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(x.closeWindow(window));
    ASSERT_EQ(again.waitForExit(60000), 0) << again.output().toStdString();
    EXPECT_EQ(stored(again, "Volume_Value"), volume);
    EXPECT_EQ(stored(again, "DirectoryEdit1_Text"), "/tmp/bag/");
    EXPECT_EQ(stored(again, "MMColorButton2_Value"), "255");
    EXPECT_EQ(stored(again, "ListBox1_FontName"), "Liberation Serif");
}

// The settings folder turns read-only while the program runs: a flag toggled with Ctrl+R
// cannot be stored, the error reaches the reporter's box ("Unable to write to vokrin.ini",
// also in the report file), the old file keeps its bytes, and after "Continue" the window
// goes on and stores the next toggle once the folder can be written again.
TEST(SettingsEndToEnd, ASettingsFolderThatCannotBeWrittenReachesTheReporterAndTheProgramGoesOn)
{
    VOKRIN_E2E_SERVERS(x, sound);
    // A copy of the program, so the report file beside it is this scenario's own.
    const QString copyFolder =
        QString::fromStdString(vokrin::testing::makeTempDir("copy").string());
    const QString copy = copyFolder + QStringLiteral("/vokrin");
    ASSERT_TRUE(QFile::copy(Program::executable(), copy));
    Program::Options options;
    options.executable = copy;
    options.withoutPermissionOverride = true;
    Program vokrin(x, &sound, "[TMainForm]\r\nVolume_Value=80\r\n", options);
    ASSERT_TRUE(vokrin.started());
    const QString window = shownMainWindow(x);
    ASSERT_FALSE(window.isEmpty()) << "the main window did not appear";

    const QString folder = vokrin.configHome() + QStringLiteral("/vokrin");
    const QByteArray before = settingsFile(vokrin);
    ASSERT_FALSE(before.isEmpty());
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup |
                                                  QFile::ReadOther | QFile::ExeOther));
    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("ctrl+r")}));
    const QString box = x.waitForWindow(QStringLiteral("vokrin"), 60000);
    ASSERT_FALSE(box.isEmpty()) << "no error box: " << vokrin.output().toStdString();
    QByteArray report;
    EXPECT_TRUE(vokrin::e2e::waitUntil(
        [&] {
            QFile file(copyFolder + QStringLiteral("/bugreport.txt"));
            report = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            return report.contains("Unable to write to vokrin.ini");
        },
        20000))
        << report.toStdString();
    EXPECT_EQ(settingsFile(vokrin), before);

    ASSERT_TRUE(x.sendKeys(box, {QStringLiteral("Return")})); // "Continue"
    ASSERT_TRUE(x.waitForWindowGone(box, 20000));
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                      QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                      QFile::ExeOther);
    ASSERT_TRUE(x.sendKeys(window, {QStringLiteral("ctrl+r")}));
    EXPECT_TRUE(vokrin::e2e::waitUntil([&] { return settingsFile(vokrin) != before; }, 20000))
        << "the next toggle was not stored";
    ASSERT_TRUE(x.closeWindow(window));
    EXPECT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
}

} // namespace
