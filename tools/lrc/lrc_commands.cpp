#include "lrc_commands.h"

#include "authoring/track_format.h"
#include "content/backing_track.h"
#include "content/cue_time.h"
#include "content/file_error.h"
#include "content/lrc_writer.h"
#include "content/project_file.h"
#include "content/text_codec.h"
#include "content/timed_text.h"
#include "content/whole_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace vokrin::lrctool {
namespace {

bool isFile(const QString &path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && info.exists() && !info.isDir();
}

QString backingTrackOf(const QByteArray &name, const QString &projectPath, const QString &folder)
{
    const QString asStored = QFile::decodeName(name);
    if (isFile(asStored))
        return asStored;
    if (!folder.isEmpty()) {
        const QString inFolder = content::resolveBackingTrackPath(name, folder);
        if (isFile(inFolder))
            return inFolder;
    }
    return QFileInfo(projectPath).dir().filePath(asStored);
}

QString why(const content::ContentFileError &error)
{
    return QString::fromLocal8Bit(error.what());
}

} // namespace

std::optional<QString> exportLrc(const QString &projectPath, const QString &out,
                                 const QString &folder)
{
    content::ProjectReadResult read;
    try {
        read = content::readProjectFile(projectPath);
    } catch (const content::ContentFileError &error) {
        return why(error);
    }
    if (read.truncated)
        return QStringLiteral("%1: the project file is cut short").arg(projectPath);
    const content::SongProject &project = read.project;
    if (project.backingTrackName.isEmpty())
        return QStringLiteral("%1: the project names no backing track").arg(projectPath);
    const QString track = backingTrackOf(project.backingTrackName, projectPath, folder);
    if (!isFile(track))
        return QStringLiteral("%1: the backing track %2 is not there").arg(projectPath, track);
    const std::optional<content::TrackFormat> format = authoring::readTrackFormat(track);
    if (!format)
        return QStringLiteral("%1: the backing track cannot be played").arg(track);

    // Cue k belongs to line k; cues past the last line and lines without a cue have no
    // place in a line-timed text.
    QList<content::TimedLine> lines;
    const qsizetype count = qMin(project.cues.size(), project.lines.size());
    for (qsizetype i = 0; i < count; ++i)
        lines.append({content::msForCue(project.cues.at(i), *format),
                      content::decodeText(project.lines.at(i))});
    content::LrcHeader header;
    header.writer = QStringLiteral("vokrin-lrc " VOKRIN_VERSION);
    if (format->lengthBytes > 0)
        header.lengthMs = qint64(format->lengthBytes / format->frameBytes() * 1000 / format->rate);
    const QByteArray lrc = content::writeLrc(lines, header);

    if (out.isEmpty()) {
        if (std::fwrite(lrc.constData(), 1, size_t(lrc.size()), stdout) != size_t(lrc.size()) ||
            std::fflush(stdout) != 0)
            return QStringLiteral("cannot write to standard output");
        return std::nullopt;
    }
    try {
        content::writeFileAtomically(out, lrc);
    } catch (const content::ContentFileError &error) {
        return why(error);
    }
    return std::nullopt;
}

std::optional<QString> importSong(const QString &songPath, const QString &audioPath,
                                  const QString &projectPath)
{
    bool tooLarge = false;
    QByteArray bytes;
    try {
        bytes = content::readTimedTextFile(songPath, tooLarge);
    } catch (const content::ContentFileError &error) {
        return why(error);
    }
    const content::SongTextKind kind = content::songTextKind(songPath, bytes);
    if (kind == content::SongTextKind::Plain && !tooLarge)
        return QStringLiteral("%1: neither an LRC text (.lrc) nor an UltraStar song (#TITLE:, "
                              "#BPM: headers)")
            .arg(songPath);
    content::TimedText text;
    if (tooLarge)
        text.error = content::TimedTextError::TooLarge;
    else
        text = content::readTimedText(kind, bytes);
    if (!text.ok())
        return songPath + QStringLiteral(": ") +
               content::timedTextErrorText(text.error, text.errorLine);

    if (!isFile(audioPath))
        return QStringLiteral("%1: no such audio file").arg(audioPath);
    const std::optional<content::TrackFormat> format = authoring::readTrackFormat(audioPath);
    if (!format)
        return QStringLiteral("%1: the audio file cannot be played").arg(audioPath);
    const content::LineCues cues = content::cuesForLines(text.lines, *format);
    if (!cues.ok()) {
        const content::TimedLine &line = text.lines.at(cues.badLine);
        const QString tag = content::lrcTimeTag(line.ms);
        return QStringLiteral("%1: the line at %2 (\"%3\") starts after the end of %4")
            .arg(songPath, tag.mid(1, tag.size() - 2), line.text, audioPath);
    }

    content::SongProject project;
    project.backingTrackName = QFile::encodeName(QFileInfo(audioPath).absoluteFilePath());
    project.cues = cues.cues;
    for (const content::TimedLine &line : text.lines)
        project.lines.append(content::encodeText(line.text, text.encoding));
    try {
        content::writeProjectFile(projectPath, project);
    } catch (const content::ContentFileError &error) {
        return why(error);
    }
    return std::nullopt;
}

} // namespace vokrin::lrctool
