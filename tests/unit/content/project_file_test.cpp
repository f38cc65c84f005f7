#include "content/file_error.h"
#include "content/project_file.h"

#include "test_env.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <limits>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using vokrin::content::ContentFileError;
using vokrin::content::kProjectFieldSize;
using vokrin::content::parseProject;
using vokrin::content::ProjectReadResult;
using vokrin::content::readBackingTrackName;
using vokrin::content::readProjectFile;
using vokrin::content::rewriteBackingTrackName;
using vokrin::content::serializeProject;
using vokrin::content::SongProject;
using vokrin::content::writeProjectFile;

namespace {

QByteArray le32(quint32 value)
{
    QByteArray bytes;
    for (int i = 0; i < 4; ++i)
        bytes.append(char((value >> (8 * i)) & 0xFF));
    return bytes;
}

QByteArray field(const QByteArray &text)
{
    return text + QByteArray(kProjectFieldSize - text.size(), '\0');
}

QByteArray repeated(const char *pattern, qsizetype size)
{
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += pattern;
    return bytes.left(size);
}

QByteArray allHighBytes()
{
    QByteArray bytes;
    for (int b = 0x80; b <= 0xFF; ++b)
        bytes.append(char(b));
    return bytes;
}

QString tempPath(const char *name)
{
    static const auto dir = vokrin::testing::makeTempDir("projects");
    return QString::fromStdString((dir / name).string());
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

} // namespace

TEST(ProjectFile, ThreeCuesTwoLinesAreByteForByteTheLayout)
{
    const QByteArray golden = field("/songs/a.mp3") + le32(3) + le32(0) + le32(44100) +
                              le32(0xFFFFFFFF) + le32(2) + field("\xCF\xE5\xF0\xE2\xE0\xFF") +
                              field("");
    ASSERT_EQ(golden.size(), 263 + 4 * 3 + 255 * 2);

    const SongProject project{
        "/songs/a.mp3", {0, 44100, 0xFFFFFFFF}, {"\xCF\xE5\xF0\xE2\xE0\xFF", ""}};
    EXPECT_EQ(serializeProject(project), golden);

    const QString path = tempPath("golden.lyp");
    writeProjectFile(path, project);
    EXPECT_EQ(fileBytes(path), golden);
    const ProjectReadResult read = readProjectFile(path);
    EXPECT_FALSE(read.truncated);
    EXPECT_EQ(read.project, project);
}

TEST(ProjectFile, ProjectsComeBackAsTheyWereWritten)
{
    struct Case
    {
        const char *name;
        SongProject project;
        qsizetype size;
    };
    const Case cases[] = {
        {"nothing: C = 0, L = 0", {}, 263},
        {"255-byte name and line, no terminator",
         {repeated("n", 255), {7}, {repeated("line ", 255)}},
         263 + 4 + 255},
        {"empty line keeps its place", {"a.mp3", {1, 2, 3}, {"one", "", "three"}}, 263 + 12 + 765},
        {"3 cues, 5 lines", {"a.ogg", {10, 20, 30}, {"1", "2", "3", "4", "5"}}, 263 + 12 + 1275},
        {"7 cues, 2 lines", {"b.wav", {1, 2, 3, 4, 5, 6, 7}, {"x", "y"}}, 263 + 28 + 510},
        {"Windows-1251 bytes 0x80-0xFF",
         {allHighBytes(), {0x80000000u}, {allHighBytes().mid(64), allHighBytes().left(64)}},
         263 + 4 + 510},
        {"cues only", {"", {std::numeric_limits<quint32>::max()}, {}}, 263 + 4},
    };
    for (const Case &c : cases) {
        const QByteArray bytes = serializeProject(c.project);
        EXPECT_EQ(bytes.size(), c.size) << c.name;
        const ProjectReadResult read = parseProject(bytes);
        EXPECT_FALSE(read.truncated) << c.name;
        EXPECT_EQ(read.project, c.project) << c.name;
    }
    // An empty line is 255 zero bytes in place; a 255-byte text has no zero after it.
    const QByteArray bytes = serializeProject({"a.mp3", {}, {"", repeated("z", 255), "w"}});
    EXPECT_EQ(bytes.mid(263, 255), QByteArray(255, '\0'));
    EXPECT_EQ(bytes.mid(263 + 255, 255), repeated("z", 255));
    EXPECT_EQ(bytes.mid(263 + 510, 1), "w");
}

TEST(ProjectFile, LongerTextsAreCutAtACharacterBoundary)
{
    const QByteArray ya("\xD1\x8F"); // UTF-8 я: 2 bytes, so 128 of them end at byte 256
    QByteArray utf8Line;
    for (int i = 0; i < 128; ++i)
        utf8Line += ya;
    const SongProject project{repeated("\xC0\xC1", 300), {}, {utf8Line, repeated("abc", 1000)}};
    const QByteArray bytes = serializeProject(project);
    ASSERT_EQ(bytes.size(), 263 + 510);
    const SongProject read = parseProject(bytes).project;
    EXPECT_EQ(read.backingTrackName, repeated("\xC0\xC1", 255));
    EXPECT_EQ(read.lines[0], utf8Line.left(254));
    EXPECT_EQ(read.lines[1], repeated("abc", 255));
}

TEST(ProjectFile, TruncatedFilesAndAbsurdCountsNeverReadPastTheEnd)
{
    const QByteArray name = field("a.mp3");
    constexpr quint32 absurd = 0x7FFFFFFF;
    struct Case
    {
        const char *name;
        QByteArray bytes;
        SongProject expected;
        bool truncated;
    };
    const Case cases[] = {
        {"empty file", "", {}, true},
        {"name field cut short", QByteArray("a.mp3\0\0", 7), {"a.mp3", {}, {}}, true},
        {"no cue count", name + QByteArray("\x01\x00", 2), {"a.mp3", {}, {}}, true},
        {"absurd cue count",
         name + le32(absurd) + le32(5) + le32(6) + "\x07",
         {"a.mp3", {5, 6}, {}},
         true},
        {"no line count", name + le32(1) + le32(9), {"a.mp3", {9}, {}}, true},
        {"absurd line count",
         name + le32(1) + le32(9) + le32(absurd) + field("one") + "tw",
         {"a.mp3", {9}, {"one"}},
         true},
        {"one line short",
         name + le32(0) + le32(3) + field("1") + field("2"),
         {"a.mp3", {}, {"1", "2"}},
         true},
        {"negative counts read as zero",
         name + le32(0xFFFFFFFF) + le32(0x80000000),
         {"a.mp3", {}, {}},
         false},
        {"negative cue count, then lines",
         name + le32(quint32(-5)) + le32(1) + field("x"),
         {"a.mp3", {}, {"x"}},
         false},
        {"bytes after the last line are ignored",
         name + le32(0) + le32(1) + field("x") + "junk",
         {"a.mp3", {}, {"x"}},
         false},
    };
    for (const Case &c : cases) {
        // A copy in its own allocation, so a read past the end shows under ASan.
        const QByteArray exact(c.bytes.constData(), c.bytes.size());
        const ProjectReadResult read = parseProject(exact);
        EXPECT_EQ(read.truncated, c.truncated) << c.name;
        EXPECT_EQ(read.project, c.expected) << c.name;
    }
}

TEST(ProjectFile, ReadingTheFileItself)
{
    const QString path = tempPath("cut.lyp");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(field("x.mp3") + le32(0x7FFFFFFF) + le32(1));
    file.close();
    const ProjectReadResult read = readProjectFile(path);
    EXPECT_TRUE(read.truncated);
    EXPECT_EQ(read.project, (SongProject{"x.mp3", {1}, {}}));
    EXPECT_EQ(readBackingTrackName(path), "x.mp3");

    const QString empty = tempPath("empty.lyp");
    QFile emptyFile(empty);
    ASSERT_TRUE(emptyFile.open(QIODevice::WriteOnly));
    emptyFile.close();
    EXPECT_TRUE(readProjectFile(empty).truncated);
    EXPECT_EQ(readBackingTrackName(empty), "");
}

TEST(ProjectFile, WritingReplacesWholeFilesAndReportsThePathAndReason)
{
    const QString path = tempPath("replace.lyp");
    writeProjectFile(path, {"old.mp3", {1, 2, 3, 4, 5, 6, 7, 8}, {"a", "b", "c", "d"}});
    writeProjectFile(path, {"new.mp3", {9}, {"z"}});
    EXPECT_EQ(fileBytes(path), serializeProject({"new.mp3", {9}, {"z"}}));
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath())
                  .entryList(QDir::Files | QDir::Hidden)
                  .filter("replace"),
              QStringList{"replace.lyp"});

    struct Case
    {
        const char *name;
        QString path;
    };
    const QString folderPath = tempPath("a-folder.lyp");
    QDir().mkpath(folderPath);
    const Case cases[] = {
        {"missing folder", tempPath("no-such-folder/x.lyp")},
        {"the name is a folder", folderPath},
        {"read-only file system", QStringLiteral("/proc/self/x.lyp")},
    };
    for (const Case &c : cases) {
        try {
            writeProjectFile(c.path, {"a.mp3", {}, {}});
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ContentFileError &e) {
            EXPECT_EQ(e.path(), c.path) << c.name;
            EXPECT_FALSE(e.reason().isEmpty()) << c.name;
            EXPECT_NE(std::string(e.what()).find(c.path.toStdString()), std::string::npos)
                << c.name;
        }
    }
    EXPECT_THROW(readProjectFile(tempPath("missing.lyp")), ContentFileError);
    EXPECT_THROW(readBackingTrackName(tempPath("missing.lyp")), ContentFileError);
}

