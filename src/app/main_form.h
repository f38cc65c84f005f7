#pragma once

#include "app/key_text.h"
#include "audio/bass.h"
#include "audio/player.h"
#include "display/render_tick.h"
#include "effects/fx_chain.h"
#include "effects/params_host.h"
#include "platform/platform.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QLabel;
class QSplitter;
class QTimer;
class QToolButton;
class QTreeWidget;
class QKeyEvent;
namespace vokrin::settings {
class TFormStorage;
} // namespace vokrin::settings
namespace vokrin::controls {
class TMMColorButton;
class TMMLED;
class TMMLEDGauge;
class TMMLEDPanel;
class TMMPanel;
class TMMPanelFill;
class TMMWheel;
class TRxLabel;
} // namespace vokrin::controls

namespace vokrin::display {
class SingerScreen;
class TLyricListBox;
class TPaintBox;
class TSpectrum;
} // namespace vokrin::display

namespace vokrin::app {

class TDirectoryEdit;

// The main window: the lyric list on the left, the control panel (catalogue, player
// buttons, knobs, effect LEDs, spectrum, progress) on the right. It owns the engine for
// its whole life, the one current stream with its effect chain, and the current song
// project.
//
// Its handlers are split over files by concern: main_form.cpp (creation, show, close,
// destruction), main_form_layout.cpp (the components), main_form_playback.cpp,
// main_form_catalogue.cpp and main_form_effects.cpp.
//
// Life: construct (builds the components, like loading a window description), then
// FormCreate(); the entry ends the program when it returns false. Showing runs the
// settings restore and then FormShow; destruction runs FormDestroy.
class TMainForm : public QWidget, public vokrin::effects::ParamsFormHost
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // --- lifecycle -------------------------------------------------------------------
    // Spectrum, engine version check, output start-up, buffer, effect flags. False when
    // the engine could not be used: the message box has been shown and the program must
    // end (exit code 0) without showing this window.
    bool FormCreate();
    void FormShow();
    void FormDestroy();

    // The output device FormCreate opens: 1, the system's default output. Tests choose
    // 0 with the engine's manual clock.
    int OutputDevice = 1;
    // Where FormCreate asks for the engine version (tests put another engine in front).
    std::function<DWORD()> EngineVersion = [] { return BASS_GetVersion(); };
    // The splash window, destroyed by FormShow.
    QPointer<QWidget> SplashForm;
    // The project wizard, shown modally by SpeedButton9 (none until it exists).
    QPointer<QWidget> FormNewKar;

    // --- player (main_form_playback.cpp) ---------------------------------------------
    void OpenStream(const QString &path, DWORD &handle, bool withEffects = true);
    void PlayFile(const QString &path);
    static void StopChannel(DWORD handle);
    QWORD GetPosition() const;
    double GetPositionTime() const;
    void ButtonPlayClick(); // Play: reload the selected project, start it from the top
    void ButtonStopClick(); // Stop: stops the stream, nothing more
    void PauseBtnClick();   // pauses or resumes the output as PauseBtn is down or up
    void FragButtonClick(); // replaces the backing track of the current project
    void VolumeChange();    // Volume -> output volume and MMLEDPanel1
    void PanChange();       // Pan -> the stream's balance and MMLEDPanel2
    void PredTextChange();  // PredText -> MMLEDPanel4

    // --- lyric timeline and display --------------------------------------------------
    // The 33 ms tick: gauge, spectrum and the lyric advance.
    void TimerRenderTimer();
    // Double-click on lyric line `line` (-1 for none): restart the track at its cue.
    void ListBox1DblClick(int line);
    void SpeedButton4Click();    // the font dialog for the lyric font and its colour
    void MMColorButton2Change(); // the hint colour into ListBox1.Tag (no repaint)
    void MMColorButton3Change(); // the background colour of ListBox1 and Panel5
    // Opens one more sound parameters window; the reference names the newest.
    void PluginsClick();
    // F11: opens the singer's screen (full-screen on a screen other than this window's
    // when there is one, else as a window on this one) or closes it when it is open.
    void ToggleSingerScreen();

