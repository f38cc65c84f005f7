#include "content/timed_text.h"
#include "content/ultrastar_reader.h"

#include <gtest/gtest.h>

using vokrin::content::readUltraStar;
using vokrin::content::SongTextKind;
using vokrin::content::songTextKind;
using vokrin::content::TimedLine;
using vokrin::content::TimedTextError;
using Lines = QList<TimedLine>;

namespace {

// At 300 BPM one beat is 60000 / 1200 = 50 ms.
const char *const kHeader = "#TITLE:Song\r\n#ARTIST:Singer\r\n#MP3:song.mp3\r\n#BPM:300\r\n"
                            "#GAP:1000\r\n";

QByteArray song(const char *body, const char *header = kHeader)
{
    return QByteArray(header) + body;
}

} // namespace

TEST(UltraStarReader, ReadsEveryRuleOfSongs)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        Lines expected;
    };
    const Case cases[] = {
        {"notes and line breaks: GAP plus beats",
         song(": 0 4 60 Hel\r\n: 4 4 62 lo\r\n* 8 2 64  world\r\n- 12\r\n: 20 2 60 Two\r\nE\r\n"),
         {{1000, "Hello world"}, {2000, "Two"}}},
        {"every note kind takes part",
         song("F 2 1 0 free\n- 4\nR 6 1 0 rap\n- 8\nG 10 1 0 gold\n- 12\n* 14 1 0 star\nE\n"),
         {{1100, "free"}, {1300, "rap"}, {1500, "gold"}, {1700, "star"}}},
        {"decimal comma in BPM and GAP",
         song(": 10 1 0 a\nE\n", "#TITLE:x\n#BPM:187,5\n#GAP:250,4\n"),
         // 60000 / 750 = 80 ms a beat: 250.4 + 800.
         {{1050, "a"}}},
        {"decimal point in BPM", song(": 3 1 0 a\nE\n", "#BPM:12.5\n"), {{3600, "a"}}},
        {"without GAP", song(": 4 1 0 a\nE\n", "#BPM:300\n"), {{200, "a"}}},
        {"relative: beats count from the line's start",
         song(": 0 2 0 one\n- 4 10\n: 2 2 0 two\n- 6 20\n: 0 1 0 three\nE\n",
              "#BPM:300\n#GAP:0\n#RELATIVE:yes\n"),
         {{0, "one"}, {600, "two"}, {1500, "three"}}},
        {"relative break with one number",
         song(": 0 2 0 one\n- 8\n: 1 1 0 two\nE\n", "#BPM:300\n#RELATIVE:YES\n"),
         {{0, "one"}, {450, "two"}}},
        {"not relative: breaks do not move beats",
         song(": 0 2 0 one\n- 4 10\n: 12 2 0 two\nE\n", "#BPM:300\n#RELATIVE:no\n"),
         {{0, "one"}, {600, "two"}}},
        {"a relative duet: the first singer's start goes on after the second's part",
         song("P1\n: 0 1 0 a\n- 2 10\nP2\n: 0 1 0 x\n- 2 50\nP1\n: 1 1 0 b\nE\n",
              "#BPM:300\n#RELATIVE:YES\n"),
         {{0, "a"}, {550, "b"}}},
        {"a duet gives the first singer",
         song("P1\n: 0 2 0 mine\n- 4\n: 8 2 0 also\nP2\n: 2 2 0 theirs\n- 6\n: 10 1 0 x\nE\n"),
         {{1000, "mine"}, {1400, "also"}}},
        {"a duet with the second singer first",
         song("P 2\n: 0 2 0 theirs\nP 1\n: 20 2 0 mine\nE\n"),
         {{2000, "mine"}}},
        {"nothing after E", song(": 0 1 0 a\nE\n: 40 1 0 b\n"), {{1000, "a"}}},
        {"empty breaks make no lines",
         song(": 0 1 0 a\n- 2\n- 3\n: 4 1 0 b\n"),
         {{1000, "a"}, {1200, "b"}}},
        {"a negative start never goes before zero",
         song(": -40 1 0 a\nE\n", "#BPM:300\n#GAP:100\n"),
         {{0, "a"}}},
        {"Windows-1251 text",
         song(": 0 1 0 \xCB\xE0\nE\n"),
         {{1000, QString::fromUtf8("\xD0\x9B\xD0\xB0")}}},
        {"UTF-8 text with a byte order mark",
         "\xEF\xBB\xBF#BPM:300\n: 0 1 0 \xD0\x9B\xD0\xB0\nE\n",
         {{0, QString::fromUtf8("\xD0\x9B\xD0\xB0")}}},
    };
    for (const Case &c : cases) {
        const auto read = readUltraStar(c.bytes);
        EXPECT_EQ(read.error, TimedTextError::None) << c.name;
        EXPECT_EQ(read.lines, c.expected) << c.name;
    }
}

