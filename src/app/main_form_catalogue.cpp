// The project catalogue: adding, removing, saving and opening lists, and the project
// loader that a click on an entry runs.
#include "app/main_form.h"

#include "app/catalogue_title.h"
#include "app/directory_edit.h"
#include "app/file_exists.h"
#include "content/backing_track.h"
#include "content/list_file.h"
#include "content/project_file.h"
#include "content/text_codec.h"
#include "display/lyric_list.h"

#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QTreeWidget>

namespace vokrin::app {

void TMainForm::AddProject(const QString &projectPath)
{
    if (!fileExists(projectPath))
        return;
    const QString trackPath = vokrin::content::resolveBackingTrackPath(
        vokrin::content::readBackingTrackName(projectPath), DirectoryEdit1->text());
    if (!fileExists(trackPath))
        return;

    auto *entry = new QTreeWidgetItem(ListView1);
    // A stream of its own, only to read the tags: it gets no effect chain, so the
    // window's effect handles stay with the track that is playing.
    DWORD tagStream = 0;
    OpenStream(trackPath, tagStream, false);
    const char *tags = tagStream != 0 ? BASS_StreamGetTags(tagStream, BASS_TAG_ID3) : nullptr;
    entry->setText(
        0, vokrin::content::decodeText(catalogueCaption(tags, QFile::encodeName(trackPath))));
    entry->setText(1, projectPath);
    StopChannel(tagStream);
    BASS_StreamFree(tagStream);
    BASS_MusicFree(tagStream);
}

void TMainForm::SpeedButton1Click()
{
    if (const auto chosen = vokrin::platform::platform().openFile(this, OpenDialog1))
        AddProject(*chosen);
}

void TMainForm::SpeedButton2Click()
{
    const int row = selectedEntry();
    if (row < 0)
        return;
    delete ListView1->takeTopLevelItem(row);
    ListView1->selectionModel()->clear();
}

void TMainForm::SpeedButton7Click()
{
    const auto chosen = vokrin::platform::platform().saveFile(this, SaveDialog1);
    if (!chosen)
        return;
    QStringList paths;
    for (int row = 0; row < ListView1->topLevelItemCount(); ++row)
        paths.append(ListView1->topLevelItem(row)->text(1));
    vokrin::content::writeListFile(*chosen, paths);
}

void TMainForm::SpeedButton8Click()
{
    if (const auto chosen = vokrin::platform::platform().openFile(this, OpenDialog2))
        OpenList(*chosen);
}

void TMainForm::OpenList(const QString &listPath)
{
    // Read first: a list that cannot be read leaves the catalogue as it was.
    const QStringList paths = vokrin::content::readListFile(listPath);
    ListView1->clear();
    for (const QString &path : paths)
        AddProject(path);
    ListView1->selectionModel()->clear();
}

void TMainForm::SpeedButton9Click()
{
    if (auto *wizard = qobject_cast<QDialog *>(FormNewKar.data()))
        wizard->exec();
}

void TMainForm::ListBox2Click()
{
    const int row = selectedEntry();
    if (row < 0)
        return;
    const QString projectPath = ListView1->topLevelItem(row)->text(1);
    if (!fileExists(projectPath))
        return;
    // Opened and read before anything changes, so an unreadable file leaves the current
    // project as it was.
    const vokrin::content::ProjectReadResult read = vokrin::content::readProjectFile(projectPath);
    BackingTrackPath = vokrin::content::resolveBackingTrackPath(read.project.backingTrackName,
                                                                DirectoryEdit1->text());
    LabelFile->setText(BackingTrackPath);
    Cues = QList<quint32>(read.project.cues.begin(), read.project.cues.end());
    ListBox1->clear();
    for (const QByteArray &line : read.project.lines)
        ListBox1->addItem(vokrin::content::decodeText(line));
}

void TMainForm::ListBox2DblClick()
{
    ButtonPlayClick();
}

} // namespace vokrin::app
