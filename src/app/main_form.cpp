#include "app/main_form.h"

#include "controls/color_button.h"
#include "controls/led.h"
#include "controls/led_gauge.h"
#include "controls/led_panel.h"
#include "controls/loading.h"
#include "controls/wheel.h"
#include "display/lyric_list.h"
#include "display/paint_frame.h"
#include "display/singer_screen.h"
#include "display/spectrum_vis.h"
#include "settings/form_storage.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QToolButton>
#include <QTreeWidget>

using vokrin::settings::TFormStorage;

namespace vokrin::app {

TMainForm::TMainForm(QWidget *parent) : QWidget(parent)
{
    {
        vokrin::controls::WindowBuildGuard building(this);
        buildLayout();
    }
    FormStorage1 = new TFormStorage(this);
    FormStorage1->setObjectName(QStringLiteral("FormStorage1"));
    FormStorage1->setStoredProps(
        {QStringLiteral("Panel5.Color"), QStringLiteral("ListBox1.Color"),
         QStringLiteral("ListBox1.Font"), QStringLiteral("ListBox1.Tag"),
         QStringLiteral("MMColorButton2.Value"), QStringLiteral("MMColorButton3.Value"),
         QStringLiteral("Volume.Value"), QStringLiteral("PredText.Value"),
         QStringLiteral("Pan.Value"), QStringLiteral("DirectoryEdit1.Text")});
    player.setHooks({
        [this](DWORD handle) { AttachEffects(handle); },
        [this] {
            vokrin::platform::platform().showMessage(
                this, QStringLiteral("Can't play the file! Please select another."),
                QStringLiteral("Error"), vokrin::platform::MessageIcon::Error,
                vokrin::platform::MessageButtons::Ok);
        },
        [this] {
            const QSignalBlocker quiet(PauseBtn);
            PauseBtn->setChecked(false);
        },
    });
    connectHandlers();
}

TMainForm::~TMainForm()
{
    delete SingerScreenWindow.data();
    FormStorage1->windowDestroying();
    FormDestroy();
}

bool TMainForm::FormCreate()
{
    Spectrum =
        std::make_unique<vokrin::display::TSpectrum>(PaintFrame->width(), PaintFrame->height());
    Spectrum->ShowPeaks = true;
    Spectrum->Style = 1;
    Spectrum->PeakColor = 0x00FFFF;
    Spectrum->BarColor = 0x00FF00;
    Spectrum->BarWidth = 1;
    if (EngineVersion() != BASSVERSION) {
        vokrin::platform::platform().showMessage(
            this, QStringLiteral("BASS version 2.1 was not loaded"),
            QStringLiteral("Bass Version problem"), vokrin::platform::MessageIcon::None,
            vokrin::platform::MessageButtons::Ok);
        return false;
    }
    if (!BASS_Init(OutputDevice, 44100, 0, reinterpret_cast<void *>(winId()), nullptr)) {
        vokrin::platform::platform().showMessage(this, QStringLiteral("Can't initialize device"),
                                                 QStringLiteral("Bass Initialize problem"),
                                                 vokrin::platform::MessageIcon::None,
                                                 vokrin::platform::MessageButtons::Ok);
        return false;
    }
    BASS_Start();
    BASS_SetConfig(BASS_CONFIG_BUFFER, 1000);
    LoadEffectFlags();
    return true;
}

void TMainForm::FormShow()
{
    // A stored volume other than 0 has already reached the engine through the knob's
    // change step during the restore, so this reads it back; a fresh knob at 0 takes the
    // engine's volume.
    const DWORD engineVolume = BASS_GetVolume();
    if (engineVolume <= 100)
        Volume->setValue(static_cast<int>(engineVolume));
    SpeedButton4->setText(ListBox1->font().family());
    delete SplashForm.data();
}

void TMainForm::FormDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    BASS_Stop();
    BASS_StreamFree(Stream());
    BASS_MusicFree(Stream());
    BASS_Free();
}

void TMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    Q_EMIT closed();
}

} // namespace vokrin::app
