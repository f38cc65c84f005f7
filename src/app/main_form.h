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
class TFormStorage;
class TMMColorButton;
class TMMLED;
class TMMLEDGauge;
class TMMLEDPanel;
class TMMPanel;
class TMMPanelFill;
class TMMWheel;
class TRxLabel;

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
    void ButtonPlayClick();
    void ButtonStopClick();
    void PauseBtnClick();
    void FragButtonClick();
    void VolumeChange();
    void PanChange();
    void PredTextChange();

    // --- lyric timeline and display --------------------------------------------------
    // The 33 ms tick: gauge, spectrum and the lyric advance.
    void TimerRenderTimer();
    // Double-click on lyric line `line` (-1 for none): restart the track at its cue.
    void ListBox1DblClick(int line);
    void SpeedButton4Click();
    void MMColorButton2Change();
    void MMColorButton3Change();
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
    void AddProject(const QString &projectPath);
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton7Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    // The project loader: loads the selected entry's project.
    void ListBox2Click();
    void ListBox2DblClick();

    // --- effects (main_form_effects.cpp) ---------------------------------------------
    void AttachEffects(DWORD stream);
    void ApplyEffects() override;
    void LoadEffectFlags();
    void SaveEffectFlags() override;
    void eqClick();
    void reverClick();
    void compClick();
    void echoClick();
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
    TMMPanelFill *Panel4 = nullptr;
    TMMPanelFill *Panel5 = nullptr;
    vokrin::display::TLyricListBox *ListBox1 = nullptr;
    QSplitter *Splitter1 = nullptr;
    TMMPanelFill *Panel2 = nullptr;
    TMMPanelFill *MMPanelFill2 = nullptr;
    TRxLabel *RxLabel2 = nullptr;
    TDirectoryEdit *DirectoryEdit1 = nullptr;
    QToolButton *SpeedButton9 = nullptr;
    QToolButton *ButtonPlay = nullptr;
    QToolButton *PauseBtn = nullptr;
    QToolButton *ButtonStop = nullptr;
    QToolButton *FragButton = nullptr;
    QToolButton *SpeedButton8 = nullptr;
    QToolButton *SpeedButton7 = nullptr;
    QToolButton *SpeedButton1 = nullptr;
    QToolButton *SpeedButton2 = nullptr;
    QToolButton *Plugins = nullptr;
    QTreeWidget *ListView1 = nullptr;
    TMMPanelFill *MMPanelFill1 = nullptr;
    TRxLabel *RxLabel1 = nullptr;
    TRxLabel *RxLabel3 = nullptr;
    TRxLabel *RxLabel4 = nullptr;
    TMMWheel *Volume = nullptr;
    TMMWheel *Pan = nullptr;
    TMMWheel *PredText = nullptr;
    TMMLEDPanel *MMLEDPanel1 = nullptr;
    TMMLEDPanel *MMLEDPanel2 = nullptr;
    TMMLEDPanel *MMLEDPanel4 = nullptr;
    TRxLabel *RxLabel5 = nullptr;
    TRxLabel *RxLabel6 = nullptr;
    TRxLabel *RxLabel7 = nullptr;
    TRxLabel *RxLabel8 = nullptr;
    TMMLED *eq = nullptr;
    TMMLED *rever = nullptr;
    TMMLED *comp = nullptr;
    TMMLED *echo = nullptr;
    TRxLabel *RxLabel9 = nullptr;
    TRxLabel *RxLabel10 = nullptr;
    TRxLabel *RxLabel11 = nullptr;
    QToolButton *SpeedButton4 = nullptr;
    TMMColorButton *MMColorButton2 = nullptr;
    TMMColorButton *MMColorButton3 = nullptr;
    TMMPanel *Panel6 = nullptr;
    vokrin::display::TPaintBox *PaintFrame = nullptr;
    QLabel *LabelFile = nullptr;
    TMMLEDGauge *MMLEDGauge1 = nullptr;
    QTimer *TimerRender = nullptr;
    TFormStorage *FormStorage1 = nullptr;

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
    void paramsFormClosed(TParamsForm *form) override;

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
    void toggleEffect(TMMLED *led);
    // The selected catalogue entry's row, or -1.
    int selectedEntry() const;
    void stepFocusedKnob(int step);
    bool m_destroyed = false;
};

} // namespace vokrin::app
