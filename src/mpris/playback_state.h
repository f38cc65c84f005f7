#pragma once

#include <QString>
#include <QVariantMap>
#include <cstdint>

namespace vokrin::mpris {

// What the player does, as a remote sees it.
enum class PlaybackStatus { Stopped, Playing, Paused };
// "Stopped", "Playing" or "Paused".
QString statusName(PlaybackStatus status);

// The track of the current stream. An empty `url` means there is none.
struct TrackInfo
{
    // Tells one opened stream from the next (the engine handle); part of the track id.
    std::uint32_t id = 0;
    QString title;
    QString url;
    std::int64_t lengthMicroseconds = 0;

    bool operator==(const TrackInfo &) const = default;
};

// The player as the bridge publishes it.
struct PlayerSnapshot
{
    PlaybackStatus status = PlaybackStatus::Stopped;
    TrackInfo track;
    // The heard position of the current stream.
    std::int64_t positionMicroseconds = 0;
    // Whether the player's buttons can be used now (no modal window in front).
    bool canControl = true;
    // Something to play: the catalogue has entries, or a stream is open.
    bool canPlay = false;
    // Master output volume, 0..1.
    double volume = 1.0;
};

// The track's metadata map (mpris:trackid, mpris:length, xesam:title, xesam:url); with
// no track, only the "no track" id.
QVariantMap metadataFor(const TrackInfo &track);

// The commands of a remote.
enum class Command { Play, Pause, PlayPause, Stop };
// What the player does for a command in a given state: start the selected song as its
// play button does, press or release its pause button, press its stop button, or
// nothing. Pausing when nothing plays and playing when it already plays do nothing.
enum class Action { Nothing, StartPlay, Pause, Resume, Stop };
Action actionFor(Command command, PlaybackStatus status);

// Whether the position moved other than by playing: a jump to a lyric line, say. The
// player was looked at `elapsedMicroseconds` ago at `before` and is now at `now`; a
// playing track advances by the time that passed, a paused or stopped one stays. Less
// than a second off counts as playing on (the looks are not exactly on time).
bool positionJumped(const PlayerSnapshot &before, const PlayerSnapshot &now,
                    std::int64_t elapsedMicroseconds);

} // namespace vokrin::mpris
