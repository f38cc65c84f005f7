#pragma once
// The effect calls of the engine's call set: the classic DirectX 8 effects set on a
// channel, and their parameter records with the fields in the published order.
//
// Ranges (a set outside them, or with a NaN or infinite value, fails with
// BASS_ERROR_ILLPARAM and leaves the effect as it was):
//   PARAMEQ     fCenter 80..16000 Hz (held below 0.45 x the channel's rate),
//               fBandwidth 1..36 semitones, fGain -15..15 dB (exactly 0: untouched)
//   COMPRESSOR  fGain -60..60 dB, fAttack 0..500 ms, fRelease 50..3000 ms,
//               fThreshold -60..0 dB, fRatio 1..100, fPredelay 0..4 ms
//   ECHO        fWetDryMix 0..100 %, fFeedback 0..100 %, fLeftDelay/fRightDelay 1..2000 ms
//   REVERB      fInGain -96..0 dB, fReverbMix -96..0 dB (0 all wet, -96 dry only),
//               fReverbTime 0..3000 ms, fHighFreqRTRatio 0.001..0.999

#include "audio/bass.h" // DWORD, BOOL, HFX (bass.h includes this file at its end)

#define BASS_FX_COMPRESSOR 1
#define BASS_FX_ECHO 3
#define BASS_FX_PARAMEQ 7
#define BASS_FX_REVERB 8

typedef struct
{
    float fCenter;    // Hz
    float fBandwidth; // semitones
    float fGain;      // dB
} BASS_FXPARAMEQ;

typedef struct
{
    float fGain;      // output gain, dB
    float fAttack;    // ms
    float fRelease;   // ms
    float fThreshold; // dB
    float fRatio;
    float fPredelay; // look-ahead, ms
} BASS_FXCOMPRESSOR;

typedef struct
{
    float fWetDryMix;  // %, 100 all wet
    float fFeedback;   // %
    float fLeftDelay;  // ms
    float fRightDelay; // ms
    BOOL lPanDelay;    // 0 off, -1 on (any non-zero value is taken as on)
} BASS_FXECHO;

typedef struct
{
    float fInGain;          // dB
    float fReverbMix;       // dB
    float fReverbTime;      // ms
    float fHighFreqRTRatio; // high-frequency decay time / fReverbTime
} BASS_FXREVERB;

#ifdef __cplusplus
extern "C" {
#endif

// Sets an effect on a stream or music channel (played or decoding). Effects run in
// priority order, higher first, equal priorities in the order they were set, before the
// channel's pan and the master volume. Returns the effect handle, or 0:
// BASS_ERROR_HANDLE (no such channel), BASS_ERROR_ILLTYPE (no such effect type),
// BASS_ERROR_NOFX (the channel carries as many effects as it can).
HFX BASS_ChannelSetFX(DWORD handle, DWORD type, int priority);

// `params` points to the record of the effect's type. FALSE with BASS_ERROR_HANDLE for
// an unknown effect or one whose channel has been freed, BASS_ERROR_ILLPARAM for a null
// record or a refused value.
BOOL BASS_FXSetParameters(HFX handle, const void *params);
BOOL BASS_FXGetParameters(HFX handle, void *params);

#ifdef __cplusplus
}
#endif
