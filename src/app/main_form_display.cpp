// The lyric list, the spectrum and the progress gauge that follow the music, and the
// lyric font and colours.
#include "app/main_form.h"

#include "controls/color_button.h"
#include "controls/led_gauge.h"
#include "controls/panel_fill.h"
#include "controls/wheel.h"
#include "display/lyric_list.h"
#include "display/paint_frame.h"
#include "display/spectrum_vis.h"

#include <QToolButton>

namespace vokrin::app {

void TMainForm::TimerRenderTimer()
{
    if (!Spectrum)
        return; // FormCreate has not run: nothing to draw into yet
    vokrin::display::RenderTargets targets{*ListBox1, *MMLEDGauge1, *Spectrum, *PaintFrame,
                                           FftData};
    const bool wizardVisible = FormNewKar && FormNewKar->isVisible();
    vokrin::display::renderTick(player, Cues, PredText->value(), wizardVisible, CurrentCue,
                                targets);
}

void TMainForm::ListBox1DblClick(int line)
{
    vokrin::display::jumpToLine(player, BackingTrackPath, Cues, line, CurrentCue, *MMLEDGauge1);
}

void TMainForm::SpeedButton4Click()
{
    const auto chosen =
        vokrin::platform::platform().chooseFont(this, {ListBox1->font(), ListBox1->fontColor()});
    if (!chosen)
        return;
    // The line pitch stays 27 px whatever the font.
    ListBox1->setFont(chosen->font);
    if (chosen->color.isValid())
        ListBox1->setFontColor(chosen->color);
    SpeedButton4->setText(chosen->font.family());
}

void TMainForm::MMColorButton2Change()
{
    // Taken up when the highlighted line is next drawn, not at once.
    ListBox1->setTag(MMColorButton2->value());
}

void TMainForm::MMColorButton3Change()
{
    ListBox1->setColor(MMColorButton3->value());
    Panel5->setColor(MMColorButton3->value());
}

} // namespace vokrin::app
