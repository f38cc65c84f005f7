// The player: open, play, pause, stop, replace the backing track, volume and balance.
#include "app/main_form.h"

#include "app/directory_edit.h"
#include "app/file_exists.h"
#include "content/backing_track.h"
#include "content/project_file.h"
#include "controls/led_gauge.h"
#include "controls/led_panel.h"
#include "controls/wheel.h"
#include "display/lyric_list.h"

#include <QFile>
#include <QToolButton>
#include <QTreeWidget>

namespace vokrin::app {

namespace {

std::string enginePath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

void TMainForm::OpenStream(const QString &path, DWORD &handle, bool withEffects)
{
    player.OpenStream(enginePath(path), handle, withEffects);
}

void TMainForm::PlayFile(const QString &path)
{
    player.PlayFile(enginePath(path));
}

void TMainForm::StopChannel(DWORD handle)
{
    vokrin::audio::Player::StopChannel(handle);
}

QWORD TMainForm::GetPosition() const
{
    return player.GetPosition();
}

double TMainForm::GetPositionTime() const
{
    return player.GetPositionTime();
}

void TMainForm::ButtonPlayClick()
{
    ListBox1->setScrollPending(false);
    if (ListView1->topLevelItemCount() == 0)
        return;
    if (selectedEntry() < 0)
        ListView1->setCurrentItem(ListView1->topLevelItem(0));
    ListBox2Click();
    if (!fileExists(BackingTrackPath))
        return;
    ListBox1->clearSelection();
    CurrentCue = 0;
    PlayFile(BackingTrackPath);
    MMLEDGauge1->setProgress(0);
}

void TMainForm::ButtonStopClick()
{
    StopChannel(Stream());
}

void TMainForm::PauseBtnClick()
{
    vokrin::audio::Player::SetPaused(PauseBtn->isChecked());
}

void TMainForm::FragButtonClick()
{
    const QString folder = DirectoryEdit1->text();
    OpenSound.initialDir = folder;
    const int row = selectedEntry();
    if (row < 0)
        return;
    const QString projectPath = ListView1->topLevelItem(row)->text(1);
    if (!fileExists(projectPath))
        return;
    const auto chosen = vokrin::platform::platform().openFile(this, OpenSound);
    if (!chosen)
        return;
    // The name field holds at most 255 bytes; the path becomes the name exactly as the
    // field holds it. Playback, the project and LabelFile stay as they are until the
    // next Play reloads the project.
    const QByteArray written = vokrin::content::fieldText(
        vokrin::content::makeField(vokrin::content::backingTrackNameFor(*chosen, folder)));
    vokrin::content::rewriteBackingTrackName(projectPath, written);
    BackingTrackPath = QFile::decodeName(written);
}

void TMainForm::VolumeChange()
{
    vokrin::audio::Player::SetVolume(Volume->value());
    MMLEDPanel1->setValue(Volume->value());
}

void TMainForm::PanChange()
{
    player.SetPan(Pan->value());
    MMLEDPanel2->setValue(Pan->value());
}

void TMainForm::PredTextChange()
{
    MMLEDPanel4->setValue(PredText->value());
}

int TMainForm::selectedEntry() const
{
    const auto selected = ListView1->selectedItems();
    return selected.isEmpty() ? -1 : ListView1->indexOfTopLevelItem(selected.front());
}

} // namespace vokrin::app
