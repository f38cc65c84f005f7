#include "effects/fx_chain.h"

#include "settings/ini_file.h"

using vokrin::settings::TIniFile;

namespace vokrin::effects {

EffectHandles AttachEffects(DWORD stream, const EffectFlags &flags, const TIniFile &settings)
{
    EffectHandles handles;
    for (HFX &band : handles.EqBands)
        band = BASS_ChannelSetFX(stream, BASS_FX_PARAMEQ, 1);
    handles.compressor = BASS_ChannelSetFX(stream, BASS_FX_COMPRESSOR, 1);
    handles.echo = BASS_ChannelSetFX(stream, BASS_FX_ECHO, 1);
    handles.reverb = BASS_ChannelSetFX(stream, BASS_FX_REVERB, 1);
    ApplyEffects(handles, flags, settings);
    return handles;
}

void ApplyEffects(const EffectHandles &handles, const EffectFlags &flags, const TIniFile &settings)
{
    const EffectValues values = readEffectValues(settings, flags);

    BASS_FXPARAMEQ eq{};
    eq.fBandwidth = kEqBandwidth;
    for (int band = 0; band < kEqBandCount; ++band) {
        eq.fGain = values.eqGain[band];
        eq.fCenter = kEqCenters[band];
        BASS_FXSetParameters(handles.EqBands[band], &eq);
    }

    // The other groups read their record back first and then overwrite every field, so
    // what is sent never depends on what the effect held.
    BASS_FXCOMPRESSOR compressor{};
    BASS_FXGetParameters(handles.compressor, &compressor);
    compressor = values.compressor;
    BASS_FXSetParameters(handles.compressor, &compressor);

    BASS_FXECHO echo{};
    BASS_FXGetParameters(handles.echo, &echo);
    echo = values.echo;
    BASS_FXSetParameters(handles.echo, &echo);

    BASS_FXREVERB reverb{};
    BASS_FXGetParameters(handles.reverb, &reverb);
    reverb = values.reverb;
    BASS_FXSetParameters(handles.reverb, &reverb);
}

EffectFlags LoadEffectFlags(const TIniFile &settings)
{
    return readEffectFlags(settings);
}

void SaveEffectFlags(TIniFile &settings, const EffectFlags &flags)
{
    writeEffectFlags(settings, flags);
}

} // namespace vokrin::effects
