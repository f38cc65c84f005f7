#pragma once

#include "mpris/playback_state.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <optional>

namespace vokrin::mpris {

// The player on the session bus as org.mpris.MediaPlayer2.vokrin (a second running copy
// takes org.mpris.MediaPlayer2.vokrin.instance<pid>), object /org/mpris/MediaPlayer2.
// Media keys, desktop applets and remotes call Play, Pause, PlayPause and Stop; they
// read PlaybackStatus, Metadata and Position, and hear PropertiesChanged when the
// status or the track changes.
//
// The bridge owns no player: `Controls` are what the owner's buttons do, and `snapshot`
// is asked for the state whenever a remote reads it and a few times a second to notice
// changes (the end of a track, a click on a button).
class PlayerAdaptor;

class MprisBridge : public QObject
{
    Q_OBJECT
public:
    struct Controls
    {
        std::function<PlayerSnapshot()> snapshot;
        // The play button: (re)loads the selected project and plays it from its start.
        std::function<void()> startPlay;
        // The pause button pressed (true) or released (false).
        std::function<void(bool paused)> setPaused;
        // The stop button.
        std::function<void()> stop;
        // Brings the player's window to the front.
        std::function<void()> raise;
    };

    inline static const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
    inline static const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.vokrin");
    inline static const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
    inline static const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

    // `identity` is the player's name for people, `desktopEntry` the base name of its
    // .desktop file.
    MprisBridge(Controls controls, QString identity, QString desktopEntry,
                QObject *parent = nullptr);
    ~MprisBridge() override;

    // Puts the player on `bus`. False, with nothing registered, when there is no bus
    // or it refused the names; the player then simply has no remote control.
    bool publish(const QDBusConnection &bus);
    bool published() const { return m_bus.has_value(); }
    // The bus name taken by publish (empty before).
    const QString &serviceName() const { return m_service; }

    // Carries out a remote's command as the player's buttons would; nothing while the
    // player cannot be controlled (a modal window is in front).
    void run(Command command);
    // Compares the player with what was last announced and signals the changes: the
    // properties that changed, and Seeked when the position jumped.
    void refresh();

    PlayerSnapshot snapshot() const;
    const QString &identity() const { return m_identity; }
    const QString &desktopEntry() const { return m_desktopEntry; }
    void raise() const;

private:
    void announce(const QVariantMap &changed);

    Controls m_controls;
    QString m_identity;
    QString m_desktopEntry;
    std::optional<QDBusConnection> m_bus;
    QString m_service;
    QTimer m_poll;
    std::optional<PlayerSnapshot> m_announced;
    // When m_announced was taken.
    QElapsedTimer m_announcedAt;
    PlayerAdaptor *m_player = nullptr;
};

} // namespace vokrin::mpris
