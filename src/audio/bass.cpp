// The call set on top of our engine: argument checks and return conventions only.
#include "audio/bass.h"
#include "audio/bass_internal.h"

#include "audio/engine/engine.h"
#include "audio/engine/errors.h"

using vokrin::engine::ChannelKind;
using vokrin::engine::Engine;

namespace {

Engine &theEngine()
{
    return Engine::instance();
}

const char *pathOf(BOOL mem, const void *file, QWORD offset, QWORD length)
{
    // Only whole files by name: memory blocks and file sections are not needed here.
    if (mem || !file || offset != 0 || length != 0) {
        vokrin::engine::setLastError(mem || offset || length ? BASS_ERROR_NOTAVAIL
                                                             : BASS_ERROR_FILEOPEN);
        return nullptr;
    }
    return static_cast<const char *>(file);
}

} // namespace

namespace vokrin::bass_internal {

void setError(int code)
{
    vokrin::engine::setLastError(code);
}

bool withEffectChain(uint32_t handle, const std::function<void(vokrin::engine::EffectChain &)> &fn)
{
    return theEngine().withEffectChain(handle, fn);
}

} // namespace vokrin::bass_internal

extern "C" {

DWORD BASS_GetVersion(void)
{
    return BASSVERSION;
}
int BASS_ErrorGetCode(void)
{
    return vokrin::engine::lastError();
}

BOOL BASS_Init(int device, DWORD freq, DWORD, void *, void *)
{
    return theEngine().init(device, freq) ? TRUE : FALSE;
}
BOOL BASS_Free(void)
{
    return theEngine().free() ? TRUE : FALSE;
}
BOOL BASS_Start(void)
{
    return theEngine().start() ? TRUE : FALSE;
}
BOOL BASS_Pause(void)
{
    return theEngine().pause() ? TRUE : FALSE;
}
BOOL BASS_Stop(void)
{
    return theEngine().stop() ? TRUE : FALSE;
}

BOOL BASS_SetConfig(DWORD option, DWORD value)
{
    if (option != BASS_CONFIG_BUFFER) {
        vokrin::engine::setLastError(BASS_ERROR_ILLTYPE);
        return FALSE;
    }
    return theEngine().setBufferMs(value) ? TRUE : FALSE;
}

DWORD BASS_GetConfig(DWORD option)
{
    if (option != BASS_CONFIG_BUFFER) {
        vokrin::engine::setLastError(BASS_ERROR_ILLTYPE);
        return static_cast<DWORD>(-1);
    }
    vokrin::engine::setLastError(BASS_OK);
    return theEngine().bufferMs();
}

DWORD BASS_GetVolume(void)
{
    const int volume = theEngine().volume();
    return volume < 0 ? static_cast<DWORD>(-1) : static_cast<DWORD>(volume);
}
BOOL BASS_SetVolume(DWORD volume)
{
    return theEngine().setVolume(volume) ? TRUE : FALSE;
}

HSTREAM BASS_StreamCreateFile(BOOL mem, const void *file, QWORD offset, QWORD length, DWORD flags)
{
    const char *path = pathOf(mem, file, offset, length);
    if (!path)
        return 0;
    return theEngine().createStream(path, (flags & BASS_STREAM_DECODE) != 0,
                                    (flags & BASS_STREAM_PRESCAN) != 0);
}

BOOL BASS_StreamFree(HSTREAM handle)
{
    return theEngine().freeChannel(handle, ChannelKind::Stream) ? TRUE : FALSE;
}

QWORD BASS_StreamGetLength(DWORD handle)
{
    return theEngine().lengthBytes(handle);
}

const char *BASS_StreamGetTags(DWORD handle, DWORD tags)
{
    if (tags != BASS_TAG_ID3) {
        vokrin::engine::setLastError(BASS_ERROR_NOTAVAIL);
        return nullptr;
    }
    return theEngine().id3v1Tag(handle);
}

HMUSIC BASS_MusicLoad(BOOL mem, const void *file, QWORD offset, DWORD length, DWORD flags,
                      DWORD freq)
{
    const char *path = pathOf(mem, file, offset, length);
    if (!path)
        return 0;
    return theEngine().loadMusic(path, (flags & BASS_MUSIC_DECODE) != 0, freq);
}

BOOL BASS_MusicFree(HMUSIC handle)
{
    return theEngine().freeChannel(handle, ChannelKind::Music) ? TRUE : FALSE;
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart)
{
    return theEngine().play(handle, restart != FALSE) ? TRUE : FALSE;
}
BOOL BASS_ChannelStop(DWORD handle)
{
    return theEngine().stopChannel(handle) ? TRUE : FALSE;
}
DWORD BASS_ChannelIsActive(DWORD handle)
{
    return theEngine().isActive(handle);
}
QWORD BASS_ChannelGetPosition(DWORD handle)
{
    return theEngine().positionBytes(handle);
}
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos)
{
    return theEngine().setPositionBytes(handle, pos) ? TRUE : FALSE;
}

float BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos)
{
    return static_cast<float>(theEngine().bytesToSeconds(handle, pos));
}

QWORD BASS_ChannelSeconds2Bytes(DWORD handle, float pos)
{
    return theEngine().secondsToBytes(handle, pos);
}

BOOL BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan)
{
    return theEngine().setAttributes(handle, freq, volume, pan) ? TRUE : FALSE;
}

BOOL BASS_ChannelGetAttributes(DWORD handle, DWORD *freq, DWORD *volume, int *pan)
{
    return theEngine().getAttributes(handle, freq, volume, pan) ? TRUE : FALSE;
}

DWORD BASS_ChannelGetData(DWORD handle, void *buffer, DWORD length)
{
    if (length == BASS_DATA_FFT1024)
        return theEngine().fft1024(handle, static_cast<float *>(buffer));
    if (length & 0x80000000u) {
        vokrin::engine::setLastError(BASS_ERROR_NOTAVAIL); // other FFT sizes
        return static_cast<DWORD>(-1);
    }
    const bool asFloat = (length & BASS_DATA_FLOAT) != 0;
    return theEngine().readData(handle, buffer, length & ~static_cast<DWORD>(BASS_DATA_FLOAT),
                                asFloat);
}

} // extern "C"
