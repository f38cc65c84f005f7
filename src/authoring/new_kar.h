#pragma once

#include "authoring/wizard_rules.h"
#include "content/text_codec.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class TRxLabel;

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
    TPageControl *PageControl1;
    QWidget *TabSheet1Page;
    QWidget *TabSheet2Page;
    QWidget *TabSheet3Page;
    QWidget *TabSheet4Page;
    TFilenameEdit *FilenameEdit1;
    QPushButton *SpeedButton1;
    QPushButton *BitBtn1;
    QPushButton *BitBtn6;
    TFilenameEdit *FilenameEdit2;
    QPlainTextEdit *Memo1;
    QPushButton *BitBtn2;
    QPushButton *BitBtn7;
    TRxLabel *RxLabel5;
    QPushButton *SpeedButton2;
    QPushButton *SpeedButton3;
    TRxLabel *RxLabel4;
    QListWidget *ListBox1;
    QPushButton *BitBtn3;
    QPushButton *BitBtn8;
    TFilenameEdit *FilenameEdit3;
    QPushButton *BitBtn11;
    QPushButton *BitBtn5;
    QPushButton *BitBtn9;
    QTimer *Timer1;

    // The marks of the current take, in order; cue k belongs to line k.
    const std::vector<std::uint32_t> &marks() const { return m_marks.cues; }
    int markPointer() const { return m_marks.pointer; }
    bool saved() const { return m_saved; }
    // The lines of the text box as the project stores them.
    QStringList textLines() const;

public Q_SLOTS:
    void FormShow();
    void FormClose();
    void SpeedButton1Click();
    void TabSheet1Exit();
    void FilenameEdit2AfterDialog(const QString &name, bool confirmed);
    void TabSheet3Enter();
    void TabSheet3Exit();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void Timer1Timer();
    void TabSheet4Enter();
    void BitBtn11Click();
    void BitBtn5Click();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();

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
    // Writes the project file to `path`; throws when it cannot be written.
    void writeProject(const QString &path) const;

    audio::Player &m_player;
    Hooks m_hooks;
    CueMarks m_marks;
    bool m_saved = false;
    // The encoding the loaded text came in, so the edited lines go back in it.
    std::optional<content::TextEncoding> m_textEncoding;
};

} // namespace vokrin::authoring
