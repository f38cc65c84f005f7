// The effect chain of the current stream and the four effect LEDs.
#include "app/main_form.h"

#include "controls/led.h"
#include "effects/params_form.h"
#include "settings/ini_file.h"

using vokrin::controls::TMMLED;
using vokrin::effects::TParamsForm;
using vokrin::settings::TIniFile;

namespace vokrin::app {

vokrin::effects::EffectFlags TMainForm::effectFlags() const
{
    return {eq->isLit(), rever->isLit(), comp->isLit(), echo->isLit()};
}

void TMainForm::AttachEffects(DWORD stream)
{
    const TIniFile settings(vokrin::effects::kSettingsFile);
    Effects = vokrin::effects::AttachEffects(stream, effectFlags(), settings);
}

void TMainForm::ApplyEffects()
{
    const TIniFile settings(vokrin::effects::kSettingsFile);
    vokrin::effects::ApplyEffects(Effects, effectFlags(), settings);
}

void TMainForm::LoadEffectFlags()
{
    const TIniFile settings(vokrin::effects::kSettingsFile);
    const auto flags = vokrin::effects::LoadEffectFlags(settings);
    eq->setLit(flags.eq);
    comp->setLit(flags.comp);
    echo->setLit(flags.echo);
    rever->setLit(flags.rever);
}

void TMainForm::SaveEffectFlags()
{
    TIniFile settings(vokrin::effects::kSettingsFile);
    vokrin::effects::SaveEffectFlags(settings, effectFlags());
}

void TMainForm::toggleEffect(TMMLED *led)
{
    led->setLit(!led->isLit());
    // The open sound parameters window shows the same state; its own settings are
    // not saved here.
    if (ParamsForm) {
        if (auto *mirror = ParamsForm->findChild<TMMLED *>(led->objectName()))
            mirror->setLit(led->isLit());
    }
    ApplyEffects();
    SaveEffectFlags();
}

void TMainForm::PluginsClick()
{
    auto *form = new TParamsForm(this, *this);
    ParamsForm = form;
    form->show();
}

void TMainForm::setOwnerLed(const QString &ledName, bool lit)
{
    for (TMMLED *led : {eq, rever, comp, echo}) {
        if (led->objectName() == ledName)
            led->setLit(lit);
    }
}

void TMainForm::paramsFormClosed(TParamsForm *)
{
    // Closing any of the open windows forgets the reference, even when a newer one is
    // still open: the main window's LEDs then stop mirroring into it.
    ParamsForm = nullptr;
}

void TMainForm::eqClick()
{
    toggleEffect(eq);
}

void TMainForm::reverClick()
{
    toggleEffect(rever);
}

void TMainForm::compClick()
{
    toggleEffect(comp);
}

void TMainForm::echoClick()
{
    toggleEffect(echo);
}

} // namespace vokrin::app
