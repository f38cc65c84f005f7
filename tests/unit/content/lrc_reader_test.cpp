#include "content/lrc_reader.h"
#include "content/lrc_writer.h"

#include <gtest/gtest.h>

using vokrin::content::lrcTimeTag;
using vokrin::content::parseLrcTime;
using vokrin::content::readLrc;
using vokrin::content::TextEncoding;
using vokrin::content::TimedLine;
using vokrin::content::TimedTextError;
using Lines = QList<TimedLine>;

TEST(LrcReader, ReadsEveryRuleOfLineTimedFiles)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        Lines expected;
    };
    const Case cases[] = {
        {"centiseconds", "[00:01.50]One\n[01:02.07]Two\n", {{1500, "One"}, {62070, "Two"}}},
        {"milliseconds", "[00:01.505]One\r\n[10:00.001]Two", {{1505, "One"}, {600001, "Two"}}},
        {"tenths and whole seconds", "[00:02.5]a\r[00:03]b", {{2500, "a"}, {3000, "b"}}},
        {"colon before the fraction", "[00:04:25]a", {{4250, "a"}}},
        {"minutes past 99", "[123:00.00]late", {{7380000, "late"}}},
        {"several tags repeat the line",
         "[00:10.00][00:30.00]Chorus\n[00:20.00]Verse\n",
         {{10000, "Chorus"}, {20000, "Verse"}, {30000, "Chorus"}}},
        {"sorted by time, equal times in file order",
         "[00:05.00]b\n[00:01.00]a\n[00:05.00]c\n",
         {{1000, "a"}, {5000, "b"}, {5000, "c"}}},
        {"metadata kept out of the text",
         "[ti:Song]\n[ar:Singer]\n[al:Album]\n[by:Me]\n[length:03:10]\n[re:Tool]\n[ve:1.0]\n"
         "[au:Writer]\n[00:01.00]Line\n",
         {{1000, "Line"}}},
        {"positive offset shows lines earlier", "[offset:+500]\n[00:02.00]a", {{1500, "a"}}},
        {"offset without sign", "[00:02.00]a\n[offset:250]", {{1750, "a"}}},
        {"negative offset shows them later", "[offset:-300]\n[00:02.00]a", {{2300, "a"}}},
        {"an offset never goes before the start", "[offset:+5000]\n[00:02.00]a", {{0, "a"}}},
        {"enhanced word times collapse to the line's time",
         "[00:12.00]<00:12.00>Hello <00:12.50> world<00:13.10>\n",
         {{12000, "Hello world"}}},
        {"untimed lines left out",
         "Title line\n[Chorus]\n[00:01.00]a\n\n  \nplain\n",
         {{1000, "a"}}},
        {"a timed empty line is a line", "[00:01.00]a\n[00:04.00]\n", {{1000, "a"}, {4000, ""}}},
        {"spaces around tags and text", "  [00:01.00]  spaced  \n", {{1000, "spaced"}}},
        {"brackets inside the text stay", "[00:01.00]a [b] <c>", {{1000, "a [b] <c>"}}},
        {"UTF-8 with a byte order mark",
         "\xEF\xBB\xBF[00:01.00]\xD0\x9B\xD0\xB0",
         {{1000, QString::fromUtf8("\xD0\x9B\xD0\xB0")}}},
        {"Windows-1251", "[00:01.00]\xCB\xE0", {{1000, QString::fromUtf8("\xD0\x9B\xD0\xB0")}}},
    };
    for (const Case &c : cases) {
        const auto read = readLrc(c.bytes);
        EXPECT_EQ(read.error, TimedTextError::None) << c.name;
        EXPECT_EQ(read.lines, c.expected) << c.name;
    }
}

TEST(LrcReader, KeepsTheEncodingOfTheFile)
{
    EXPECT_EQ(readLrc("[00:01.00]\xD0\x9B").encoding, TextEncoding::Utf8);
    EXPECT_EQ(readLrc("[00:01.00]\xCB\xE0").encoding, TextEncoding::Windows1251);
}

