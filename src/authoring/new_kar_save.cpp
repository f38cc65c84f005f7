// Writing the wizard's project file.
#include "authoring/new_kar.h"

#include "authoring/filename_edit.h"
#include "authoring/song_text.h"
#include "content/file_error.h"
#include "content/project_file.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QTextDocument>

namespace vokrin::authoring {

void TFormNewKar::writeProject(const QString &path) const
{
    if (path.isEmpty())
        throw content::ContentFileError(QStringLiteral("create"), path,
                                        QStringLiteral("no file name given"));
    const QString text = textOfDocument(Memo1->document()->toRawText());
    // Lines go back in the encoding their file came in; typed text is new text.
    const content::TextEncoding encoding =
        m_textEncoding.value_or(content::encodingForNewText(text));

    content::SongProject project;
    // The name as the box holds it, a full path when chosen in the dialog; the writer
    // cuts a name longer than its field at a character boundary.
    project.backingTrackName = QFile::encodeName(FilenameEdit1->fileName());
    project.cues.reserve(static_cast<qsizetype>(m_marks.cues.size()));
    for (const std::uint32_t cue : m_marks.cues)
        project.cues.append(cue);
    for (const QString &line : songTextLines(text))
        project.lines.append(content::encodeText(line, encoding));
    content::writeProjectFile(path, project);
}

} // namespace vokrin::authoring
