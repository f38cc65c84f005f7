#pragma once
// The audio engine's call set: the classic BASS 2.1 interface (names, argument order,
// constants and return conventions), implemented by our own engine in audio/engine.
//
// Conventions: calls that return a handle give 0 on failure; BOOL calls give FALSE;
// calls that return a count or a position give (DWORD)-1 / (QWORD)-1 on failure.
// BASS_ErrorGetCode() then tells why, for the calling thread.
// Positions and lengths are bytes of decoded 16-bit audio (frames x channels x 2).

#include <cstdint>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef uint64_t QWORD;
typedef int32_t BOOL;
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

typedef DWORD HCHANNEL; // any channel: stream or music
typedef DWORD HSTREAM;  // a file stream
typedef DWORD HMUSIC;   // a music module
typedef DWORD HSAMPLE;
typedef DWORD HSYNC;
typedef DWORD HFX; // an effect on a channel

#define BASSVERSION 0x10002 // 2.1: major in the low word, minor in the high word

// Error codes (BASS_ErrorGetCode)
#define BASS_OK 0
#define BASS_ERROR_MEM 1
#define BASS_ERROR_FILEOPEN 2
#define BASS_ERROR_DRIVER 3
#define BASS_ERROR_BUFLOST 4
#define BASS_ERROR_HANDLE 5
#define BASS_ERROR_FORMAT 6
#define BASS_ERROR_POSITION 7
#define BASS_ERROR_INIT 8
#define BASS_ERROR_START 9
#define BASS_ERROR_ALREADY 14
#define BASS_ERROR_NOPAUSE 16
#define BASS_ERROR_NOCHAN 18
#define BASS_ERROR_ILLTYPE 19
#define BASS_ERROR_ILLPARAM 20
#define BASS_ERROR_NO3D 21
#define BASS_ERROR_NOEAX 22
#define BASS_ERROR_DEVICE 23
#define BASS_ERROR_NOPLAY 24
#define BASS_ERROR_FREQ 25
#define BASS_ERROR_NOTFILE 27
#define BASS_ERROR_NOHW 29
#define BASS_ERROR_EMPTY 31
#define BASS_ERROR_NONET 32
#define BASS_ERROR_CREATE 33
#define BASS_ERROR_NOFX 34
#define BASS_ERROR_PLAYING 35
#define BASS_ERROR_NOTAVAIL 37
#define BASS_ERROR_DECODE 38
#define BASS_ERROR_FILEFORM 41
#define BASS_ERROR_UNKNOWN -1

// BASS_SetConfig / BASS_GetConfig options
#define BASS_CONFIG_BUFFER 0 // decode-ahead length of a played channel, ms (10..5000)

// Sample, stream and music flags
#define BASS_SAMPLE_8BITS 1
#define BASS_SAMPLE_MONO 2
#define BASS_SAMPLE_LOOP 4
#define BASS_SAMPLE_SOFTWARE 0x10
#define BASS_SAMPLE_FX 0x80 // effects may be set on the channel (they always may here)
#define BASS_SAMPLE_FLOAT 0x100
#define BASS_MUSIC_RAMP 0x200 // volume ramping (always on here)
#define BASS_MUSIC_RAMPS 0x400
// Exact length at once: a file whose header does not give it (an MP3 without a
// LAME/Xing/Info frame) is scanned on the calling thread. Without the flag, opening
// reads the headers only and the engine's own thread scans such a file once its length
// is asked for or it is played or positioned.
#define BASS_STREAM_PRESCAN 0x20000
#define BASS_MUSIC_PRESCAN BASS_STREAM_PRESCAN
#define BASS_STREAM_AUTOFREE 0x40000
#define BASS_STREAM_DECODE 0x200000 // a channel that is read with BASS_ChannelGetData, not played
#define BASS_MUSIC_DECODE BASS_STREAM_DECODE

// BASS_ChannelIsActive
#define BASS_ACTIVE_STOPPED 0
#define BASS_ACTIVE_PLAYING 1
#define BASS_ACTIVE_STALLED 2
#define BASS_ACTIVE_PAUSED 3

// BASS_ChannelGetData: a byte count of PCM (decoding channels), or one of these
#define BASS_DATA_AVAILABLE 0        // how many bytes a decoding channel can still give
#define BASS_DATA_FLOAT 0x40000000   // with a byte count: 32-bit float samples instead of 16-bit
#define BASS_DATA_FFT512 0x80000000  // 256 floats
#define BASS_DATA_FFT1024 0x80000001 // 512 floats
#define BASS_DATA_FFT2048 0x80000002 // 1024 floats

// BASS_StreamGetTags
#define BASS_TAG_ID3 0 // the 128-byte ID3v1 block at the end of the file

// Devices for BASS_Init
#define BASS_DEVICE_NOSOUND 0 // no output: positions advance in real time
#define BASS_DEVICE_DEFAULT 1 // the system's default output (-1 means the same)

#ifdef __cplusplus
extern "C" {
#endif

DWORD BASS_GetVersion(void);
int BASS_ErrorGetCode(void);

BOOL BASS_Init(int device, DWORD freq, DWORD flags, void *win, void *clsid);
BOOL BASS_Free(void);
BOOL BASS_Start(void); // resumes output halted by BASS_Pause or BASS_Stop
BOOL BASS_Pause(void); // halts all output; playing channels keep their place
BOOL BASS_Stop(void);  // halts all output and stops every channel
BOOL BASS_SetConfig(DWORD option, DWORD value);
DWORD BASS_GetConfig(DWORD option); // (DWORD)-1 on error
DWORD BASS_GetVolume(void);         // master volume 0..100, (DWORD)-1 on error
BOOL BASS_SetVolume(DWORD volume);  // 100 unity gain, 0 silence

HSTREAM BASS_StreamCreateFile(BOOL mem, const void *file, QWORD offset, QWORD length, DWORD flags);
BOOL BASS_StreamFree(HSTREAM handle);
// Streams and music, bytes; (QWORD)-1 on error. Exact from the file's header (WAV, OGG,
// FLAC, an MP3's LAME/Xing/Info frame), after BASS_STREAM_PRESCAN, or once the engine's
// scan has finished; until then an estimate from the file size and the first frame's
// bit rate. Positions are exact either way.
QWORD BASS_StreamGetLength(DWORD handle);
const char *BASS_StreamGetTags(DWORD handle, DWORD tags);

HMUSIC BASS_MusicLoad(BOOL mem, const void *file, QWORD offset, DWORD length, DWORD flags,
                      DWORD freq);
BOOL BASS_MusicFree(HMUSIC handle);

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
BOOL BASS_ChannelStop(DWORD handle);
DWORD BASS_ChannelIsActive(DWORD handle);
QWORD BASS_ChannelGetPosition(DWORD handle);
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos);
float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos); // negative on error
QWORD BASS_ChannelSeconds2Bytes(DWORD handle, float pos); // (QWORD)-1 on error
// freq: -1 unchanged, 0 the channel's own rate; volume 0..100 or -1 unchanged;
// pan -100 (left) .. 100 (right), a balance, or -101 unchanged.
BOOL BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan);
BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD *freq, DWORD *volume, int *pan);
// length: BASS_DATA_FFT* (buffer of floats), or a byte count of PCM to read from a
// decoding channel (optionally | BASS_DATA_FLOAT). Returns bytes read, (DWORD)-1 on error.
DWORD BASS_ChannelGetData(DWORD handle, void *buffer, DWORD length);

#ifdef __cplusplus
}
#endif

// The effect calls are part of the call set: whoever includes the engine has them.
#include "audio/bass_fx.h"