TEST(ProjectFile, NameRewriteChangesOnlyTheFirst255BytesInPlace)
{
    const QString path = tempPath("rewrite.lyp");
    const SongProject before{"/old/place/a.mp3", {5, 6}, {"one", "two"}};
    // Bytes after the last line belong to the file too and must survive.
    const QByteArray original = serializeProject(before) + "trailing";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();

    rewriteBackingTrackName(path, "/a.mp3");
    const QByteArray after = fileBytes(path);
    EXPECT_EQ(after.left(255), field("/a.mp3"));
    EXPECT_EQ(after.mid(255), original.mid(255));

    rewriteBackingTrackName(path, repeated("long", 400));
    EXPECT_EQ(fileBytes(path).left(255), repeated("long", 255));
    EXPECT_EQ(fileBytes(path).mid(255), original.mid(255));

    try {
        rewriteBackingTrackName(tempPath("not-there.lyp"), "a.mp3");
        ADD_FAILURE() << "a missing project was rewritten";
    } catch (const ContentFileError &e) {
        EXPECT_EQ(e.path(), tempPath("not-there.lyp"));
    }
    EXPECT_FALSE(QFile::exists(tempPath("not-there.lyp")));
}

namespace {

// Runs write in a child process whose files may not grow past limit bytes, as on a full
// disk (this holds for the superuser too). Returns the child's exit code: 0 when write
// threw ContentFileError, 1 when it returned normally, 2 for any other exception.
int writeWithFileSizeLimit(rlim_t limit, const std::function<void()> &write)
{
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit small{limit, limit};
        setrlimit(RLIMIT_FSIZE, &small);
        try {
            write();
            _exit(1);
        } catch (const ContentFileError &) {
            _exit(0);
        } catch (...) {
            _exit(2);
        }
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(ProjectFile, AWriteThatRunsOutOfSpaceLeavesTheOldFileWhole)
{
    const QString path = tempPath("full-disk.lyp");
    const SongProject old{"old.mp3", {1, 2}, {"old line"}};
    writeProjectFile(path, old);
    const QByteArray before = fileBytes(path);

    const SongProject big{"new.mp3", QList<quint32>(100, 7), QList<QByteArray>(40, "new line")};
    EXPECT_EQ(writeWithFileSizeLimit(4096, [&] { writeProjectFile(path, big); }), 0);
    EXPECT_EQ(fileBytes(path), before);
    const QStringList left = QDir(QFileInfo(path).absolutePath())
                                 .entryList(QDir::Files | QDir::Hidden)
                                 .filter(QStringLiteral("full-disk"));
    EXPECT_EQ(left, QStringList{"full-disk.lyp"});
    // With room enough the same write goes through.
    EXPECT_EQ(writeWithFileSizeLimit(1 << 20, [&] { writeProjectFile(path, big); }), 1);
    EXPECT_EQ(readProjectFile(path).project, big);
}
