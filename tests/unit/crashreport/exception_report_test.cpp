#include "crashreport/exception_report.h"
#include "crashreport/helper_process.h"
#include "crashreport/process_inspector.h"
#include "crashreport/reporter_state.h"
#include "test_env.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace vokrin::crashreport;

namespace demo {
class DiskFull : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
} // namespace demo

namespace {

[[gnu::noinline]] void throwingFunction()
{
    throw demo::DiskFull("no space left");
}

std::exception_ptr caught(const std::function<void()> &thrower)
{
    try {
        thrower();
    } catch (...) {
        return std::current_exception();
    }
    return {};
}

} // namespace

namespace vokrin::crashreport::testing {
struct DeviceLost : std::runtime_error
{
    using std::runtime_error::runtime_error;
};
} // namespace vokrin::crashreport::testing

TEST(ExceptionReport, ClassAndMessageOfWhatWasThrown)
{
    struct Case
    {
        const char *name;
        std::exception_ptr error;
        const char *className;
        const char *message;
    };
    const Case cases[] = {
        {"std", caught([] { throw std::runtime_error("boom"); }), "std::runtime_error", "boom"},
        {"derived", caught(throwingFunction), "demo::DiskFull", "no space left"},
        // The program's own classes as its users know them, without the code's namespaces.
        {"the program's own",
         caught([] { throw vokrin::crashreport::testing::DeviceLost("gone"); }), "DeviceLost",
         "gone"},
        {"not an exception class", caught([] { throw 42; }), "int",
         "(an exception without a message)"},
        {"nothing", nullptr, "(none)", ""},
    };
    for (const Case &c : cases) {
        const ExceptionDescription description = describeException(c.error);
        EXPECT_EQ(description.className, QLatin1String(c.className)) << c.name;
        EXPECT_EQ(description.message, QLatin1String(c.message)) << c.name;
    }
}

TEST(ExceptionReport, TheThrowSiteIsRecordedBeforeTheStackUnwinds)
{
    try {
        throwingFunction();
    } catch (const demo::DiskFull &) {
    }
    const ThrowSite &site = lastThrowOnThisThread();
    ASSERT_GT(site.count, 1);
    EXPECT_EQ(*site.type, typeid(demo::DiskFull));
    ProcessInspector self(::getpid());
    EXPECT_TRUE(
        self.describe(site.frames[0], true).function.contains(QStringLiteral("throwingFunction")));
    EXPECT_TRUE(
        self.describe(site.frames[1], true)
            .function.contains(QStringLiteral("TheThrowSiteIsRecordedBeforeTheStackUnwinds")));
}

TEST(ExceptionReport, AFailureWhileComposingEndsTheReportWithTheFailingAddress)
{
    char name[] = "vokrin";
    char *argv[] = {name, nullptr};
    prepareReporter(1, argv);
    const ExceptionDescription description{QStringLiteral("EIniFileException"),
                                           QStringLiteral("Unable to write to /x/vokrin.ini")};
    const QString report = composeExceptionReport(description, ThrowSite{}, []() -> QString {
        throw std::runtime_error("the stack walk failed");
    });
    EXPECT_TRUE(report.startsWith(QStringLiteral("date/time         : ")));
    EXPECT_TRUE(report.contains(
        QStringLiteral("exception class   : EIniFileException\r\n"
                       "exception message : Unable to write to /x/vokrin.ini\r\n")));
    static const QRegularExpression tail(QStringLiteral(
        "\r\n\r\nAn exception occurred during composing the bug report\\.\r\n([0-9a-f]{16})\r\n$"));
    const QRegularExpressionMatch match = tail.match(report);
    ASSERT_TRUE(match.hasMatch()) << report.right(200).toStdString();
    EXPECT_NE(match.captured(1), QStringLiteral("0000000000000000"))
        << "the address of the failure";
}

TEST(HelperProcess, RunsWithoutAShellFeedsInputAndReportsTheOutcome)
{
    char output[64];
    std::size_t length = 0;
    const char *cat[] = {"/bin/cat", nullptr};
    EXPECT_EQ(runHelper("/bin/cat", cat, "report text", 11, output, sizeof output, &length), 0);
    EXPECT_EQ(std::string(output, length), "report text");

    // Output beyond the buffer is cut, not overrun, and the child is not blocked by it.
    const char *yes[] = {"/bin/sh", "-c", "head -c 100000 /dev/zero | tr '\\0' x", nullptr};
    EXPECT_EQ(runHelper("/bin/sh", yes, nullptr, 0, output, sizeof output, &length), 0);
    EXPECT_EQ(length, sizeof output - 1);

    const char *exit3[] = {"/bin/sh", "-c", "exit 3", nullptr};
    EXPECT_EQ(runHelper("/bin/sh", exit3, nullptr, 0, output, sizeof output, &length), 3);

    const char *missing[] = {"/no/such/helper", nullptr};
    EXPECT_EQ(runHelper("/no/such/helper", missing, nullptr, 0, output, sizeof output, &length),
              127);

    // A child that hangs is killed when its time is up.
    const char *hang[] = {"/bin/sleep", "30", nullptr};
    EXPECT_EQ(runHelper("/bin/sleep", hang, nullptr, 0, output, sizeof output, &length, 200), -1);

    // A child that does not read its input does not block or kill us.
    const std::string big(1 << 20, 'r');
    const char *ignore[] = {"/bin/true", nullptr};
    EXPECT_EQ(
        runHelper("/bin/true", ignore, big.data(), big.size(), output, sizeof output, &length), 0);
}

TEST(ReporterState, ReportsGoBesideTheProgramOrToTheUsersStateFolder)
{
    const QString writable = QString::fromStdString(vokrin::testing::makeTempDir("prog").string());
    EXPECT_EQ(defaultReportFile(writable), writable + QStringLiteral("/bugreport.txt"));
    // An installed program's folder that cannot be written (here: one that does not exist).
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    ASSERT_FALSE(state.isEmpty());
    EXPECT_EQ(defaultReportFile(writable + QStringLiteral("/gone")),
              state + QStringLiteral("/vokrin/bugreport.txt"));
    EXPECT_TRUE(QDir(state + QStringLiteral("/vokrin")).exists());
}
