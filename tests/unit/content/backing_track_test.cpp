#include "content/backing_track.h"
#include "content/project_file.h"

#include "test_env.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using vokrin::content::backingTrackNameFor;
using vokrin::content::readProjectFile;
using vokrin::content::resolveBackingTrackPath;
using vokrin::content::rewriteBackingTrack;
using vokrin::content::writeProjectFile;

// Readable failure messages for paths.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

// Runs the test body with the current folder set to dir and restores it afterwards.
class CurrentFolder
{
public:
    explicit CurrentFolder(const QString &dir) : m_saved(QDir::currentPath())
    {
        QDir::setCurrent(dir);
    }
    ~CurrentFolder() { QDir::setCurrent(m_saved); }

private:
    QString m_saved;
};

} // namespace

TEST(BackingTrack, ResolvesAsStoredElseJoinedBehindTheFolderText)
{
    const QString root = QString::fromStdString(vokrin::testing::makeTempDir("tracks").string());
    touch(root + "/songs/a.mp3");
    touch(root + "/old/b.mp3");
    touch(root + "/cwd/here.mp3");
    QDir().mkpath(root + "/cwd/dir.mp3");
    const CurrentFolder inCwd(root + "/cwd");

    struct Case
    {
        const char *name;
        QByteArray stored;
        QString folder;
        QString expected;
    };
    const Case cases[] = {
        {"full path that exists", (root + "/old/b.mp3").toUtf8(), root + "/songs/",
         root + "/old/b.mp3"},
        {"relative to the current folder", "here.mp3", "/elsewhere/", "here.mp3"},
        {"folder with separator", "a.mp3", root + "/songs/", root + "/songs/a.mp3"},
        {"folder without separator: nothing is added", "a.mp3", root + "/songs",
         root + "/songsa.mp3"},
        {"separator on both sides: nothing is removed", "/a.mp3", root + "/songs/",
         root + "/songs//a.mp3"},
        {"rewritten name behind the folder", "/a.mp3", root + "/songs", root + "/songs/a.mp3"},
        {"a missing full path is joined whole", "/gone/a.mp3", "/media/", "/media//gone/a.mp3"},
        {"a folder of that name is not a track", "dir.mp3", "/x/", "/x/dir.mp3"},
        {"empty name gives the folder text", "", "/x/", "/x/"},
        {"empty folder text", "nothing.mp3", "", "nothing.mp3"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(resolveBackingTrackPath(c.stored, c.folder), c.expected) << c.name;
}

TEST(BackingTrack, StoredNameIsThePathWithALeadingFolderTextCutOff)
{
    struct Case
    {
        const char *name;
        QString audio;
        QString folder;
        QByteArray expected;
    };
    const Case cases[] = {
        {"under the folder", "/songs/a.mp3", "/songs", "/a.mp3"},
        {"under the folder with separator", "/songs/a.mp3", "/songs/", "a.mp3"},
        {"prefix that is not a whole folder name", "/songs2/a.mp3", "/songs", "2/a.mp3"},
        {"elsewhere", "/other/a.mp3", "/songs", "/other/a.mp3"},
        // Cutting the folder text out of the middle would make a name that no folder
        // text joins back into this path, so the path stays whole.
        {"folder text inside the path", "/home/songs/a.mp3", "songs", "/home/songs/a.mp3"},
        {"empty folder text", "/songs/a.mp3", "", "/songs/a.mp3"},
        {"folder is the whole path", "/songs/a.mp3", "/songs/a.mp3", ""},
        {"Cyrillic", QString::fromUtf8("/Песни/Ёлка.mp3"), QString::fromUtf8("/Песни"),
         QString::fromUtf8("/Ёлка.mp3").toUtf8()},
    };
    for (const Case &c : cases) {
        const QByteArray name = backingTrackNameFor(c.audio, c.folder);
        EXPECT_EQ(name, c.expected) << c.name;
        // Folder text + stored name gives the path back.
        if (c.audio.startsWith(c.folder)) {
            EXPECT_EQ(QFile::decodeName(QFile::encodeName(c.folder) + name), c.audio) << c.name;
        }
    }
}

TEST(BackingTrack, RenamingTheFolderAfterARewriteMovesWhereTheTrackIsLookedFor)
{
    const QString root = QString::fromStdString(vokrin::testing::makeTempDir("rename").string());
    touch(root + "/songs/a.mp3");
    touch(root + "/moved/a.mp3");
    const QString project = root + "/p.lyp";
    writeProjectFile(project, {(root + "/first/a.mp3").toUtf8(), {1}, {"line"}});

    rewriteBackingTrack(project, root + "/songs/a.mp3", root + "/songs");
    const QByteArray stored = readProjectFile(project).project.backingTrackName;
    EXPECT_EQ(stored, "/a.mp3");
    EXPECT_EQ(resolveBackingTrackPath(stored, root + "/songs"), root + "/songs/a.mp3");
    EXPECT_EQ(resolveBackingTrackPath(stored, root + "/moved"), root + "/moved/a.mp3");
    EXPECT_EQ(readProjectFile(project).project.lines, QList<QByteArray>{"line"});
}
