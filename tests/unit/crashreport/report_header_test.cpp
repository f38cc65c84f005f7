#include "crashreport/report_header.h"
#include "crashreport/system_info.h"

#include <gtest/gtest.h>
#include <string>

using namespace vokrin::crashreport;

namespace {

std::string lines(const ReportHeader &header)
{
    static char storage[1 << 16];
    SafeBuffer out(storage, sizeof storage);
    writeHeader(out, header);
    return {out.data(), out.size()};
}

} // namespace

TEST(ReportHeader, LabelsComeInOrderPaddedTo18CharactersAndEndWithCrLf)
{
    ReportHeader header;
    for (int field = 0; field < HeaderFieldCount; ++field)
        header.set(static_cast<HeaderField>(field), ("v" + std::to_string(field)).c_str());
    const std::string expected = "date/time         : v0\r\n"
                                 "computer name     : v1\r\n"
                                 "wts client name   : v2\r\n"
                                 "user name         : v3\r\n"
                                 "operating system  : v4\r\n"
                                 "system language   : v5\r\n"
                                 "system up time    : v6\r\n"
                                 "program up time   : v7\r\n"
                                 "processor         : v8\r\n"
                                 "processors        : v9\r\n"
                                 "physical memory   : v10\r\n"
                                 "system resources  : v11\r\n"
                                 "free disk space   : v12\r\n"
                                 "display mode      : v13\r\n"
                                 "process id        : v14\r\n"
                                 "allocated memory  : v15\r\n"
                                 "command line      : v16\r\n"
                                 "executable        : v17\r\n"
                                 "current module    : v18\r\n"
                                 "exec. date/time   : v19\r\n"
                                 "module date/time  : v20\r\n"
                                 "version           : v21\r\n"
                                 "bde version       : v22\r\n"
                                 "reporter version  : v23\r\n"
                                 "exception class   : v24\r\n"
                                 "exception message : v25\r\n";
    EXPECT_EQ(lines(header), expected);
}

TEST(ReportHeader, MessageLineBreaksBecomeCrLf)
{
    static char storage[256];
    SafeBuffer out(storage, sizeof storage);
    writeHeaderLine(out, "exception message", "first\nsecond\r\nthird");
    EXPECT_EQ(std::string(out.data()), "exception message : first\r\nsecond\r\nthird\r\n");
}

TEST(ReportHeader, DatesAndDurations)
{
    struct Case
    {
        std::int64_t seconds;
        int millis;
        std::int64_t offset;
        const char *expected;
    };
    const Case dates[] = {
        {0, 0, 0, "1970-01-01, 00:00:00.000"},
        {951782400, 5, 0, "2000-02-29, 00:00:00.005"},       // leap day of a century year
        {1796858102, 123, 3600, "2026-12-10, 00:15:02.123"}, // the offset crosses midnight
        {1796858102, 999, -7200, "2026-12-09, 21:15:02.999"},
        {-1, 0, 0, "1969-12-31, 23:59:59.000"},
    };
    for (const Case &c : dates) {
        char storage[64];
        SafeBuffer out(storage, sizeof storage);
        writeDateTime(out, c.seconds, c.millis, c.offset);
        EXPECT_STREQ(out.data(), c.expected) << c.seconds;
    }
    const std::pair<std::uint64_t, const char *> durations[] = {
        {0, "00:00:00"},
        {3725, "01:02:05"},
        {86400 + 61, "1 day 00:01:01"},
        {3 * 86400 + 4 * 3600 + 5 * 60 + 6, "3 days 04:05:06"}};
    for (const auto &[seconds, expected] : durations) {
        char storage[64];
        SafeBuffer out(storage, sizeof storage);
        writeDuration(out, seconds);
        EXPECT_STREQ(out.data(), expected);
    }
}

TEST(ReportHeader, CommandLineQuotesArgumentsTheShellWouldSplit)
{
    const char *argv[] = {"/opt/vokrin/vokrin", "plain", "two words", "it's", ""};
    char storage[256];
    SafeBuffer out(storage, sizeof storage);
    writeCommandLine(out, 5, argv);
    EXPECT_STREQ(out.data(), "/opt/vokrin/vokrin plain 'two words' 'it'\\''s' ''");
}

TEST(ReportHeader, EveryLineHasAValueOnThisSystem)
{
    ReportHeader header;
    ProcessFacts facts;
    char arg0[] = "vokrin";
    char *argv[] = {arg0, nullptr};
    collectStaticHeader(header, facts, 1, argv);
    collectDynamicHeader(header, facts);
    for (int field = 0; field < HeaderFieldCount; ++field) {
        if (field == ExceptionClass || field == ExceptionMessage)
            continue;
        EXPECT_STRNE(header.values[field], "") << headerLabel(static_cast<HeaderField>(field));
    }
    EXPECT_EQ(std::string(header.get(ProcessId)), std::to_string(getpid()));
    EXPECT_EQ(std::string(header.get(CommandLine)), "vokrin");
}

TEST(SafeBuffer, CutsTextThatDoesNotFitAndSaysSo)
{
    char storage[8];
    SafeBuffer out(storage, sizeof storage);
    out.append("0123456789");
    EXPECT_STREQ(out.data(), "0123456");
    EXPECT_TRUE(out.truncated());
    out.clear();
    out.appendHex(0xdeadbeef, 8);
    EXPECT_STREQ(out.data(), "deadbee");
    out.clear();
    out.appendSigned(-42);
    EXPECT_STREQ(out.data(), "-42");
}