    // --- input (main_form_input.cpp) -------------------------------------------------
    // Runs for every key pressed in this window before the focused control gets it
    // (except the keys that type into a focused text box, which are the box's alone).
    void FormKeyDown(const QKeyEvent &event);
    // One wheel notch up or down anywhere in the window: +1 or -1 on the knob that has
    // the focus.
    void FormMouseWheelUp();
    void FormMouseWheelDown();
    // A key pressed in the catalogue: true when it is a typed character, which is
    // discarded so that typing never moves the selection.
    bool ListView1KeyPress(const QKeyEvent &event);

    // --- catalogue (main_form_catalogue.cpp) -----------------------------------------
    void AddProject(const QString &projectPath); // appends an entry titled from its tags
    void SpeedButton1Click();                    // "+": a project chosen in a dialog, added
    void SpeedButton2Click();                    // "-": the selected entry removed
    void SpeedButton7Click();                    // the catalogue saved as a list file
    void SpeedButton8Click();                    // a list file opened into the catalogue
    // What the open-list button does with the chosen file: the catalogue becomes the
    // projects of the list file (also used for a list handed over on the command line).
    void OpenList(const QString &listPath);
    void SpeedButton9Click(); // the project wizard shown modally
    // The project loader: loads the selected entry's project.
    void ListBox2Click();
    void ListBox2DblClick();

    // --- effects (main_form_effects.cpp) ---------------------------------------------
    void AttachEffects(DWORD stream);
    void ApplyEffects() override;
    void LoadEffectFlags();
    void SaveEffectFlags() override;
    void eqClick();    // toggles the equaliser and sends all four groups to the chain
    void reverClick(); // the same for the reverb
    void compClick();  // the compressor
    void echoClick();  // the echo
    vokrin::effects::EffectFlags effectFlags() const;

    // --- state -----------------------------------------------------------------------
    vokrin::audio::Player player;
    DWORD &Stream() { return player.streamHandle(); }
    vokrin::effects::EffectHandles Effects;
    // The current song project: the backing-track path as resolved (or as written by a
    // replacement), the cue list; its lines are the items of ListBox1.
    QString BackingTrackPath;
    QList<quint32> Cues;
    std::int32_t CurrentCue = 0;
    std::unique_ptr<vokrin::display::TSpectrum> Spectrum;
    // What the render timer reads the spectrum into; kept so the tick allocates nothing.
    vokrin::display::FftBuffer FftData{};
    // The newest sound parameters window, cleared when it closes.
    QPointer<QWidget> ParamsForm;
    // The singer's screen while it is open (it deletes itself when it closes).
    QPointer<vokrin::display::SingerScreen> SingerScreenWindow;