TEST(LrcReader, RefusesWhatIsNotALineTimedText)
{
    QByteArray huge(vokrin::content::kMaxTimedTextBytes + 1, 'a');
    QByteArray binary("[00:01.00]a\n\x01\x02\x03\xFF");
    const struct
    {
        const char *name;
        QByteArray bytes;
        TimedTextError error;
        int line;
    } cases[] = {
        {"no time at all", "just\nwords\n", TimedTextError::NoTimedLines, 0},
        {"only metadata", "[ti:x]\n[ar:y]\n", TimedTextError::NoTimedLines, 0},
        {"empty", "", TimedTextError::NoTimedLines, 0},
        {"seconds past 59", "[00:01.00]a\n[00:75.00]b\n", TimedTextError::BadTag, 2},
        {"letters in a time", "[1:5x.00]a", TimedTextError::BadTag, 1},
        {"one-digit seconds", "[01:5.00]a", TimedTextError::BadTag, 1},
        {"four-digit fraction", "[01:05.0000]a", TimedTextError::BadTag, 1},
        {"a bad second tag", "[00:01.00][00:0x]a", TimedTextError::BadTag, 1},
        {"an offset that is no number", "[offset:soon]\n[00:01.00]a", TimedTextError::BadTag, 1},
        {"UTF-16 with its mark",
         QByteArray("\xFF\xFE[\0"
                    "0\0",
                    6),
         TimedTextError::NotText, 0},
        {"UTF-16 without a mark",
         QByteArray("[\0"
                    "0\0"
                    "0\0",
                    6),
         TimedTextError::NotText, 0},
        {"binary garbage", binary, TimedTextError::NotText, 0},
        {"too large", huge, TimedTextError::TooLarge, 0},
    };
    for (const auto &c : cases) {
        const auto read = readLrc(c.bytes);
        EXPECT_EQ(read.error, c.error) << c.name;
        EXPECT_EQ(read.errorLine, c.line) << c.name;
        EXPECT_TRUE(read.lines.isEmpty()) << c.name;
    }
}

TEST(LrcReader, TimeTagsBothWays)
{
    EXPECT_EQ(parseLrcTime(u"00:00.00"), 0);
    EXPECT_EQ(parseLrcTime(u"99999:59.999"), (qint64(99999) * 60 + 59) * 1000 + 999);
    EXPECT_FALSE(parseLrcTime(u"100000:00.00")); // six-digit minutes
    EXPECT_FALSE(parseLrcTime(u":00.00"));
    EXPECT_FALSE(parseLrcTime(u"00:00."));
    EXPECT_FALSE(parseLrcTime(u"-1:00.00"));

    EXPECT_EQ(lrcTimeTag(0), "[00:00.00]");
    EXPECT_EQ(lrcTimeTag(62075), "[01:02.08]"); // to the nearest hundredth
    EXPECT_EQ(lrcTimeTag(62074), "[01:02.07]");
    EXPECT_EQ(lrcTimeTag(59995), "[01:00.00]"); // the carry reaches the minutes
    EXPECT_EQ(lrcTimeTag(qint64(150) * 60000), "[150:00.00]");
    EXPECT_EQ(lrcTimeTag(-20), "[00:00.00]");
    for (qint64 ms : {0, 10, 990, 61230, 3599990})
        EXPECT_EQ(parseLrcTime(lrcTimeTag(ms).mid(1).chopped(1)), ms);
}

TEST(LrcWriter, WritesHeadersAndOneLinePerTime)
{
    const QByteArray written = vokrin::content::writeLrc(
        {{1000, QString::fromUtf8("\xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F")},
         {2345, "two\nlines"},
         {2345, ""}},
        {190400, "vokrin-lrc"});
    EXPECT_EQ(written, "[length:3:10]\n[re:vokrin-lrc]\n"
                       "[00:01.00]\xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F\n"
                       "[00:02.35]two lines\n[00:02.35]\n");
    // What it writes reads back the same, to the hundredth.
    const auto read = readLrc(written);
    ASSERT_TRUE(read.ok());
    ASSERT_EQ(read.lines.size(), 3);
    EXPECT_EQ(read.lines[1], (TimedLine{2350, "two lines"}));
    EXPECT_EQ(vokrin::content::writeLrc({}, {-1, {}}), "");
}
