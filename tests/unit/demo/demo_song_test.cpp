#include "../../../tools/make-demo/demo_project.h"
#include "content/list_file.h"
#include "content/project_file.h"
#include "content/text_codec.h"
#include "test_env.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace vokrin;

TEST(DemoSong, LinesFollowEachOtherInTimeInsideTheTrack)
{
    const demo::Song &song = demo::demoSong();
    const std::vector<double> starts = demo::lineStartSeconds(song);
    ASSERT_EQ(starts.size(), song.lines.size());
    EXPECT_GT(starts.front(), 1.0) << "an introduction before the first line";
    for (size_t i = 1; i < starts.size(); ++i)
        EXPECT_GT(starts[i], starts[i - 1] + 1.0) << "line " << i;
    EXPECT_LT(starts.back() + 2.0, demo::songSeconds(song));
}

TEST(DemoSong, ProjectCuesAreByteOffsetsOfLineStarts)
{
    const demo::Song &song = demo::demoSong();
    const content::SongProject project = demo::demoProject(song, "/music/demo.ogg");
    const std::vector<double> starts = demo::lineStartSeconds(song);
    ASSERT_EQ(project.cues.size(), static_cast<qsizetype>(starts.size()));
    ASSERT_EQ(project.lines.size(), project.cues.size());
    for (size_t i = 0; i < starts.size(); ++i) {
        EXPECT_EQ(project.cues[static_cast<qsizetype>(i)] % 4, 0u) << "whole stereo 16-bit frames";
        EXPECT_NEAR(project.cues[static_cast<qsizetype>(i)] / (4.0 * demo::kDemoRate), starts[i],
                    1e-4);
    }
    EXPECT_EQ(content::decodeText(project.lines.front()), QStringLiteral("Во поле берёза стояла,"));
    EXPECT_EQ(static_cast<unsigned char>(project.lines.front().at(0)), 0xC2) << "Windows-1251 'В'";
}

TEST(DemoSong, BuiltFilesReadBackAsAListOfOneProject)
{
    const QString folder =
        QString::fromStdString((vokrin::testing::binaryDir() / "examples").string());
    const QStringList entries = content::readListFile(folder + "/demo.lyl");
    ASSERT_EQ(entries.size(), 1);
    const content::ProjectReadResult read = content::readProjectFile(entries.front());
    EXPECT_FALSE(read.truncated);
    const QString track = QFile::decodeName(read.project.backingTrackName);
    EXPECT_TRUE(QFileInfo(track).isAbsolute());
    EXPECT_GT(QFileInfo(track).size(), 50'000) << "a real Ogg Vorbis track";
    QFile ogg(track);
    ASSERT_TRUE(ogg.open(QIODevice::ReadOnly));
    EXPECT_EQ(ogg.read(4), QByteArray("OggS"));
    EXPECT_EQ(read.project.lines.size(), 8);
}
