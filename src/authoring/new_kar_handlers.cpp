// The wizard's handlers: showing and closing, preview, text loading, the take with its
// marks, and saving.
#include "authoring/new_kar.h"

#include "audio/player.h"
#include "authoring/filename_edit.h"
#include "authoring/page_control.h"
#include "authoring/song_text.h"
#include "authoring/sound_filter.h"
#include "controls/rx_label.h"
#include "platform/platform.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>

namespace vokrin::authoring {

namespace {

// Runs `action` when the scope is left, by return or by exception.
template <typename Action> class OnExit
{
public:
    explicit OnExit(Action action) : m_action(std::move(action)) {}
    ~OnExit() { m_action(); }
    OnExit(const OnExit &) = delete;
    OnExit &operator=(const OnExit &) = delete;

private:
    Action m_action;
};

void setCheckedQuietly(QPushButton *button, bool checked)
{
    const QSignalBlocker block(button);
    button->setChecked(checked);
}

} // namespace

void TFormNewKar::FormShow()
{
    PageControl1->setCurrentIndex(TabSheet1);
    focusFirstControl(TabSheet1);
    FilenameEdit1->setFileName(QString());
    FilenameEdit2->setFileName(QString());
    FilenameEdit3->setFileName(QString());
    FilenameEdit1->setFilter(QString::fromUtf16(kSoundFileFilter));
    m_saved = false;
    Memo1->clear();
    m_textEncoding.reset();
    m_importedTimes.clear();
    ListBox1->clear();
    // Every showing starts a fresh take: marks set before the first take go on from
    // the first line, not from where the last showing left off.
    m_marks = CueMarks{};
}

void TFormNewKar::FormClose()
{
    if (SpeedButton1->isChecked() || SpeedButton2->isChecked()) {
        stopStream();
        setCheckedQuietly(SpeedButton1, false);
        setCheckedQuietly(SpeedButton2, false);
    }
    Timer1->stop();
}

void TFormNewKar::done(int result)
{
    FormClose();
    QDialog::done(result);
}

bool TFormNewKar::audioFileExists() const
{
    const QFileInfo info(FilenameEdit1->fileName());
    return !FilenameEdit1->fileName().isEmpty() && info.exists() && !info.isDir();
}

void TFormNewKar::playAudioFile()
{
    m_player.PlayFile(QFile::encodeName(FilenameEdit1->fileName()).toStdString());
}

void TFormNewKar::stopStream()
{
    audio::Player::StopChannel(m_player.stream());
}

void TFormNewKar::SpeedButton1Click()
{
    if (SpeedButton1->isChecked()) {
        if (!audioFileExists()) {
            setCheckedQuietly(SpeedButton1, false);
            return;
        }
        playAudioFile();
        if (m_hooks.resetProgress)
            m_hooks.resetProgress();
    } else {
        stopStream();
    }
}

void TFormNewKar::TabSheet1Exit()
{
    if (SpeedButton1->isChecked()) {
        stopStream();
        setCheckedQuietly(SpeedButton1, false);
    }
}

void TFormNewKar::FilenameEdit2AfterDialog(const QString &name, bool confirmed)
{
    // A cancelled dialog leaves the text as the user had it.
    if (!confirmed)
        return;
    // An LRC or UltraStar text brings its times along; anything else is a plain text.
    // Its start is enough to tell, and a timed text larger than the reader takes is
    // not read whole.
    bool tooLarge = false;
    const QByteArray start = content::readTimedTextFile(name, tooLarge);
    const content::SongTextKind kind = content::songTextKind(name, start);
    if (kind != content::SongTextKind::Plain) {
        loadTimedText(kind, start, tooLarge);
        return;
    }
    // Read everything first: a file that cannot be read leaves the text box alone.
    const DecodedSongText decoded = decodeSongText(readSongTextFile(name));
    Memo1->setPlainText(decoded.text);
    m_textEncoding = decoded.encoding;
    m_importedTimes.clear();
}

QStringList TFormNewKar::textLines() const
{
    return songTextLines(textOfDocument(Memo1->document()->toRawText()));
}

int TFormNewKar::selectedLine() const
{
    const QList<QListWidgetItem *> selected = ListBox1->selectedItems();
    return selected.isEmpty() ? -1 : ListBox1->row(selected.first());
}

void TFormNewKar::selectLine(int line)
{
    if (line < 0) {
        ListBox1->clearSelection();
        ListBox1->setCurrentRow(-1);
        return;
    }
    ListBox1->setCurrentRow(line);
    if (QListWidgetItem *item = ListBox1->item(line))
        ListBox1->scrollToItem(item);
}

void TFormNewKar::TabSheet3Enter()
{
    RxLabel5->setText(FilenameEdit1->fileName());
    ListBox1->clear();
    ListBox1->addItems(markLineList(textLines()));
    // The audio may have been chosen after the text: the times become byte positions of
    // the track only now.
    if (!m_importedTimes.isEmpty())
        applyImportedTimes();
}

void TFormNewKar::TabSheet3Exit()
{
    // Leaving the page ends the take but keeps its marks.
    if (SpeedButton2->isChecked()) {
        stopStream();
        setCheckedQuietly(SpeedButton2, false);
        Timer1->stop();
    }
}

void TFormNewKar::SpeedButton2Click()
{
    m_marks.cues.clear();
    // A take replaces imported marks as it replaces any others, for good.
    if (!m_importedTimes.isEmpty()) {
        m_importedTimes.clear();
        ListBox1->clear();
        ListBox1->addItems(markLineList(textLines()));
    }
    if (SpeedButton2->isChecked()) {
        if (audioFileExists()) {
            if (m_hooks.resetProgress)
                m_hooks.resetProgress();
            playAudioFile();
            selectLine(-1);
            m_marks.pointer = -1;
        } else {
            setCheckedQuietly(SpeedButton2, false);
        }
    } else {
        stopStream();
    }
    if (SpeedButton2->isChecked())
        Timer1->start();
    else
        Timer1->stop();
}

void TFormNewKar::SpeedButton3Click()
{
    const std::optional<int> line =
        placeMark(m_marks, selectedLine(), ListBox1->count(), m_player.GetPosition());
    if (line)
        selectLine(*line);
}

void TFormNewKar::Timer1Timer()
{
    RxLabel4->setText(playTimeCaption(m_player.GetPositionTime()));
}

void TFormNewKar::TabSheet4Enter()
{
    if (FilenameEdit3->fileName().isEmpty())
        FilenameEdit3->setFileName(
            replaceExtension(FilenameEdit1->fileName(), FilenameEdit3->defaultExt()));
}

void TFormNewKar::BitBtn11Click()
{
    const QString path = FilenameEdit3->fileName();
    if (QFileInfo::exists(path)) {
        const platform::MessageResult answer = platform::platform().showMessage(
            this, QStringLiteral("Файл с таким именем уже существует. Переписать?"),
            QStringLiteral("Найден файл"), platform::MessageIcon::None,
            platform::MessageButtons::OkCancel);
        if (answer != platform::MessageResult::Ok)
            return;
        // The old file is not deleted first: the new one replaces it only once it has
        // been written whole, so a failed write leaves the user the old project.
    }
    writeProject(path);
    m_saved = true;
}

void TFormNewKar::BitBtn5Click()
{
    // The wizard closes with OK whatever happens below, even when saving fails.
    const OnExit closeWithOk([this] { done(QDialog::Accepted); });
    if (!m_saved)
        BitBtn11Click();
    const platform::MessageResult answer = platform::platform().showMessage(
        this, QStringLiteral("Добавить файл в список воспроизведения?"),
        QStringLiteral("Добавление файла"), platform::MessageIcon::None,
        platform::MessageButtons::OkCancel);
    if (answer == platform::MessageResult::Ok && m_hooks.addProject)
        m_hooks.addProject(FilenameEdit3->fileName());
}

} // namespace vokrin::authoring
