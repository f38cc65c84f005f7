#include "content/project_file.h"
#include "content/text_codec.h"
#include "fixture_writers.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

using vokrin::content::SongProject;

struct ToolRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolRun lrcTool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(VOKRIN_LRC_TOOL), arguments);
    ToolRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class LrcTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = vokrin::testing::makeTempDir("lrc-tool");
        // 12 s of 44.1 kHz stereo from our own writer.
        track = pathIn("track.wav");
        ASSERT_TRUE(vokrin::fixtures::writeWav(dir / "track.wav",
                                               vokrin::fixtures::sine(44100, 2, 12, 440, 0.3)));
    }
    QString pathIn(const char *name) const { return QString::fromStdString((dir / name).string()); }
    QString write(const char *name, const QByteArray &bytes) const
    {
        QFile file(pathIn(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return pathIn(name);
    }
    std::filesystem::path dir;
    QString track;
};

TEST_F(LrcTool, ImportWritesTheProjectAsTheWizardWould)
{
    const QString song = write("song.lrc", "[ti:x]\n[00:01.00]\xD0\x9F\xD0\xB5\n[00:00.50]first\n");
    const QString project = pathIn("song.lyp");
    const ToolRun run = lrcTool({"import", song, track, project});
    ASSERT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.isEmpty());
    const auto read = vokrin::content::readProjectFile(project);
    EXPECT_FALSE(read.truncated);
    EXPECT_EQ(read.project.backingTrackName,
              QFile::encodeName(QFileInfo(track).absoluteFilePath()));
    EXPECT_EQ(read.project.cues, (QList<quint32>{22050 * 4, 44100 * 4}));
    EXPECT_EQ(read.project.lines, (QList<QByteArray>{"first", "\xD0\x9F\xD0\xB5"}));

    // An UltraStar song in Windows-1251 keeps its bytes.
    const QString us = write("us.txt", "#TITLE:x\n#BPM:300\n#GAP:100\n: 10 1 0 \xCF\xE5\nE\n");
    ASSERT_EQ(lrcTool({"import", us, track, project}).exitCode, 0);
    const auto again = vokrin::content::readProjectFile(project).project;
    EXPECT_EQ(again.cues, (QList<quint32>{26460 * 4})); // 600 ms
    EXPECT_EQ(again.lines, (QList<QByteArray>{"\xCF\xE5"}));
}

TEST_F(LrcTool, ExportWritesLineTimedLrcWithLengthAndWriter)
{
    SongProject project;
    project.backingTrackName = "track.wav"; // beside the project
    project.cues = {0, 44100 * 4 * 3 / 2, 44100 * 4 * 11, 44100 * 4 * 11 + 400};
    project.lines = {"\xCF\xE5\xF1\xED\xFF", "[two]", "three"}; // the last cue has no line
    vokrin::content::writeProjectFile(pathIn("p.lyp"), project);

    const ToolRun toFile = lrcTool({"export", pathIn("p.lyp"), pathIn("out.lrc")});
    ASSERT_EQ(toFile.exitCode, 0) << toFile.err.constData();
    EXPECT_TRUE(toFile.out.isEmpty());
    const QByteArray expected = "[length:0:12]\n[re:vokrin-lrc " VOKRIN_VERSION "]\n"
                                "[00:00.00]\xD0\x9F\xD0\xB5\xD1\x81\xD0\xBD\xD1\x8F\n"
                                "[00:01.50] [two]\n[00:11.00]three\n";
    EXPECT_EQ(fileBytes(pathIn("out.lrc")), expected);

    // Without an output file the LRC goes to standard output.
    const ToolRun toStdout = lrcTool({"export", pathIn("p.lyp")});
    ASSERT_EQ(toStdout.exitCode, 0);
    EXPECT_EQ(toStdout.out, expected);

    // A name that is not beside the project is found through --folder.
    project.backingTrackName = "/track.wav";
    std::filesystem::create_directory(dir / "elsewhere");
    vokrin::content::writeProjectFile(pathIn("elsewhere/p.lyp"), project);
    EXPECT_EQ(lrcTool({"export", pathIn("elsewhere/p.lyp")}).exitCode, 1);
    const ToolRun found = lrcTool(
        {"export", pathIn("elsewhere/p.lyp"), "--folder", QString::fromStdString(dir.string())});
    EXPECT_EQ(found.exitCode, 0) << found.err.constData();
    EXPECT_EQ(found.out, expected);
}

