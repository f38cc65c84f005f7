#include "crashreport/report_file.h"
#include "crashreport/report_header.h"
#include "test_env.h"
#include "write_faults.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

using namespace vokrin::crashreport;

namespace {

// A report shaped like the real ones: the header (whose "exec. date/time" and
// "module date/time" lines also contain "date/time") and `bodyLines` stack-like lines.
std::string makeReport(int number, int bodyLines)
{
    ReportHeader header;
    for (int field = 0; field < HeaderFieldCount; ++field)
        header.set(static_cast<HeaderField>(field), "value");
    header.set(DateTime, ("2026-12-09, 10:00:" + std::to_string(number)).c_str());
    header.set(ExceptionMessage, ("crash number " + std::to_string(number)).c_str());
    static char storage[1 << 20];
    SafeBuffer out(storage, sizeof storage);
    writeHeader(out, header);
    std::string text(out.data(), out.size());
    text += "\r\nmain thread:\r\n";
    for (int i = 0; i < bodyLines; ++i)
        text +=
            "  0x0000555555554000  vokrin  someFunction  file.cpp:" + std::to_string(i) + "\r\n";
    return text;
}

std::string readFile(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::filesystem::path &path, const std::string &content)
{
    std::ofstream(path, std::ios::binary) << content;
}

bool append(const std::filesystem::path &path, const std::string &report,
            std::size_t limit = kReportFileLimit)
{
    std::vector<char> scratch(trimTarget(limit == 0 ? 4 : limit));
    return appendReportFile(path.c_str(), report.data(), report.size(), scratch.data(),
                            scratch.size(), limit);
}

} // namespace

TEST(ReportFile, TwoCrashesAppendTwoReportsEachFollowedByAnEmptyLine)
{
    const auto file = vokrin::testing::makeTempDir("report") / "bugreport.txt";
    const std::string first = makeReport(1, 3);
    const std::string second = makeReport(2, 3);
    ASSERT_TRUE(append(file, first));
    ASSERT_TRUE(append(file, second));
    const std::string content = readFile(file);
    EXPECT_EQ(content, first + "\r\n\r\n" + second + "\r\n\r\n");
    EXPECT_EQ(content.rfind("date/time         : 2026-12-09, 10:00:1\r\n", 0), 0u);
    EXPECT_NE(content.find("\r\n\r\ndate/time         : 2026-12-09, 10:00:2\r\n"),
              std::string::npos);
}

TEST(ReportFile, AFileAboveTheLimitLosesOnlyWholeOldestReports)
{
    struct Case
    {
        const char *name;
        int bodyLines;
        int reports;
    };
    // Small, mid-sized and large reports: the cut lands on different boundaries.
    const Case cases[] = {{"small", 5, 60}, {"medium", 40, 30}, {"large", 150, 12}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = vokrin::testing::makeTempDir("trim") / "bugreport.txt";
        // The whole reports the file should hold, oldest first.
        std::vector<std::string> entries;
        auto total = [&entries] {
            std::size_t sum = 0;
            for (const auto &entry : entries)
                sum += entry.size();
            return sum;
        };
        for (int i = 0; i < c.reports; ++i) {
            const std::string report = makeReport(i, c.bodyLines);
            ASSERT_TRUE(append(file, report));
            entries.push_back(report + "\r\n\r\n");
            if (total() > kReportFileLimit)
                while (total() >= trimTarget(kReportFileLimit))
                    entries.erase(entries.begin());
            std::string expected;
            for (const auto &entry : entries)
                expected += entry;
            const std::string content = readFile(file);
            ASSERT_EQ(content, expected) << "after report " << i;
            ASSERT_LE(content.size(), kReportFileLimit);
        }
        EXPECT_EQ(readFile(file).find("crash number 0\r\n"), std::string::npos)
            << "the file was never trimmed";
    }
}

