#include "authoring/track_format.h"

#include "audio/bass.h"

#include <QFile>

namespace vokrin::authoring {

std::optional<content::TrackFormat> readTrackFormat(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    // The prescan makes an MP3's length exact, so that a last line near the end is not
    // taken for one past it.
    bool music = false;
    DWORD handle = BASS_StreamCreateFile(FALSE, name.constData(), 0, 0,
                                         BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    if (handle == 0) {
        handle = BASS_MusicLoad(FALSE, name.constData(), 0, 0,
                                BASS_MUSIC_RAMP | BASS_MUSIC_DECODE | BASS_MUSIC_PRESCAN, 0);
        music = handle != 0;
    }
    if (handle == 0)
        return std::nullopt;

    content::TrackFormat format;
    DWORD rate = 0;
    const QWORD second = BASS_ChannelSeconds2Bytes(handle, 1.0f);
    if (BASS_ChannelGetAttributes(handle, &rate, nullptr, nullptr) && rate > 0 &&
        second != QWORD(-1) && second % (QWORD(rate) * 2) == 0) {
        format.rate = rate;
        format.channels = quint32(second / (QWORD(rate) * 2));
    }
    const QWORD length = BASS_StreamGetLength(handle);
    format.lengthBytes = length == QWORD(-1) ? 0 : length;
    if (music)
        BASS_MusicFree(handle);
    else
        BASS_StreamFree(handle);
    if (!format.valid())
        return std::nullopt;
    return format;
}

} // namespace vokrin::authoring
