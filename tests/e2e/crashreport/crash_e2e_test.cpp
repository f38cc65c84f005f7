#include "e2e_harness.h"
#include "test_env.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QString kBoxTitle = QStringLiteral("crashreport_crash_child");
const QString kWindowTitle = QStringLiteral("crash child");

// The child is built beside this test program.
QString childProgram()
{
    const auto self = std::filesystem::read_symlink("/proc/self/exe");
    return QString::fromStdString((self.parent_path() / "crashreport_crash_child").string());
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The reports in a report file, split at their "date/time" lines.
QList<QByteArray> reportsIn(const QByteArray &content)
{
    QList<QByteArray> reports;
    qsizetype start = content.startsWith("date/time         : ") ? 0 : -1;
    while (start >= 0) {
        const qsizetype next = content.indexOf("\r\n\r\ndate/time         : ", start);
        reports << content.mid(start, next < 0 ? -1 : next + 4 - start);
        start = next < 0 ? -1 : next + 4;
    }
    return reports;
}

// PNG colour type 3 (palette) with 8-bit indices.
bool isEightBitPalettePng(const QByteArray &png)
{
    return png.startsWith("\x89PNG\r\n\x1a\n") && png.mid(12, 4) == "IHDR" &&
           static_cast<uchar>(png.at(24)) == 8 && static_cast<uchar>(png.at(25)) == 3;
}

class CrashReporterEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_x.running())
            GTEST_SKIP() << "Xvfb could not be started";
        m_dir = QString::fromStdString(vokrin::testing::makeTempDir("crash-e2e").string());
        m_reportFile = m_dir + QStringLiteral("/bugreport.txt");
        QDir(m_dir).mkpath(QStringLiteral("tmp"));
    }

    // Starts the child on the private display; the screenshot goes to our folder.
    std::unique_ptr<QProcess> start(const QString &mode,
                                    QProcessEnvironment environment = QProcessEnvironment())
    {
        auto child = std::make_unique<QProcess>();
        QProcessEnvironment merged = xEnvironment();
        merged.insert(QStringLiteral("TMPDIR"), m_dir + QStringLiteral("/tmp"));
        // Under the sanitizer build, the system libraries' own leaks at exit must not
        // change the exit codes these tests look at.
        merged.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        for (const QString &key : environment.keys())
            merged.insert(key, environment.value(key));
        child->setProcessEnvironment(merged);
        child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        vokrin::e2e::endWithThisProcess(*child);
        child->start(childProgram(), {m_reportFile, mode});
        EXPECT_TRUE(child->waitForStarted(30000));
        return child;
    }

    int finish(QProcess &child)
    {
        if (!child.waitForFinished(60000)) {
            child.kill();
            child.waitForFinished(5000);
            ADD_FAILURE() << "the child did not end";
            return -1;
        }
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    }

    qint64 windowPid(const QString &window)
    {
        QProcess pid;
        QProcessEnvironment environment = xEnvironment();
        pid.setProcessEnvironment(environment);
        pid.start(QStringLiteral("xdotool"), {QStringLiteral("getwindowpid"), window});
        pid.waitForFinished(30000);
        return pid.readAllStandardOutput().trimmed().toLongLong();
    }

    // A window titled `title`; a slower machine gets two minutes for it.
    QString waitForWindow(const QString &title) const { return m_x.waitForWindow(title, 120000); }
    // True once no visible window has the title any more.
    bool waitForTitleGone(const QString &title, int timeoutMs = 60000) const
    {
        return vokrin::e2e::waitUntil([&] { return m_x.windowsNamed(title).isEmpty(); }, timeoutMs,
                                      100);
    }
    // The environment for a program that opens its windows on the private X server.
    QProcessEnvironment xEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), m_x.display());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        return environment;
    }

    vokrin::e2e::XServer m_x;
    QString m_dir;
    QString m_reportFile;
};

