#include "mpris/mpris_adaptors.h"

#include "mpris/mpris_bridge.h"

namespace vokrin::mpris {

bool canPlayNow(const PlayerSnapshot &snapshot)
{
    return snapshot.canControl && snapshot.canPlay;
}

bool canPauseNow(const PlayerSnapshot &snapshot)
{
    return snapshot.canControl && snapshot.status != PlaybackStatus::Stopped;
}

RootAdaptor::RootAdaptor(MprisBridge *bridge) : QDBusAbstractAdaptor(bridge), m_bridge(bridge) {}

QString RootAdaptor::identity() const
{
    return m_bridge->identity();
}

QString RootAdaptor::desktopEntry() const
{
    return m_bridge->desktopEntry();
}

void RootAdaptor::Raise()
{
    m_bridge->raise();
}

PlayerAdaptor::PlayerAdaptor(MprisBridge *bridge) : QDBusAbstractAdaptor(bridge), m_bridge(bridge)
{
}

QString PlayerAdaptor::playbackStatus() const
{
    return statusName(m_bridge->snapshot().status);
}

QVariantMap PlayerAdaptor::metadata() const
{
    return metadataFor(m_bridge->snapshot().track);
}

double PlayerAdaptor::volume() const
{
    return m_bridge->snapshot().volume;
}

qlonglong PlayerAdaptor::position() const
{
    return m_bridge->snapshot().positionMicroseconds;
}

bool PlayerAdaptor::canPlay() const
{
    return canPlayNow(m_bridge->snapshot());
}

bool PlayerAdaptor::canPause() const
{
    return canPauseNow(m_bridge->snapshot());
}

void PlayerAdaptor::Play()
{
    m_bridge->run(Command::Play);
}

void PlayerAdaptor::Pause()
{
    m_bridge->run(Command::Pause);
}

void PlayerAdaptor::PlayPause()
{
    m_bridge->run(Command::PlayPause);
}

void PlayerAdaptor::Stop()
{
    m_bridge->run(Command::Stop);
}

} // namespace vokrin::mpris
