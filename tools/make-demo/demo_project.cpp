#include "demo_project.h"

#include "content/list_file.h"
#include "content/project_file.h"
#include "content/text_codec.h"
#include "ogg_writer.h"
#include "synth.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <stdexcept>

namespace vokrin::demo {

content::SongProject demoProject(const Song &song, const QString &trackPath)
{
    content::SongProject project;
    project.backingTrackName = QFile::encodeName(trackPath);
    for (double seconds : lineStartSeconds(song)) {
        const auto frame = static_cast<quint32>(std::llround(seconds * kDemoRate));
        project.cues.append(frame * kDemoChannels * 2);
    }
    for (const SongLine &line : song.lines)
        project.lines.append(content::encodeText(QString::fromUtf8(line.text.c_str()),
                                                 content::TextEncoding::Windows1251));
    return project;
}

void writeDemo(const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw std::runtime_error(QFile::encodeName(folder).toStdString() +
                                 ": cannot create the folder");
    const QDir dir(QFileInfo(folder).absoluteFilePath());
    const Song &song = demoSong();

    const QString track = dir.filePath(QStringLiteral("demo.ogg"));
    writeOggVorbis(QFile::encodeName(track).toStdString(), renderSong(song, kDemoRate),
                   kDemoChannels, kDemoRate);

    QByteArray text;
    for (const SongLine &line : song.lines)
        text += content::encodeText(QString::fromUtf8(line.text.c_str()),
                                    content::TextEncoding::Windows1251) +
                "\r\n";
    QFile textFile(dir.filePath(QStringLiteral("demo.txt")));
    if (!textFile.open(QIODevice::WriteOnly) || textFile.write(text) != text.size())
        throw std::runtime_error(QFile::encodeName(textFile.fileName()).toStdString() + ": " +
                                 textFile.errorString().toStdString());

    const QString project = dir.filePath(QStringLiteral("demo.lyp"));
    content::writeProjectFile(project, demoProject(song, track));
    content::writeListFile(dir.filePath(QStringLiteral("demo.lyl")), {project});
}

} // namespace vokrin::demo