TEST_F(CrashReporterEndToEnd, ASegmentationFaultLeavesACompleteReportAndTheBoxRunsInAFreshProcess)
{
    auto child = start(QStringLiteral("segv"));
    const QString box = waitForWindow(kBoxTitle);
    ASSERT_FALSE(box.isEmpty()) << "no box appeared; report file "
                                << (QFile::exists(m_reportFile) ? "written" : "missing")
                                << ", child "
                                << (child->state() == QProcess::Running ? "running" : "ended");
    EXPECT_NE(windowPid(box), child->processId()) << "the box must not run in the crashed process";

    const QByteArray report = readFile(m_reportFile);
    const char *expected[] = {
        "exception class   : SIGSEGV\r\n",
        "exception message : Access violation at address ",
        "\r\n\r\nmain thread", // ":" or, under a lowered priority, " <priority:n>:"
        "writeThroughNullPointer",
        "crashInNamedFunction",
        "crash_child.cpp line ",
        "\r\n\r\nmodules:\r\n",
        " crashreport_crash_child ",
        "libc.so.6",
        "\r\n\r\nhardware:\r\n",
        "\r\n\r\ndisassembling:\r\n",
        "\r\n> ",
    };
    for (const char *text : expected)
        EXPECT_TRUE(report.contains(text)) << text << "\n" << report.left(3000).constData();
    // The other thread follows the main thread, with its own stack.
    const qsizetype worker = report.indexOf("\"crash-worker\"");
    EXPECT_GT(worker, report.indexOf("\r\nmain thread")) << "the main thread comes first";
    EXPECT_TRUE(report.mid(worker, 1500).contains("sleepingWorker"));
    EXPECT_TRUE(report.startsWith("date/time         : "));
    EXPECT_TRUE(report.endsWith("\r\n\r\n"));
    // The crashing function is the first frame: the reporter's own frames are left out.
    const qsizetype header = report.indexOf("\r\nmain thread");
    const qsizetype stack = report.indexOf("\r\n", header + 2);
    const qsizetype firstFrameEnd = report.indexOf("\r\n", stack + 2);
    EXPECT_TRUE(report.mid(stack, firstFrameEnd - stack).contains("writeThroughNullPointer"));

    EXPECT_TRUE(isEightBitPalettePng(readFile(m_dir + QStringLiteral("/tmp/screenShot.png"))));

    // "Continue" is off after a fatal signal: Return closes, and the program ends with 1.
    ASSERT_TRUE(m_x.sendKeys(box, {QStringLiteral("Return")}));
    EXPECT_EQ(finish(*child), 1);
}

TEST_F(CrashReporterEndToEnd, AbortAndTerminateAreReportedOneAfterTheOtherInTheSameFile)
{
    const std::pair<QString, const char *> cases[] = {
        {QStringLiteral("abort"), "exception class   : SIGABRT\r\n"},
        {QStringLiteral("terminate"), "exception class   : std::logic_error\r\n"
                                      "exception message : nobody catches this\r\n"}};
    for (const auto &[mode, header] : cases) {
        SCOPED_TRACE(mode.toStdString());
        auto child = start(mode);
        const QString box = waitForWindow(kBoxTitle);
        ASSERT_FALSE(box.isEmpty());
        EXPECT_TRUE(readFile(m_reportFile).contains(header));
        ASSERT_TRUE(m_x.sendKeys(box, {QStringLiteral("Return")}));
        EXPECT_EQ(finish(*child), 1);
        ASSERT_TRUE(waitForTitleGone(kBoxTitle));
    }
    const QList<QByteArray> reports = reportsIn(readFile(m_reportFile));
    ASSERT_EQ(reports.size(), 2);
    for (const QByteArray &report : reports) {
        EXPECT_TRUE(report.startsWith("date/time         : "));
        EXPECT_TRUE(report.endsWith("\r\n\r\n")) << "each report is followed by an empty line";
    }
    EXPECT_TRUE(reports[1].contains("std::logic_error"));
}

TEST_F(CrashReporterEndToEnd, RestartAfterAFatalSignalExitsTwoAndStartsANewCopy)
{
    auto child = start(QStringLiteral("segv"));
    const QString box = waitForWindow(kBoxTitle);
    ASSERT_FALSE(box.isEmpty());
    // From "Close" back over the disabled "Continue" to "Restart".
    ASSERT_TRUE(m_x.sendKeys(box, {QStringLiteral("shift+Tab"), QStringLiteral("space")}));
    EXPECT_EQ(finish(*child), 2);
    // The new copy runs with the same arguments, so it fails the same way and reports
    // into the same file.
    const QString secondBox = waitForWindow(kBoxTitle);
    ASSERT_FALSE(secondBox.isEmpty()) << "no new copy was started";
    EXPECT_EQ(reportsIn(readFile(m_reportFile)).size(), 2);
    ASSERT_TRUE(m_x.sendKeys(secondBox, {QStringLiteral("Return")}));
    EXPECT_TRUE(waitForTitleGone(kBoxTitle));
}

TEST_F(CrashReporterEndToEnd,
       AnExceptionFromAButtonHandlerShowsTheBoxAndContinueReturnsToAWorkingWindow)
{
    auto child = start(QStringLiteral("button"));
    const QString window = waitForWindow(kWindowTitle);
    ASSERT_FALSE(window.isEmpty());
    ASSERT_TRUE(m_x.sendKeys(window, {QStringLiteral("space")})); // the "fail" button
    const QString box = waitForWindow(kBoxTitle);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(windowPid(box), child->processId());

    const QByteArray report = readFile(m_reportFile);
    EXPECT_TRUE(report.contains("exception class   : std::runtime_error\r\n"));
    EXPECT_TRUE(report.contains("exception message : the button handler failed\r\n"));
    // The stack is the one where the exception was thrown, not the handler's.
    const qsizetype stack = report.indexOf("\r\nmain thread");
    ASSERT_GE(stack, 0);
    EXPECT_TRUE(report.mid(stack, 400).contains("crash_child.cpp"))
        << report.mid(stack, 800).constData();
    EXPECT_TRUE(report.contains("\r\ndisassembling:\r\n"));

    ASSERT_TRUE(m_x.sendKeys(box, {QStringLiteral("Return")})); // "Continue"
    ASSERT_TRUE(waitForTitleGone(kBoxTitle));
    // The window still works: its other button ends the program normally.
    ASSERT_TRUE(m_x.sendKeys(window, {QStringLiteral("Tab"), QStringLiteral("space")}));
    EXPECT_EQ(finish(*child), 0);
}

