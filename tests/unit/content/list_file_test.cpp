#include "content/file_error.h"
#include "content/list_file.h"

#include "test_env.h"

#include <QFile>
#include <gtest/gtest.h>

using vokrin::content::ContentFileError;
using vokrin::content::readListFile;
using vokrin::content::serializeList;
using vokrin::content::splitListLines;
using vokrin::content::writeListFile;

namespace {

QString tempPath(const char *name)
{
    static const auto dir = vokrin::testing::makeTempDir("lists");
    return QString::fromStdString((dir / name).string());
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

} // namespace

TEST(ListFile, LinesEndAtCrLfLoneCrOrLoneLfAndTheDataAtTheFirstZero)
{
    struct Case
    {
        const char *name;
        QByteArray bytes;
        QList<QByteArray> lines;
    };
    const Case cases[] = {
        {"empty", "", {}},
        {"CR LF", "a.lyp\r\nb.lyp\r\n", {"a.lyp", "b.lyp"}},
        {"lone LF", "a.lyp\nb.lyp\n", {"a.lyp", "b.lyp"}},
        {"lone CR", "a.lyp\rb.lyp\r", {"a.lyp", "b.lyp"}},
        {"last line without an end", "a.lyp\r\nb.lyp", {"a.lyp", "b.lyp"}},
        {"mixed ends", "a\rb\nc\r\nd", {"a", "b", "c", "d"}},
        {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
        {"empty lines are kept", "\r\na\r\n\r\n", {"", "a", ""}},
        {"a lone end is one empty line", "\n", {""}},
        {"stops at the first zero", QByteArray("a\r\nb\0c\r\nd\r\n", 11), {"a", "b"}},
        {"zero right after a line end", QByteArray("a\r\n\0b", 5), {"a"}},
        {"zero between CR and LF", QByteArray("a\r\0\nb", 5), {"a"}},
        {"Windows-1251 bytes pass unchanged",
         "\xCF\xE5\xF1\xED\xFF.lyp\r\n",
         {"\xCF\xE5\xF1\xED\xFF.lyp"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(splitListLines(c.bytes), c.lines) << c.name;
}

TEST(ListFile, WrittenListsReadBackToTheSamePaths)
{
    const QStringList paths{"/songs/a.lyp", QString::fromUtf8("/Песни/ёлка.lyp"), "/songs/a.lyp",
                            "relative.lyp"};
    const QString path = tempPath("catalogue.lyl");
    writeListFile(path, paths);
    EXPECT_EQ(fileBytes(path), QByteArray("/songs/a.lyp\r\n") +
                                   QString::fromUtf8("/Песни/ёлка.lyp").toUtf8() +
                                   "\r\n/songs/a.lyp\r\nrelative.lyp\r\n");
    EXPECT_EQ(readListFile(path), paths);

    // An empty catalogue gives an empty file, replacing the old one.
    writeListFile(path, {});
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(fileBytes(path), QByteArray());
    EXPECT_EQ(readListFile(path), QStringList());
}

TEST(ListFile, PathsThatCannotBeOneLineAndUnusableFilesAreErrors)
{
    const QString path = tempPath("keep.lyl");
    writeListFile(path, {"/songs/a.lyp"});
    // A line break in a path would read back as two entries: nothing is written.
    EXPECT_THROW(writeListFile(path, {"/songs/b.lyp", "/songs/bad\nname.lyp"}), ContentFileError);
    EXPECT_THROW(serializeList({QStringLiteral("x\ry")}), ContentFileError);
    EXPECT_EQ(fileBytes(path), QByteArray("/songs/a.lyp\r\n"));

    try {
        readListFile(tempPath("missing.lyl"));
        ADD_FAILURE() << "a missing list was read";
    } catch (const ContentFileError &e) {
        EXPECT_EQ(e.path(), tempPath("missing.lyl"));
        EXPECT_FALSE(e.reason().isEmpty());
    }
    EXPECT_THROW(writeListFile(tempPath("no-folder/x.lyl"), {"a"}), ContentFileError);
}
