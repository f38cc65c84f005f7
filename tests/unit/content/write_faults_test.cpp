// The project and list writers on a full disk and in a folder that cannot be written:
// the write fails whole, with an error naming the file, and the old bytes stay.
#include "content/file_error.h"
#include "content/list_file.h"
#include "content/project_file.h"
#include "test_env.h"
#include "write_faults.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

using vokrin::content::ContentFileError;
using vokrin::content::SongProject;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Writer
{
    const char *name;
    const char *fileName;
    std::function<void(const QString &)> writeOld;
    std::function<void(const QString &)> writeBig; // well over the 4 KiB a full disk allows
};

const Writer kWriters[] = {
    {"project", "song.lyp",
     [](const QString &path) {
         vokrin::content::writeProjectFile(path, SongProject{"old.mp3", {1, 2}, {"old line"}});
     },
     [](const QString &path) {
         vokrin::content::writeProjectFile(path, SongProject{"new.mp3", QList<quint32>(200, 7),
                                                             QList<QByteArray>(200, "a new line")});
     }},
    {"list", "songs.lyl",
     [](const QString &path) { vokrin::content::writeListFile(path, {"/songs/old.lyp"}); },
     [](const QString &path) {
         vokrin::content::writeListFile(path, QStringList(400, QStringLiteral("/songs/new.lyp")));
     }},
};

enum class Fault { FullDisk, ReadOnlyFolder };

TEST(WriteFaults, AFailedWriteLeavesTheOldFileAndNamesIt)
{
    for (const Writer &writer : kWriters) {
        for (const Fault fault : {Fault::FullDisk, Fault::ReadOnlyFolder}) {
            SCOPED_TRACE(std::string(writer.name) +
                         (fault == Fault::FullDisk ? ", full disk" : ", read-only folder"));
            const auto dir = vokrin::testing::makeTempDir("faults");
            const QString folder = QString::fromStdString(dir.string());
            const QString path = folder + QLatin1Char('/') + QLatin1String(writer.fileName);
            writer.writeOld(path);
            const QByteArray before = fileBytes(path);
            ASSERT_FALSE(before.isEmpty());
            {
                std::optional<vokrin::testing::ScopedFileSizeLimit> fullDisk;
                std::optional<vokrin::testing::ScopedReadOnlyFolder> readOnly;
                if (fault == Fault::FullDisk) {
                    fullDisk.emplace(4096);
                } else {
                    readOnly.emplace(folder);
                    ASSERT_TRUE(readOnly->active()) << "the folder could not be made read-only";
                }
                try {
                    writer.writeBig(path);
                    ADD_FAILURE() << "the write was not refused";
                } catch (const ContentFileError &error) {
                    EXPECT_EQ(error.path(), path);
                    EXPECT_FALSE(error.reason().isEmpty());
                }
            }
            EXPECT_EQ(fileBytes(path), before);
            EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
                      QStringList{QLatin1String(writer.fileName)})
                << "a temporary file was left behind";
            // Once there is room again the same write goes through.
            writer.writeBig(path);
            EXPECT_GT(fileBytes(path).size(), 4096);
        }
    }
}

} // namespace
