#include "authoring/song_text.h"
#include "authoring/wizard_rules.h"
#include "content/file_error.h"
#include "test_env.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vokrin::authoring;

namespace {

TEST(ProposedProjectName, ReplacesOnlyTheFileNamesExtension)
{
    const struct
    {
        const char *audio;
        const char *expected;
    } cases[] = {
        {"D:\\Songs\\a.mp3", "D:\\Songs\\a.lyp"},
        {"/home/u/Songs/a.mp3", "/home/u/Songs/a.lyp"},
        {"", ".lyp"},
        {"/music/a.b.ogg", "/music/a.b.lyp"},
        {"/music.d/track", "/music.d/track.lyp"},
        {"C:track", "C:track.lyp"},
        {"/music/song.", "/music/song.lyp"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(replaceExtension(QString::fromUtf8(c.audio), QStringLiteral("lyp")),
                  QString::fromUtf8(c.expected))
            << c.audio;
}

TEST(PlayTimeCaption, ShowsMinutesAndSecondsOnly)
{
    const struct
    {
        double seconds;
        const char *expected;
    } cases[] = {
        {0, "00:00"},   {1, "00:01"},    {75, "01:15"},
        {599, "09:59"}, {3599, "59:59"}, {3725, "02:05"}, // hours are not shown
        {-5, "00:00"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(minutesSecondsText(c.seconds / 86400.0), QString::fromUtf8(c.expected))
            << c.seconds;
    EXPECT_EQ(playTimeCaption(75 / 86400.0), QStringLiteral("Время вопроизведения: 01:15"));
}

TEST(PlaceMark, ThreeTextLinesTakeEightMarksAndRefuseTheNinth)
{
    CueMarks marks;
    const int lineCount = 3 + kExtraMarkLines;
    int selected = -1;
    for (int i = 0; i < 8; ++i) {
        const std::optional<int> line = placeMark(marks, selected, lineCount, 1000u * i);
        ASSERT_TRUE(line) << "mark " << i;
        EXPECT_EQ(*line, i);
        selected = *line;
    }
    EXPECT_FALSE(placeMark(marks, selected, lineCount, 99999));
    EXPECT_EQ(marks.cues.size(), 8u);
    EXPECT_EQ(marks.cues.back(), 7000u);
    EXPECT_EQ(marks.pointer, 7);
}

TEST(PlaceMark, KeepsTheLow32BitsOfThePosition)
{
    CueMarks marks;
    ASSERT_TRUE(placeMark(marks, -1, 6, 0x1'2345'6789ull));
    EXPECT_EQ(marks.cues, std::vector<std::uint32_t>{0x2345'6789u});
}

TEST(PlaceMark, AClickedLineIsTestedButThePointerGoesOn)
{
    const struct
    {
        int pointer;
        int selected;
        int lineCount;
        std::optional<int> expected;
    } cases[] = {
        {2, 0, 8, 3},              // the user clicked the first line: marking goes on at 3
        {2, 7, 8, std::nullopt},   // the user clicked the last line: refused
        {7, 0, 8, std::nullopt},   // the pointer is on the last line: no line is left
        {-1, -1, 0, std::nullopt}, // an empty list takes nothing
        {-1, -1, 5, 0},
    };
    for (const auto &c : cases) {
        CueMarks marks;
        marks.pointer = c.pointer;
        EXPECT_EQ(placeMark(marks, c.selected, c.lineCount, 42), c.expected)
            << c.pointer << " " << c.selected;
        EXPECT_EQ(marks.cues.size(), c.expected ? 1u : 0u);
        EXPECT_EQ(marks.pointer, c.expected ? *c.expected : c.pointer);
    }
}

TEST(SongTextLines, AFinalLineBreakIsNotALine)
{
    const struct
    {
        const char *text;
        QStringList lines;
    } cases[] = {
        {"", {}},       {"a", {"a"}},
        {"a\n", {"a"}}, {"a\n\n", {"a", ""}},
        {"\n", {""}},   {"a\n\nb", {"a", "", "b"}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(songTextLines(QString::fromUtf8(c.text)), c.lines) << c.text;
    EXPECT_EQ(markLineList({"a"}), (QStringList{"a", "", "", "", "", ""}));
    EXPECT_EQ(markLineList({}).size(), kExtraMarkLines);
}

TEST(DecodeSongText, EveryLineEndBecomesOneBreakAndAZeroByteEndsTheText)
{
    const struct
    {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"one\r\ntwo\r\n", {"one", "two"}},
        {"one\rtwo\nthree", {"one", "two", "three"}},
        {"one\n\r\ntwo", {"one", "", "two"}},
        {"\r\r", {"", ""}},
        {QByteArray("one\ntwo\0three\n", 14), {"one", "two"}},
        {QByteArray("\0one", 4), {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(songTextLines(decodeSongText(c.bytes).text), c.lines) << c.bytes.toStdString();
}

TEST(DecodeSongText, KeepsTheEncodingTheTextCameIn)
{
    // "Привет" in Windows-1251 and in UTF-8.
    const QByteArray cp1251("\xcf\xf0\xe8\xe2\xe5\xf2\r\n");
    const QByteArray utf8 = QStringLiteral("Привет\n").toUtf8();
    const DecodedSongText single = decodeSongText(cp1251);
    const DecodedSongText multi = decodeSongText(utf8);
    EXPECT_EQ(single.text, QStringLiteral("Привет\n"));
    EXPECT_EQ(single.encoding, vokrin::content::TextEncoding::Windows1251);
    EXPECT_EQ(multi.text, QStringLiteral("Привет\n"));
    EXPECT_EQ(multi.encoding, vokrin::content::TextEncoding::Utf8);
}

TEST(ReadSongTextFile, StopsAtTheFirstZeroByteAndReportsAMissingFile)
{
    const auto dir = vokrin::testing::makeTempDir("song-text");
    const QString path = QString::fromStdString((dir / "song.txt").string());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("a\r\nb\0garbage", 12));
    file.close();
    EXPECT_EQ(readSongTextFile(path), QByteArray("a\r\nb"));
    EXPECT_THROW(readSongTextFile(path + QStringLiteral(".missing")),
                 vokrin::content::ContentFileError);
}

} // namespace
