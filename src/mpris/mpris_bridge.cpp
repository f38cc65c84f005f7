#include "mpris/mpris_bridge.h"

#include "mpris/mpris_adaptors.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace vokrin::mpris {

namespace {

// How often the player is looked at for changes nobody told the bridge about (a track
// that ended, a button pressed in the window).
constexpr int kPollMs = 250;

} // namespace

MprisBridge::MprisBridge(Controls controls, QString identity, QString desktopEntry, QObject *parent)
    : QObject(parent), m_controls(std::move(controls)), m_identity(std::move(identity)),
      m_desktopEntry(std::move(desktopEntry))
{
    new RootAdaptor(this);
    m_player = new PlayerAdaptor(this);
    m_poll.setInterval(kPollMs);
    connect(&m_poll, &QTimer::timeout, this, &MprisBridge::refresh);
}

MprisBridge::~MprisBridge()
{
    if (m_bus) {
        m_bus->unregisterObject(kObjectPath);
        m_bus->unregisterService(m_service);
    }
}

bool MprisBridge::publish(const QDBusConnection &bus)
{
    if (m_bus || !bus.isConnected())
        return false;
    QDBusConnection connection(bus);
    if (!connection.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors))
        return false;
    // The first copy of the program takes the plain name, later ones a name of their own.
    const QString names[] = {kServiceName, kServiceName + QStringLiteral(".instance") +
                                               QString::number(QCoreApplication::applicationPid())};
    for (const QString &name : names) {
        if (connection.registerService(name)) {
            m_service = name;
            m_bus = connection;
            m_announced = snapshot();
            m_announcedAt.start();
            m_poll.start();
            return true;
        }
    }
    connection.unregisterObject(kObjectPath);
    return false;
}

PlayerSnapshot MprisBridge::snapshot() const
{
    return m_controls.snapshot ? m_controls.snapshot() : PlayerSnapshot{};
}

void MprisBridge::raise() const
{
    if (m_controls.raise)
        m_controls.raise();
}

void MprisBridge::run(Command command)
{
    const PlayerSnapshot now = snapshot();
    if (!now.canControl)
        return;
    switch (actionFor(command, now.status)) {
    case Action::StartPlay:
        if (m_controls.startPlay)
            m_controls.startPlay();
        break;
    case Action::Pause:
    case Action::Resume:
        if (m_controls.setPaused)
            m_controls.setPaused(actionFor(command, now.status) == Action::Pause);
        break;
    case Action::Stop:
        if (m_controls.stop)
            m_controls.stop();
        break;
    case Action::Nothing:
        break;
    }
    refresh();
}

void MprisBridge::refresh()
{
    if (!m_bus)
        return;
    const PlayerSnapshot now = snapshot();
    const PlayerSnapshot before = m_announced.value_or(PlayerSnapshot{});
    QVariantMap changed;
    if (now.status != before.status)
        changed.insert(QStringLiteral("PlaybackStatus"), statusName(now.status));
    if (!(now.track == before.track))
        changed.insert(QStringLiteral("Metadata"), metadataFor(now.track));
    if (canPlayNow(now) != canPlayNow(before))
        changed.insert(QStringLiteral("CanPlay"), canPlayNow(now));
    if (canPauseNow(now) != canPauseNow(before))
        changed.insert(QStringLiteral("CanPause"), canPauseNow(now));
    if (now.volume != before.volume)
        changed.insert(QStringLiteral("Volume"), now.volume);
    const bool jumped =
        m_announced && positionJumped(before, now, m_announcedAt.nsecsElapsed() / 1000);
    m_announced = now;
    m_announcedAt.start();
    if (!changed.isEmpty())
        announce(changed);
    if (jumped)
        Q_EMIT m_player->Seeked(now.positionMicroseconds);
}

void MprisBridge::announce(const QVariantMap &changed)
{
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    m_bus->send(signal);
}

} // namespace vokrin::mpris
