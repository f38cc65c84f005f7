#pragma once

#include "authoring/wizard_rules.h"
#include "content/text_codec.h"
#include "content/timed_text.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;
namespace vokrin::controls {
class TRxLabel;
} // namespace vokrin::controls

namespace vokrin::audio {
class Player;
}

namespace vokrin::authoring {

class TFilenameEdit;
class TPageControl;

// The project wizard: pick a backing track, load and edit a song text, tap a cue mark for
// each line while the track plays, save the project and offer it to the catalogue.
// It has no player of its own: it plays on the main window's player, so a take replaces
// whatever the main window was playing, and its cues are positions of the very stream
// kind that playback later compares against.
//
// Created once with the main window's player and shown modally (exec) as often as the
// user asks; every showing starts afresh.
class TFormNewKar : public QDialog
{
    Q_OBJECT

public:
    struct Hooks
    {
        // The catalogue's AddProject: appends the saved project file.
        std::function<void(const QString &projectPath)> addProject;
        // Sets the main window's progress gauge to 0 when a preview or take starts.
        std::function<void()> resetProgress;
    };

    TFormNewKar(audio::Player &player, Hooks hooks, QWidget *parent = nullptr);
    ~TFormNewKar() override;

    static constexpr int kClientWidth = 688;
    static constexpr int kClientHeight = 453;

    // Pages of PageControl1, in order.
    enum Page { TabSheet1, TabSheet2, TabSheet3, TabSheet4 };

    // Components, named as the window describes them.
    TPageControl *PageControl1;   // the four pages, with their tabs as flat buttons
    QWidget *TabSheet1Page;       // "Загрузка фонограммы"
    QWidget *TabSheet2Page;       // "Загрузка текста"
    QWidget *TabSheet3Page;       // "Настройка подсказки"
    QWidget *TabSheet4Page;       // "Сохранение"
    TFilenameEdit *FilenameEdit1; // the backing track; its name is what the project stores
    QPushButton *SpeedButton1; // "Прослушать": preview toggle (a speed button: no focus)
    QPushButton *BitBtn1;      // "Дальше" on page 1
    QPushButton *BitBtn6;      // "Отменить" on page 1
    TFilenameEdit *FilenameEdit2; // the song text file; only its dialog loads anything
    QPlainTextEdit *Memo1;        // the song text, editable; its lines become the project's
    QPushButton *BitBtn2;         // "Дальше" on page 2
    QPushButton *BitBtn7;         // "Отменить" on page 2
    controls::TRxLabel *RxLabel5; // the backing track's name on page 3
    QPushButton *SpeedButton2; // "Старт фонограммы": take toggle (a speed button: no focus)
    QPushButton *SpeedButton3; // "Поставить метку подсказки": one mark (no focus either)
    controls::TRxLabel *RxLabel4; // "Время вопроизведения: " and the play time
    QListWidget *ListBox1;        // the text's lines plus five empty ones; shows the last mark
    QPushButton *BitBtn3;         // "Дальше" on page 3
    QPushButton *BitBtn8;         // "Отменить" on page 3
    TFilenameEdit *FilenameEdit3; // the project file to write
    QPushButton *BitBtn11;        // "Сохранить"
    QPushButton *BitBtn5;         // "Завершить": saves if not yet, offers the catalogue
    QPushButton *BitBtn9;         // "Отменить" on page 4
    QTimer *Timer1;               // the play-time display, once a second during a take

    // The marks of the current take, in order; cue k belongs to line k.
    const std::vector<std::uint32_t> &marks() const { return m_marks.cues; }
    int markPointer() const { return m_marks.pointer; }
    bool saved() const { return m_saved; }
    // The lines of the text box as the project stores them.
    QStringList textLines() const;
    // The times of a loaded LRC or UltraStar text, one per line; they become the marks
    // each time page 3 is entered, until a take replaces them. Empty for a plain text.
    const QList<content::TimedLine> &importedTimes() const { return m_importedTimes; }

public Q_SLOTS:
    void FormShow();          // every showing: page 1, empty boxes, no text, no marks
    void FormClose();         // whatever closes it: a preview or take playing is stopped
    void SpeedButton1Click(); // preview down: play the track; up: stop it
    void TabSheet1Exit();     // leaving page 1 ends a preview
    void FilenameEdit2AfterDialog(const QString &name, bool confirmed); // text into Memo1
    void TabSheet3Enter();    // the line list made from the text, plus five empty lines
    void TabSheet3Exit();     // leaving page 3 stops a take and keeps its marks
    void SpeedButton2Click(); // take down: marks dropped, track from the top; up: stopped
    void SpeedButton3Click(); // one mark: the position now, for the next line
    void Timer1Timer();       // the play time on RxLabel4
    void TabSheet4Enter();    // proposes the track's name with the project extension
    void BitBtn11Click();     // Save, asking before it replaces a file
    void BitBtn5Click();      // Finish: saves if not yet saved, offers the catalogue
    void BitBtn1Click();      // the next page
    void BitBtn2Click();      // the next page
    void BitBtn3Click();      // the next page

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void buildWindow();
    QWidget *buildAudioPage();
    QWidget *buildTextPage();
    QWidget *buildMarkPage();
    QWidget *buildSavePage();
    void centreOnScreen();
    void pageChanged(int previous, int current);
    void showNextPage();
    void focusFirstControl(int page);
    int selectedLine() const;
    void selectLine(int line);
    bool audioFileExists() const;
    void playAudioFile();
    void stopStream();
    // Loads a text with times (LRC, UltraStar) into the text box; on a bad file says why
    // and leaves the text box as it was.
    void loadTimedText(content::SongTextKind kind, const QByteArray &bytes, bool tooLarge);
    // The imported times as marks of the audio file now in the audio box.
    void applyImportedTimes();
    void showTimedTextMessage(const QString &text);
    // Writes the project file to `path`; throws when it cannot be written.
    void writeProject(const QString &path) const;

    audio::Player &m_player;
    Hooks m_hooks;
    CueMarks m_marks;
    bool m_saved = false;
    // The encoding the loaded text came in, so the edited lines go back in it.
    std::optional<content::TextEncoding> m_textEncoding;
    QList<content::TimedLine> m_importedTimes;
};

} // namespace vokrin::authoring