TEST(ReportFile, ExecDateTimeInsideAReportIsNotTakenForAReportStart)
{
    const auto file = vokrin::testing::makeTempDir("exec") / "bugreport.txt";
    // A first report of 13000 bytes: the earliest allowed cut (size - 37499) then falls
    // between its start and its "exec. date/time" line.
    const std::string old = makeReport(0, 0);
    const std::size_t execLine = old.find("exec. date/time");
    ASSERT_NE(execLine, std::string::npos);
    const std::string padding(13000, 'x');
    const std::string firstReport = old + padding;
    const std::string secondReport = makeReport(1, 10) + std::string(37500 - 4 - execLine, 'y');
    // Filler before the first report so the file goes over the limit only with the second.
    writeFile(file, std::string(1000, 'z') + "\r\n\r\n");
    ASSERT_TRUE(append(file, firstReport));
    ASSERT_TRUE(append(file, secondReport));
    const std::string content = readFile(file);
    EXPECT_EQ(content.rfind("date/time         : ", 0), 0u) << content.substr(0, 80);
    EXPECT_NE(content.find("crash number 1"), std::string::npos);
}

TEST(ReportFile, ANewestReportLongerThanTheTargetIsKeptWhole)
{
    const auto file = vokrin::testing::makeTempDir("huge") / "bugreport.txt";
    const std::string small = makeReport(0, 10);
    const std::string huge = makeReport(1, 1000); // about 60000 bytes
    ASSERT_GT(huge.size(), kReportFileLimit);
    ASSERT_TRUE(append(file, small));
    ASSERT_TRUE(append(file, huge));
    EXPECT_EQ(readFile(file), huge + "\r\n\r\n");
}

TEST(ReportFile, ALimitOfZeroOverwrites)
{
    const auto file = vokrin::testing::makeTempDir("zero") / "bugreport.txt";
    ASSERT_TRUE(append(file, makeReport(0, 2), 0));
    ASSERT_TRUE(append(file, makeReport(1, 2), 0));
    EXPECT_EQ(readFile(file), makeReport(1, 2) + "\r\n\r\n");
    // Longer, then shorter: the file holds exactly the newest report.
    ASSERT_TRUE(append(file, makeReport(2, 50), 0));
    EXPECT_EQ(readFile(file), makeReport(2, 50) + "\r\n\r\n");
    ASSERT_TRUE(append(file, makeReport(3, 1), 0));
    EXPECT_EQ(readFile(file), makeReport(3, 1) + "\r\n\r\n");
}

// A full disk stops a report before it touches the ones already there, appended or
// overwriting (a limit of 0).
TEST(ReportFile, AFullDiskLeavesTheReportsThatWereThere)
{
    for (const std::size_t limit : {kReportFileLimit, std::size_t{0}}) {
        SCOPED_TRACE(limit);
        const auto file = vokrin::testing::makeTempDir("full") / "bugreport.txt";
        ASSERT_TRUE(append(file, makeReport(0, 2), limit));
        const std::string before = readFile(file);
        {
            const vokrin::testing::ScopedFileSizeLimit fullDisk(before.size() + 100);
            EXPECT_FALSE(append(file, makeReport(1, 200), limit));
        }
        EXPECT_EQ(readFile(file), before);
        // With room again the report lands.
        ASSERT_TRUE(append(file, makeReport(1, 200), limit));
        EXPECT_NE(readFile(file).find("crash number 1"), std::string::npos);
    }
}

TEST(ReportFile, AFolderThatCannotBeWrittenGetsNoReportFile)
{
    const auto dir = vokrin::testing::makeTempDir("readonly");
    {
        const vokrin::testing::ScopedReadOnlyFolder readOnly(QString::fromStdString(dir.string()));
        ASSERT_TRUE(readOnly.active()) << "the folder could not be made read-only";
        EXPECT_FALSE(append(dir / "bugreport.txt", makeReport(0, 2)));
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "bugreport.txt"));
}

TEST(ReportFile, WriteFailuresAreReportedAndLeaveNoHalfReport)
{
    const auto dir = vokrin::testing::makeTempDir("fail");
    // A folder that does not exist: nothing is created.
    EXPECT_FALSE(append(dir / "missing" / "bugreport.txt", makeReport(0, 2)));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
    // A device that is always full.
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_FALSE(append("/dev/full", makeReport(0, 2)));
    }
}