TEST(UltraStarReader, RefusesBrokenSongs)
{
    const struct
    {
        const char *name;
        QByteArray bytes;
        TimedTextError error;
        int line;
    } cases[] = {
        {"no BPM", "#TITLE:x\n: 0 1 0 a\n", TimedTextError::NoBpm, 0},
        {"zero BPM", "#BPM:0\n: 0 1 0 a\n", TimedTextError::NoBpm, 0},
        {"BPM that is no number", "#TITLE:x\n#BPM:fast\n: 0 1 0 a\n", TimedTextError::BadTag, 2},
        {"GAP that is no number", "#BPM:300\n#GAP:1s\n", TimedTextError::BadTag, 2},
        {"a note without its numbers", "#BPM:300\n: 0 1 a\n", TimedTextError::BadTag, 2},
        {"a note with letters in a number", "#BPM:300\n: 0 1x 0 a\n", TimedTextError::BadTag, 2},
        {"a line break without a beat", "#BPM:300\n: 0 1 0 a\n-\n", TimedTextError::BadTag, 3},
        {"an unknown line", "#BPM:300\n: 0 1 0 a\nhello\n", TimedTextError::BadTag, 3},
        {"a bad singer", "#BPM:300\nP x\n", TimedTextError::BadTag, 2},
        {"a start too large to be a beat", "#BPM:300\n: 99999999999 1 0 a\n",
         TimedTextError::BadTag, 2},
        {"no notes", "#BPM:300\nE\n", TimedTextError::NoTimedLines, 0},
        {"binary", "#BPM:300\n\x01\x02\x00\x00", TimedTextError::NotText, 0},
    };
    for (const auto &c : cases) {
        const auto read = readUltraStar(c.bytes);
        EXPECT_EQ(read.error, c.error) << c.name;
        EXPECT_EQ(read.errorLine, c.line) << c.name;
        EXPECT_TRUE(read.lines.isEmpty()) << c.name;
    }
}

TEST(SongTextKind, TellsTheKindsApart)
{
    const struct
    {
        const char *path;
        QByteArray bytes;
        SongTextKind kind;
    } cases[] = {
        {"/s/song.lrc", "anything", SongTextKind::Lrc},
        {"/s/SONG.LRC", "", SongTextKind::Lrc},
        {"/s/song.txt", "#TITLE:Song\n#BPM:300\n", SongTextKind::UltraStar},
        {"/s/song.txt", "\xEF\xBB\xBF\r\n  \r\n#ARTIST:x\n", SongTextKind::UltraStar},
        {"/s/song.txt", "#MP3:a.mp3", SongTextKind::UltraStar},
        {"/s/song.txt", "Во поле берёза стояла\n", SongTextKind::Plain},
        {"/s/song.txt", "# not a header\n", SongTextKind::Plain},
        {"/s/song.txt", "#1:numbers first\n", SongTextKind::Plain},
        {"/s/song.txt", "[00:01.00]an LRC in a .txt stays plain\n", SongTextKind::Plain},
        {"/s/song.txt", "", SongTextKind::Plain},
        {"/s/song", "#TITLE:x", SongTextKind::UltraStar},
        // UTF-16 songs are songs its reader refuses with a reason.
        {"/s/song.txt", QByteArray("\xFF\xFE#\0T\0", 6), SongTextKind::UltraStar},
        {"/s/song.txt", QByteArray("\xFE\xFF\0#\0T", 6), SongTextKind::UltraStar},
    };
    for (const auto &c : cases)
        EXPECT_EQ(songTextKind(c.path, c.bytes), c.kind) << c.path << " " << c.bytes.constData();
}
