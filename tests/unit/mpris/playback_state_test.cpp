#include "mpris/playback_state.h"

#include <QDBusObjectPath>
#include <gtest/gtest.h>

using namespace vokrin::mpris;

TEST(MprisActions, EachCommandInEachStateDoesWhatThePlayersButtonsWould)
{
    struct Case
    {
        Command command;
        PlaybackStatus status;
        Action expected;
    };
    const Case cases[] = {
        {Command::Play, PlaybackStatus::Stopped, Action::StartPlay},
        {Command::Play, PlaybackStatus::Paused, Action::Resume},
        {Command::Play, PlaybackStatus::Playing, Action::Nothing},
        {Command::Pause, PlaybackStatus::Playing, Action::Pause},
        {Command::Pause, PlaybackStatus::Paused, Action::Nothing},
        {Command::Pause, PlaybackStatus::Stopped, Action::Nothing},
        {Command::PlayPause, PlaybackStatus::Playing, Action::Pause},
        {Command::PlayPause, PlaybackStatus::Paused, Action::Resume},
        {Command::PlayPause, PlaybackStatus::Stopped, Action::StartPlay},
        {Command::Stop, PlaybackStatus::Playing, Action::Stop},
        {Command::Stop, PlaybackStatus::Paused, Action::Stop},
        {Command::Stop, PlaybackStatus::Stopped, Action::Nothing},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(actionFor(c.command, c.status), c.expected)
            << "command " << int(c.command) << " in " << statusName(c.status).toStdString();
    }
}

TEST(MprisMetadata, ATrackHasItsIdTitleUrlAndLengthAndNoTrackOnlyTheNoTrackId)
{
    TrackInfo track{7, QStringLiteral("Во поле берёза"), QStringLiteral("file:///songs/a%20b.ogg"),
                    183'500'000};
    const QVariantMap map = metadataFor(track);
    EXPECT_EQ(map.value("mpris:trackid").value<QDBusObjectPath>().path(),
              "/io/github/vokrin/Vokrin/track/7");
    EXPECT_EQ(map.value("xesam:title").toString(), track.title);
    EXPECT_EQ(map.value("xesam:url").toString(), track.url);
    EXPECT_EQ(map.value("mpris:length").metaType(), QMetaType::fromType<qlonglong>());
    EXPECT_EQ(map.value("mpris:length").toLongLong(), 183'500'000);

    const QVariantMap none = metadataFor({});
    EXPECT_EQ(none.keys(), QStringList{"mpris:trackid"});
    EXPECT_EQ(none.value("mpris:trackid").value<QDBusObjectPath>().path(),
              "/org/mpris/MediaPlayer2/TrackList/NoTrack");
}

TEST(MprisSeeked, OnlyAPositionThatMovedOtherThanByPlayingIsAJump)
{
    const TrackInfo song{1, "a.wav", "file:///a.wav", 60'000'000};
    const auto at = [&](PlaybackStatus status, std::int64_t seconds, TrackInfo track) {
        PlayerSnapshot snapshot;
        snapshot.status = status;
        snapshot.track = track;
        snapshot.positionMicroseconds = seconds * 1'000'000;
        return snapshot;
    };
    constexpr std::int64_t quarter = 250'000;
    using S = PlaybackStatus;
    struct Case
    {
        PlayerSnapshot before, now;
        std::int64_t elapsed;
        bool jumped;
        const char *what;
    };
    const Case cases[] = {
        {at(S::Playing, 10, song), at(S::Playing, 10, song), quarter, false, "a quarter late"},
        {at(S::Playing, 10, song), at(S::Playing, 12, song), 2'000'000, false, "played on"},
        {at(S::Playing, 10, song), at(S::Playing, 40, song), quarter, true, "forward to a line"},
        {at(S::Playing, 40, song), at(S::Playing, 5, song), quarter, true, "back to a line"},
        {at(S::Paused, 10, song), at(S::Paused, 10, song), 5'000'000, false, "paused stays"},
        {at(S::Paused, 10, song), at(S::Playing, 30, song), quarter, true, "paused, then a jump"},
        {at(S::Playing, 30, song), at(S::Stopped, 30, song), quarter, false, "stopped"},
        {at(S::Playing, 30, song), at(S::Playing, 0, {2, "b.wav", "file:///b.wav", 1}), quarter,
         false, "another track starts"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(positionJumped(c.before, c.now, c.elapsed), c.jumped) << c.what;
}