    // --- components ------------------------------------------------------------------
    // The names are the settings file's: the form storage finds each component by its
    // objectName, so they stay as they are.
    controls::TMMPanelFill *Panel4 = nullptr; // the left part: the strip and the lyric list
    controls::TMMPanelFill *Panel5 = nullptr; // the 48-px strip left of the lyrics, in their colour
    vokrin::display::TLyricListBox *ListBox1 = nullptr; // the lyric list (hint colour: Tag)
    QSplitter *Splitter1 = nullptr;                     // between the lyrics and the control panel
    controls::TMMPanelFill *Panel2 = nullptr; // the control panel, 224 px or collapsed to 0 by Esc
    controls::TMMPanelFill *MMPanelFill2 = nullptr; // its top block: folder box and player buttons
    controls::TRxLabel *RxLabel2 = nullptr;         // "Каталог фонограмм"
    TDirectoryEdit *DirectoryEdit1 = nullptr;       // the backing-track folder
    QToolButton *SpeedButton9 = nullptr;            // opens the project wizard
    QToolButton *ButtonPlay = nullptr;              // Play the selected project
    QToolButton *PauseBtn = nullptr;     // pause / resume; the one button that stays down
    QToolButton *ButtonStop = nullptr;   // Stop
    QToolButton *FragButton = nullptr;   // replaces the backing track of the playing song
    QToolButton *SpeedButton8 = nullptr; // opens a list file into the catalogue
    QToolButton *SpeedButton7 = nullptr; // saves the catalogue as a list file
    QToolButton *SpeedButton1 = nullptr; // "+": adds a project file to the catalogue
    QToolButton *SpeedButton2 = nullptr; // "-": removes the selected catalogue entry
    QToolButton *Plugins = nullptr;      // opens one more sound parameters window
    QTreeWidget *ListView1 = nullptr;    // the catalogue: title and project file per entry
    controls::TMMPanelFill *MMPanelFill1 = nullptr; // the bottom block: knobs, LEDs, font, colours
    controls::TRxLabel *RxLabel1 = nullptr;         // "громкость"
    controls::TRxLabel *RxLabel3 = nullptr;         // "баланс"
    controls::TRxLabel *RxLabel4 = nullptr;         // "предтекст"
    controls::TMMWheel *Volume = nullptr;           // master volume, 0..100
    controls::TMMWheel *Pan = nullptr;              // balance, -100..100
    controls::TMMWheel *PredText = nullptr;         // lead time, 0..999 bytes before each cue
    controls::TMMLEDPanel *MMLEDPanel1 = nullptr;   // readout of Volume
    controls::TMMLEDPanel *MMLEDPanel2 = nullptr;   // readout of Pan (-99..99)
    controls::TMMLEDPanel *MMLEDPanel4 = nullptr;   // readout of PredText
    controls::TRxLabel *RxLabel5 = nullptr;         // "eq"
    controls::TRxLabel *RxLabel6 = nullptr;         // "rever"
    controls::TRxLabel *RxLabel7 = nullptr;         // "comp"
    controls::TRxLabel *RxLabel8 = nullptr;         // "echo"
    controls::TMMLED *eq = nullptr;                 // the equaliser's enable flag (Q)
    controls::TMMLED *rever = nullptr;              // the reverb's (R)
    controls::TMMLED *comp = nullptr;               // the compressor's (C)
    controls::TMMLED *echo = nullptr;               // the echo's (E)
    controls::TRxLabel *RxLabel9 = nullptr;         // "шрифт"
    controls::TRxLabel *RxLabel10 = nullptr;        // "подсказка"
    controls::TRxLabel *RxLabel11 = nullptr;        // "фон"
    QToolButton *SpeedButton4 = nullptr; // chooses the lyric font; captioned with its name
    controls::TMMColorButton *MMColorButton2 = nullptr; // the hint colour of the lit line
    controls::TMMColorButton *MMColorButton3 = nullptr; // the lyric list's background colour
    controls::TMMPanel *Panel6 = nullptr;               // the lowered frame of the spectrum
    vokrin::display::TPaintBox *PaintFrame = nullptr;   // the spectrum display
    QLabel *LabelFile = nullptr;                    // the backing-track path of the loaded project
    controls::TMMLEDGauge *MMLEDGauge1 = nullptr;   // playback progress (the wizard resets it too)
    QTimer *TimerRender = nullptr;                  // the 33 ms render timer (TimerRenderTimer)
    settings::TFormStorage *FormStorage1 = nullptr; // keeps placement and control values in the INI

    // The window's file dialogs (their filters, default extensions and options).
    vokrin::platform::FileDialogOptions OpenDialog1;
    vokrin::platform::FileDialogOptions SaveDialog1;
    vokrin::platform::FileDialogOptions OpenDialog2;
    vokrin::platform::FileDialogOptions OpenSound;
    vokrin::platform::FileDialogOptions OpenText;

    // The control panel's width when it is not collapsed.
    static constexpr int kPanelWidth = 224;
    // The hint colour of a first start (yellow, 0x00BBGGRR).
    static constexpr int kFirstStartHintColor = 0x00FFFF;

    // --- what a sound parameters window asks of its owner ------------------------------
    const vokrin::effects::EffectHandles &effectHandles() const override { return Effects; }
    void setOwnerLed(const QString &ledName, bool lit) override;
    void paramsFormClosed(effects::TParamsForm *form) override;

Q_SIGNALS:
    // The window was closed (its modal run ends).
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void connectHandlers();
    void toggleEffect(controls::TMMLED *led);
    // The selected catalogue entry's row, or -1.
    int selectedEntry() const;
    void stepFocusedKnob(int step);
    bool m_destroyed = false;
};

} // namespace vokrin::app