TEST_F(LrcTool, FailuresSayWhyOnStandardErrorAndWriteNothing)
{
    const QString good = write("good.lrc", "[00:01.00]a\n");
    const QString old = write("old.lyp", "the old project stays");
    write("bad.lrc", "[00:01.00]a\n[00:9x.00]b\n");
    write("late.lrc", "[00:01.00]a\n[00:30.00]after the end\n");
    write("plain.txt", "just a text\n");
    write("utf16.lrc", QByteArray("\xFF\xFE[\0"
                                  "0\0",
                                  6));
    write("noise.wav", QByteArray(3000, '\x55'));
    write("short.lyp", "x");
    {
        QFile huge(pathIn("huge.lrc"));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
        ASSERT_TRUE(huge.resize(100 * 1024 * 1024)); // a sparse 100 MB file
    }
    SongProject lost;
    lost.backingTrackName = "/nowhere/track.wav";
    lost.cues = {0};
    lost.lines = {"a"};
    vokrin::content::writeProjectFile(pathIn("lost.lyp"), lost);

    const struct
    {
        QStringList args;
        int exitCode;
        const char *says;
    } cases[] = {
        {{}, 2, "no command given"},
        {{"sing"}, 2, "unknown command sing"},
        {{"import", good, track}, 2, "import takes"},
        {{"export"}, 2, "export takes"},
        {{"export", pathIn("p.lyp"), "--verbose"}, 2, "unknown option --verbose"},
        {{"export", pathIn("p.lyp"), "--folder"}, 2, "--folder needs"},
        {{"import", pathIn("bad.lrc"), track, old}, 1, "line 2: a time or header"},
        {{"import", pathIn("late.lrc"), track, old}, 1, "starts after the end"},
        {{"import", pathIn("plain.txt"), track, old}, 1, "neither an LRC text"},
        {{"import", pathIn("utf16.lrc"), track, old}, 1, "binary data or UTF-16"},
        {{"import", pathIn("huge.lrc"), track, old}, 1, "too large"},
        {{"import", pathIn("missing.lrc"), track, old}, 1, "Cannot open"},
        {{"import", good, pathIn("missing.wav"), old}, 1, "no such audio file"},
        {{"import", good, pathIn("noise.wav"), old}, 1, "cannot be played"},
        {{"import", good, track, pathIn("no/such/folder/p.lyp")}, 1, "Cannot"},
        {{"export", pathIn("missing.lyp"), old}, 1, "Cannot open"},
        {{"export", pathIn("short.lyp"), old}, 1, "cut short"},
        {{"export", pathIn("lost.lyp"), old}, 1, "is not there"},
    };
    for (const auto &c : cases) {
        const ToolRun run = lrcTool(c.args);
        const std::string name = c.args.join(' ').toStdString();
        EXPECT_EQ(run.exitCode, c.exitCode) << name;
        EXPECT_TRUE(run.err.contains(c.says)) << name << ": " << run.err.constData();
        EXPECT_TRUE(run.out.isEmpty()) << name;
        EXPECT_EQ(fileBytes(old), "the old project stays") << name;
    }
    EXPECT_FALSE(QFileInfo::exists(pathIn("no/such/folder/p.lyp")));
    // Nothing else appeared in the folder: no temporary files left behind either.
    QStringList names = QDir(pathIn("")).entryList(QDir::Files);
    names.sort();
    EXPECT_EQ(names,
              (QStringList{"bad.lrc", "good.lrc", "huge.lrc", "late.lrc", "lost.lyp", "noise.wav",
                           "old.lyp", "plain.txt", "short.lyp", "track.wav", "utf16.lrc"}));

    const ToolRun help = lrcTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: vokrin-lrc export"));
    EXPECT_TRUE(help.err.isEmpty());
}

TEST_F(LrcTool, AProjectComesBackThroughLrcWithinOneTick)
{
    namespace fx = vokrin::fixtures;
    // 44.1 kHz stereo from our own writer, 22.05 kHz mono through oggenc, and 44.1 kHz
    // stereo through lame.
    ASSERT_TRUE(fx::writeWav(dir / "mono.wav", fx::sine(22050, 1, 12, 330, 0.3)));
    ASSERT_TRUE(fx::encodeOgg(dir / "mono.wav", dir / "mono.ogg")) << "oggenc (scripts/deps)";
    ASSERT_TRUE(fx::encodeMp3(dir / "track.wav", dir / "track.mp3", fx::Mp3Mode::Cbr))
        << "lame (scripts/deps)";
    const struct
    {
        const char *track;
        quint32 rate;
        quint32 frameBytes;
    } tracks[] = {{"track.wav", 44100, 4}, {"mono.ogg", 22050, 2}, {"track.mp3", 44100, 4}};
    for (const auto &t : tracks) {
        SongProject original;
        original.backingTrackName = QFile::encodeName(pathIn(t.track));
        // Cues where a take puts them: whole frames at odd moments, one line repeated.
        for (const quint64 frame :
             {0ull, 1ull, 12345ull, 99999ull, quint64(t.rate) * 7 + 3, quint64(t.rate) * 11 - 1}) {
            original.cues.append(quint32(frame * t.frameBytes));
            original.lines.append("line " + QByteArray::number(original.lines.size()));
        }
        original.lines[3] = "\xCF\xE5\xF1\xED\xFF"; // Windows-1251 in the project
        const QString projectPath = pathIn("original.lyp");
        vokrin::content::writeProjectFile(projectPath, original);

        const ToolRun exported = lrcTool({"export", projectPath, pathIn("song.lrc")});
        ASSERT_EQ(exported.exitCode, 0) << t.track << exported.err.constData();
        const ToolRun imported =
            lrcTool({"import", pathIn("song.lrc"), pathIn(t.track), pathIn("back.lyp")});
        ASSERT_EQ(imported.exitCode, 0) << t.track << imported.err.constData();

        const SongProject back = vokrin::content::readProjectFile(pathIn("back.lyp")).project;
        ASSERT_EQ(back.cues.size(), original.cues.size()) << t.track;
        const double tick = 0.010 * t.rate * t.frameBytes; // 10 ms in bytes
        for (qsizetype i = 0; i < back.cues.size(); ++i) {
            EXPECT_EQ(back.cues[i] % t.frameBytes, 0u) << t.track << " cue " << i;
            EXPECT_LE(std::abs(double(back.cues[i]) - double(original.cues[i])), tick)
                << t.track << " cue " << i;
        }
        // The text comes back as characters (the LRC is UTF-8).
        ASSERT_EQ(back.lines.size(), original.lines.size());
        for (qsizetype i = 0; i < back.lines.size(); ++i)
            EXPECT_EQ(vokrin::content::decodeText(back.lines[i]),
                      vokrin::content::decodeText(original.lines[i]))
                << t.track << " line " << i;
    }
}

} // namespace
