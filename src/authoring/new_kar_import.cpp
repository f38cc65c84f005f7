// The wizard's song texts with times (LRC, UltraStar): loading them into the text box and
// turning their times into marks of the chosen track.
#include "authoring/new_kar.h"

#include "authoring/filename_edit.h"
#include "authoring/song_text.h"
#include "authoring/timed_text_messages.h"
#include "authoring/track_format.h"
#include "content/cue_time.h"
#include "content/lrc_writer.h"
#include "platform/platform.h"

#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>

namespace vokrin::authoring {

void TFormNewKar::showTimedTextMessage(const QString &text)
{
    platform::platform().showMessage(this, text, QString::fromUtf16(kTimedTextCaption),
                                     platform::MessageIcon::Warning, platform::MessageButtons::Ok);
}

void TFormNewKar::loadTimedText(content::SongTextKind kind, const QByteArray &bytes, bool tooLarge)
{
    content::TimedText read;
    if (tooLarge)
        read.error = content::TimedTextError::TooLarge;
    else
        read = content::readTimedText(kind, bytes);
    if (!read.ok()) {
        showTimedTextMessage(timedTextErrorMessage(read.error, read.errorLine));
        return;
    }
    QStringList lines;
    lines.reserve(read.lines.size());
    for (const content::TimedLine &line : read.lines)
        lines.append(line.text);
    Memo1->setPlainText(lines.join(u'\n'));
    m_textEncoding = read.encoding;
    m_importedTimes = read.lines;
}

void TFormNewKar::applyImportedTimes()
{
    const QString audio = FilenameEdit1->fileName();
    const QFileInfo info(audio);
    if (audio.isEmpty() || !info.exists() || info.isDir()) {
        showTimedTextMessage(noAudioForTimesMessage());
        return;
    }
    const std::optional<content::TrackFormat> format = readTrackFormat(audio);
    if (!format) {
        showTimedTextMessage(unplayableAudioForTimesMessage());
        return;
    }
    const content::LineCues cues = content::cuesForLines(m_importedTimes, *format);
    if (!cues.ok()) {
        showTimedTextMessage(
            lineAfterTrackEndMessage(cues.badLine, m_importedTimes.at(cues.badLine).ms));
        return;
    }
    m_marks.cues.assign(cues.cues.begin(), cues.cues.end());
    // As after a take that marked every line: a further mark goes on after the last.
    m_marks.pointer = int(cues.cues.size()) - 1;
    // Each line shows the time its mark stands for.
    for (qsizetype i = 0; i < cues.cues.size() && i < ListBox1->count(); ++i) {
        QListWidgetItem *item = ListBox1->item(int(i));
        const QString tag = content::lrcTimeTag(content::msForCue(cues.cues.at(i), *format));
        item->setText(tag.mid(1, tag.size() - 2) + QStringLiteral("  ") + item->text());
    }
}

} // namespace vokrin::authoring