TEST_F(CrashReporterEndToEnd, RestartAndCloseEndTheProgramWithTwoAndOne)
{
    struct Case
    {
        const char *name;
        QStringList keys;
        int exitCode;
    };
    const Case cases[] = {
        {"restart", {QStringLiteral("Tab"), QStringLiteral("space")}, 2},
        {"close", {QStringLiteral("Tab"), QStringLiteral("Tab"), QStringLiteral("space")}, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto child = start(QStringLiteral("button"));
        const QString window = waitForWindow(kWindowTitle);
        ASSERT_FALSE(window.isEmpty());
        ASSERT_TRUE(m_x.sendKeys(window, {QStringLiteral("space")}));
        const QString box = waitForWindow(kBoxTitle);
        ASSERT_FALSE(box.isEmpty());
        ASSERT_TRUE(m_x.sendKeys(box, c.keys));
        EXPECT_EQ(finish(*child), c.exitCode);
        if (c.exitCode == 2) {
            // The new copy opens its window; end it through its quit button.
            const QString copy = waitForWindow(kWindowTitle);
            ASSERT_FALSE(copy.isEmpty()) << "no new copy was started";
            EXPECT_NE(windowPid(copy), child->processId());
            ASSERT_TRUE(m_x.sendKeys(copy, {QStringLiteral("Tab"), QStringLiteral("space")}));
        }
        ASSERT_TRUE(waitForTitleGone(kWindowTitle));
    }
}

TEST_F(CrashReporterEndToEnd,
       ASettingsWriteFailureDuringTheAutomaticSaveReachesTheBoxAndTheWindowStillCloses)
{
    // A settings folder that cannot be written. Permissions do not stop root, so there a
    // plain file takes the folder's place.
    const QString config = m_dir + QStringLiteral("/config");
    QDir().mkpath(config);
    if (::geteuid() == 0) {
        QFile blocker(config + QStringLiteral("/vokrin"));
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    } else {
        QDir().mkpath(config + QStringLiteral("/vokrin"));
        QFile::setPermissions(config + QStringLiteral("/vokrin"),
                              QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    auto child = start(QStringLiteral("settings"), environment);
    const QString box = waitForWindow(kBoxTitle);
    ASSERT_FALSE(box.isEmpty());
    const QByteArray report = readFile(m_reportFile);
    EXPECT_TRUE(report.contains("exception class   : EIniFileException\r\n"))
        << report.left(2000).constData();
    EXPECT_TRUE(report.contains("exception message : Unable to write to "));
    ASSERT_TRUE(m_x.sendKeys(box, {QStringLiteral("Return")}));
    EXPECT_EQ(finish(*child), 0) << "the window did not close after the failed save";
}

TEST_F(CrashReporterEndToEnd, WithoutAnyMailProgramEmailErrorSaysSendingDidNotWork)
{
    // Empty desktop databases: no program is registered for mail or "mailto:" addresses.
    QProcessEnvironment environment;
    for (const char *name :
         {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
        const QString folder = m_dir + QStringLiteral("/empty-") + QLatin1String(name);
        QDir().mkpath(folder);
        environment.insert(QLatin1String(name), folder);
    }
    environment.insert(QStringLiteral("BROWSER"), QStringLiteral("false"));
    environment.remove(QStringLiteral("XDG_CURRENT_DESKTOP"));
    auto child = start(QStringLiteral("segv"), environment);
    const QString box = waitForWindow(kBoxTitle);
    ASSERT_FALSE(box.isEmpty());
    // From "Close" back to "E-mail error", the first button of the row.
    ASSERT_TRUE(m_x.sendKeys(box, {QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab"),
                                   QStringLiteral("shift+Tab"), QStringLiteral("shift+Tab"),
                                   QStringLiteral("space")}));
    const QString message = waitForWindow(QStringLiteral("E-mail error"));
    ASSERT_FALSE(message.isEmpty()) << "no message after mailing";
    EXPECT_EQ(windowPid(message), windowPid(box));
    ASSERT_TRUE(m_x.sendKeys(message, {QStringLiteral("Return")}));
    ASSERT_TRUE(waitForTitleGone(QStringLiteral("E-mail error")));
    ASSERT_TRUE(m_x.sendKeys(box, {QStringLiteral("Return")}));
    EXPECT_EQ(finish(*child), 1);
}

} // namespace
