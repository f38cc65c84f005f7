#include "app/media_remote.h"

#include "app/catalogue_title.h"
#include "app/desktop_identity.h"
#include "app/main_form.h"
#include "content/text_codec.h"
#include "controls/wheel.h"
#include "mpris/mpris_bridge.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFile>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <cmath>
#include <memory>

namespace vokrin::app {

namespace {

// The track facts of a stream, read once per opened stream: its tags do not change.
struct TrackCache
{
    DWORD stream = 0;
    std::string path;
    vokrin::mpris::TrackInfo track;
};

std::int64_t microseconds(DWORD stream, QWORD bytes)
{
    const float seconds = BASS_ChannelBytes2Seconds(stream, bytes);
    return seconds > 0 && std::isfinite(seconds) ? std::llround(double(seconds) * 1e6) : 0;
}

vokrin::mpris::TrackInfo describeTrack(DWORD stream, const std::string &path)
{
    vokrin::mpris::TrackInfo track;
    if (stream == 0 || path.empty())
        return track;
    track.id = stream;
    // The title the catalogue shows for this file: its ID3v1 title, else its file name.
    track.title = vokrin::content::decodeText(catalogueCaption(
        BASS_StreamGetTags(stream, BASS_TAG_ID3), QByteArray::fromStdString(path)));
    track.url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path)))
                    .toString(QUrl::FullyEncoded);
    const QWORD length = BASS_StreamGetLength(stream);
    track.lengthMicroseconds = length == QWORD(-1) ? 0 : microseconds(stream, length);
    return track;
}

// The player of `window` as a remote sees it.
vokrin::mpris::PlayerSnapshot mediaSnapshot(TMainForm &window, TrackCache &cache)
{
    using vokrin::mpris::PlaybackStatus;
    vokrin::mpris::PlayerSnapshot snapshot;
    const DWORD stream = window.Stream();
    const std::string &path = window.player.streamPath();
    if (cache.stream != stream || cache.path != path)
        cache = {stream, path, describeTrack(stream, path)};
    snapshot.track = cache.track;
    // The pause button halts the whole output; the stream still counts as playing.
    if (stream == 0 || BASS_ChannelIsActive(stream) == BASS_ACTIVE_STOPPED)
        snapshot.status = PlaybackStatus::Stopped;
    else
        snapshot.status =
            window.PauseBtn->isChecked() ? PlaybackStatus::Paused : PlaybackStatus::Playing;
    snapshot.positionMicroseconds = stream == 0 ? 0 : microseconds(stream, window.GetPosition());
    // The window's buttons cannot be pressed while a dialog or the wizard is in front.
    snapshot.canControl = QApplication::activeModalWidget() == nullptr;
    snapshot.canPlay = window.ListView1->topLevelItemCount() > 0 || stream != 0;
    snapshot.volume = window.Volume->value() / 100.0;
    return snapshot;
}

} // namespace

void connectMediaRemote(TMainForm &window)
{
    vokrin::mpris::MprisBridge::Controls controls;
    controls.snapshot = [&window, cache = std::make_shared<TrackCache>()] {
        return mediaSnapshot(window, *cache);
    };
    controls.startPlay = [&window] { window.ButtonPlay->click(); };
    controls.setPaused = [&window](bool paused) {
        if (window.PauseBtn->isChecked() != paused)
            window.PauseBtn->click();
    };
    controls.stop = [&window] { window.ButtonStop->click(); };
    controls.raise = [&window] {
        window.raise();
        window.activateWindow();
    };
    auto *bridge = new vokrin::mpris::MprisBridge(std::move(controls), QStringLiteral("Вокрин"),
                                                  kDesktopId, &window);
    if (!bridge->publish(QDBusConnection::sessionBus()))
        delete bridge;
}

} // namespace vokrin::app
