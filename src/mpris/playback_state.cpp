#include "mpris/playback_state.h"

#include <QDBusObjectPath>

namespace vokrin::mpris {

QString statusName(PlaybackStatus status)
{
    switch (status) {
    case PlaybackStatus::Playing:
        return QStringLiteral("Playing");
    case PlaybackStatus::Paused:
        return QStringLiteral("Paused");
    case PlaybackStatus::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

QVariantMap metadataFor(const TrackInfo &track)
{
    QVariantMap map;
    if (track.url.isEmpty()) {
        map.insert(QStringLiteral("mpris:trackid"),
                   QVariant::fromValue(QDBusObjectPath(
                       QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"))));
        return map;
    }
    map.insert(QStringLiteral("mpris:trackid"),
               QVariant::fromValue(QDBusObjectPath(
                   QStringLiteral("/io/github/vokrin/Vokrin/track/%1").arg(track.id))));
    map.insert(QStringLiteral("mpris:length"),
               QVariant::fromValue(static_cast<qlonglong>(track.lengthMicroseconds)));
    map.insert(QStringLiteral("xesam:title"), track.title);
    map.insert(QStringLiteral("xesam:url"), track.url);
    return map;
}

Action actionFor(Command command, PlaybackStatus status)
{
    switch (command) {
    case Command::Play:
        if (status == PlaybackStatus::Paused)
            return Action::Resume;
        return status == PlaybackStatus::Stopped ? Action::StartPlay : Action::Nothing;
    case Command::Pause:
        return status == PlaybackStatus::Playing ? Action::Pause : Action::Nothing;
    case Command::PlayPause:
        if (status == PlaybackStatus::Playing)
            return Action::Pause;
        return status == PlaybackStatus::Paused ? Action::Resume : Action::StartPlay;
    case Command::Stop:
        return status == PlaybackStatus::Stopped ? Action::Nothing : Action::Stop;
    }
    return Action::Nothing;
}

bool positionJumped(const PlayerSnapshot &before, const PlayerSnapshot &now,
                    std::int64_t elapsedMicroseconds)
{
    constexpr std::int64_t kSlack = 1'000'000;
    if (now.status == PlaybackStatus::Stopped || !(now.track == before.track))
        return false;
    const std::int64_t expected =
        before.positionMicroseconds +
        (before.status == PlaybackStatus::Playing ? elapsedMicroseconds : 0);
    const std::int64_t off = now.positionMicroseconds - expected;
    return off > kSlack || off < -kSlack;
}

} // namespace vokrin::mpris
