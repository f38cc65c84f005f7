#include "render_tick.h"

#include "audio/player.h"
#include "controls/led_gauge.h"
#include "lyric_list.h"
#include "lyric_timeline.h"
#include "paint_frame.h"
#include "spectrum_vis.h"

#include <QFile>
#include <QFileInfo>

using vokrin::controls::TMMLEDGauge;

namespace vokrin::display {

void renderTick(const audio::Player &player, const QList<quint32> &cues, std::int32_t leadTime,
                bool wizardVisible, std::int32_t &cueIndex, RenderTargets &targets)
{
    const DWORD stream = player.stream();
    if (BASS_ChannelIsActive(stream) != BASS_ACTIVE_PLAYING)
        return;

    targets.gauge.setProgress(progressPercent(player.GetPosition(), BASS_StreamGetLength(stream)));

    // A failed read draws from silence rather than from a stale frame.
    if (BASS_ChannelGetData(stream, targets.fft.data(), BASS_DATA_FFT1024) == DWORD(-1))
        targets.fft.fill(0.0f);
    targets.spectrum.Draw(targets.paintFrame.surface(), targets.fft.data(), 0, 0);
    targets.paintFrame.surfaceChanged();

    if (wizardVisible)
        return;
    if (!cueReached(cues, cueIndex, leadTime, player.GetPosition()))
        return;
    targets.lyrics.selectLine(cueIndex);
    if (targets.lyrics.scrollPending()) {
        targets.lyrics.scrollLineDown();
        targets.lyrics.setScrollPending(false);
    }
    ++cueIndex;
}

bool jumpToLine(audio::Player &player, const QString &backingTrack, const QList<quint32> &cues,
                int line, std::int32_t &cueIndex, TMMLEDGauge &gauge)
{
    if (line < 0 || line >= cues.size())
        return false;
    if (!QFileInfo(backingTrack).isFile())
        return false;
    audio::Player::StopChannel(player.stream());
    cueIndex = line;
    const quint32 cue = cues[line];
    player.PlayFile(QFile::encodeName(backingTrack).toStdString());
    BASS_ChannelSetPosition(player.stream(), static_cast<QWORD>(cue));
    gauge.setProgress(0);
    return true;
}

} // namespace vokrin::display
