#include "audio/player.h"

#include <cmath>

namespace vokrin::audio {

double positionTimeFromSeconds(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        return 0;
    const double hours = std::trunc(seconds / 3600);
    const double minutes = std::trunc(seconds / 60 - hours * 60);
    const double secs = std::trunc(seconds - hours * 3600 - minutes * 60);
    if (hours >= 24 || minutes < 0 || minutes >= 60 || secs < 0 || secs >= 60)
        return 0;
    return hours / 24 + minutes / 1440 + secs / 86400;
}

void Player::OpenStream(const std::string &path, DWORD &handle, bool withEffects)
{
    // Only one of the two matches the kind of the handle; the other fails harmlessly.
    BASS_MusicFree(handle);
    BASS_StreamFree(handle);
    handle = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_SAMPLE_FX);
    if (handle == 0)
        handle = BASS_MusicLoad(FALSE, path.c_str(), 0, 0, BASS_MUSIC_RAMP | BASS_SAMPLE_FX, 0);
    if (&handle == &m_stream)
        m_streamPath = handle != 0 ? path : std::string();
    if (handle == 0) {
        if (m_hooks.reportUnplayable)
            m_hooks.reportUnplayable();
        return;
    }
    if (withEffects && m_hooks.attachEffects)
        m_hooks.attachEffects(handle);
}

void Player::PlayFile(const std::string &path)
{
    BASS_Start();
    if (m_hooks.releasePauseButton)
        m_hooks.releasePauseButton();
    OpenStream(path, m_stream);
    // After a failed open the handle is 0 and this fails without effect.
    BASS_ChannelPlay(m_stream, FALSE);
}

void Player::StopChannel(DWORD handle)
{
    BASS_ChannelStop(handle);
}

QWORD Player::GetPosition() const
{
    if (m_stream == 0)
        return 0;
    return BASS_ChannelGetPosition(m_stream);
}

double Player::GetPositionTime() const
{
    return positionTimeFromSeconds(BASS_ChannelBytes2Seconds(m_stream, GetPosition()));
}

void Player::SetPaused(bool paused)
{
    if (paused)
        BASS_Pause();
    else
        BASS_Start();
}

void Player::SetVolume(int volume)
{
    BASS_SetVolume(static_cast<DWORD>(volume));
}

void Player::SetPan(int pan) const
{
    BASS_ChannelSetAttributes(m_stream, -1, -1, pan);
}

} // namespace vokrin::audio
