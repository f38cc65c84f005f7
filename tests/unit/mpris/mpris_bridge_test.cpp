// The bridge on a private session bus, called by a second connection as a remote calls
// it: commands reach the player's controls, properties read the player, and changes are
// announced with PropertiesChanged.
#include "e2e_harness.h"
#include "mpris/mpris_bridge.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using vokrin::mpris::MprisBridge;
using vokrin::mpris::PlaybackStatus;
using vokrin::mpris::PlayerSnapshot;

// Records the PropertiesChanged signals a remote hears.
class ChangeRecorder : public QObject
{
    Q_OBJECT
public:
    std::vector<QVariantMap> changes;
    std::vector<qlonglong> seeks;
Q_SIGNALS:
    void heard();
    void heardSeek();
public Q_SLOTS:
    void seeked(qlonglong position)
    {
        seeks.push_back(position);
        Q_EMIT heardSeek();
    }
    void changed(const QString &interface, const QVariantMap &properties, const QStringList &)
    {
        if (interface == MprisBridge::kPlayerInterface) {
            changes.push_back(properties);
            Q_EMIT heard();
        }
    }
};

namespace {

void ensureApplication()
{
    static int argc = 1;
    static char name[] = "mpris_unit_tests";
    static char *argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        new QCoreApplication(argc, argv);
}

// A player whose state the test sets, counting what the bridge asks of it.
struct FakePlayer
{
    PlayerSnapshot state;
    int plays = 0;
    std::vector<bool> pauses;
    int stops = 0;
    int raises = 0;

    MprisBridge::Controls controls()
    {
        return {[this] { return state; }, [this] { ++plays; },
                [this](bool paused) { pauses.push_back(paused); }, [this] { ++stops; },
                [this] { ++raises; }};
    }
};

class MprisBridgeTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ensureApplication(); }

    void SetUp() override
    {
        if (!bus.running())
            GTEST_SKIP() << bus.why().toStdString();
        bridge = std::make_unique<MprisBridge>(player.controls(), QStringLiteral("Вокрин"),
                                               QStringLiteral("io.github.vokrin.Vokrin"));
        ASSERT_TRUE(bridge->publish(server));
    }

    void TearDown() override
    {
        bridge.reset();
        // Each test has a bus of its own; the named connections go with it.
        QDBusConnection::disconnectFromBus(QStringLiteral("player"));
        QDBusConnection::disconnectFromBus(QStringLiteral("remote"));
    }

    // Calls a method of the bridge from the remote's connection and waits for the reply
    // while the bridge serves it.
    QDBusMessage call(const QString &interface, const QString &method,
                      const QVariantList &arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            bridge->serviceName(), MprisBridge::kObjectPath, interface, method);
        message.setArguments(arguments);
        QDBusPendingCallWatcher watcher(remote.asyncCall(message, 10000));
        QSignalSpy done(&watcher, &QDBusPendingCallWatcher::finished);
        if (!watcher.isFinished())
            done.wait(10000);
        return watcher.reply();
    }

    QVariant property(const QString &interface, const QString &name)
    {
        const QDBusMessage reply = call(QStringLiteral("org.freedesktop.DBus.Properties"),
                                        QStringLiteral("Get"), {interface, name});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        return reply.arguments().front().value<QDBusVariant>().variant();
    }

    QVariantMap metadata()
    {
        const QVariant value = property(MprisBridge::kPlayerInterface, "Metadata");
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    }

    vokrin::e2e::SessionBus bus;
    QDBusConnection server = QDBusConnection::connectToBus(bus.address(), "player");
    QDBusConnection remote = QDBusConnection::connectToBus(bus.address(), "remote");
    FakePlayer player;
    std::unique_ptr<MprisBridge> bridge;
};

TEST_F(MprisBridgeTest, RemoteCommandsPressThePlayersButtonsByItsState)
{
    EXPECT_EQ(bridge->serviceName(), "org.mpris.MediaPlayer2.vokrin");
    const QString player_ = MprisBridge::kPlayerInterface;

    player.state.status = PlaybackStatus::Stopped;
    ASSERT_EQ(call(player_, "PlayPause").type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(player.plays, 1);
    call(player_, "Pause");
    EXPECT_TRUE(player.pauses.empty()) << "nothing to pause";

    player.state.status = PlaybackStatus::Playing;
    call(player_, "Play");
    EXPECT_EQ(player.plays, 1) << "already playing";
    call(player_, "PlayPause");
    call(player_, "Pause");
    EXPECT_EQ(player.pauses, std::vector<bool>({true, true}));

    player.state.status = PlaybackStatus::Paused;
    call(player_, "Play");
    call(player_, "PlayPause");
    EXPECT_EQ(player.pauses, std::vector<bool>({true, true, false, false}));
    call(player_, "Stop");
    EXPECT_EQ(player.stops, 1);

    // While a modal window is in front, the buttons cannot be pressed, nor by a remote.
    player.state.canControl = false;
    call(player_, "PlayPause");
    call(player_, "Stop");
    EXPECT_EQ(player.pauses.size(), 4u);
    EXPECT_EQ(player.stops, 1);

    call(MprisBridge::kRootInterface, "Raise");
    EXPECT_EQ(player.raises, 1);
}

TEST_F(MprisBridgeTest, PropertiesReadThePlayerAsItIsNow)
{
    const QString root = MprisBridge::kRootInterface;
    const QString player_ = MprisBridge::kPlayerInterface;
    EXPECT_EQ(property(root, "Identity").toString(), "Вокрин");
    EXPECT_EQ(property(root, "DesktopEntry").toString(), "io.github.vokrin.Vokrin");
    EXPECT_EQ(property(root, "CanRaise").toBool(), true);
    EXPECT_EQ(property(player_, "CanControl").toBool(), true);
    EXPECT_EQ(property(player_, "CanSeek").toBool(), false);

    EXPECT_EQ(property(player_, "PlaybackStatus").toString(), "Stopped");
    EXPECT_EQ(metadata().value("mpris:trackid").value<QDBusObjectPath>().path(),
              "/org/mpris/MediaPlayer2/TrackList/NoTrack");

    player.state.status = PlaybackStatus::Paused;
    player.state.track = {3, "Берёза", "file:///songs/b.ogg", 90'000'000};
    player.state.positionMicroseconds = 12'345'678;
    player.state.canPlay = true;
    EXPECT_EQ(property(player_, "PlaybackStatus").toString(), "Paused");
    EXPECT_EQ(property(player_, "Position").toLongLong(), 12'345'678);
    EXPECT_EQ(property(player_, "CanPlay").toBool(), true);
    EXPECT_EQ(property(player_, "CanPause").toBool(), true);
    const QVariantMap map = metadata();
    EXPECT_EQ(map.value("xesam:title").toString(), "Берёза");
    EXPECT_EQ(map.value("xesam:url").toString(), "file:///songs/b.ogg");
    EXPECT_EQ(map.value("mpris:length").toLongLong(), 90'000'000);
}

TEST_F(MprisBridgeTest, ChangesOfStatusAndTrackAreAnnouncedOnceEach)
{
    ChangeRecorder recorder;
    ASSERT_TRUE(remote.connect(bridge->serviceName(), MprisBridge::kObjectPath,
                               "org.freedesktop.DBus.Properties", "PropertiesChanged", &recorder,
                               SLOT(changed(QString, QVariantMap, QStringList))));
    QSignalSpy heard(&recorder, &ChangeRecorder::heard);
    // The subscription reaches the bus daemon before anything is announced.
    call(MprisBridge::kRootInterface, "Raise");

    player.state.status = PlaybackStatus::Playing;
    player.state.track = {5, "a.wav", "file:///a.wav", 1'000'000};
    // Found by the bridge's own look at the player, a few times a second.
    ASSERT_TRUE(heard.wait(5000));
    ASSERT_EQ(recorder.changes.size(), 1u);
    EXPECT_EQ(recorder.changes[0].value("PlaybackStatus").toString(), "Playing");
    EXPECT_TRUE(recorder.changes[0].contains("Metadata"));
    EXPECT_TRUE(recorder.changes[0].contains("CanPause"));

    // Nothing changed: nothing is announced.
    bridge->refresh();
    EXPECT_FALSE(heard.wait(600));
    EXPECT_EQ(recorder.changes.size(), 1u);

    player.state.status = PlaybackStatus::Stopped;
    bridge->refresh();
    ASSERT_TRUE(heard.wait(5000));
    EXPECT_EQ(recorder.changes.back().value("PlaybackStatus").toString(), "Stopped");
    EXPECT_FALSE(recorder.changes.back().contains("Metadata")) << "the track stayed";
}

TEST_F(MprisBridgeTest, AJumpOfThePositionIsAnnouncedAsSeeked)
{
    ChangeRecorder recorder;
    ASSERT_TRUE(remote.connect(bridge->serviceName(), MprisBridge::kObjectPath,
                               MprisBridge::kPlayerInterface, "Seeked", &recorder,
                               SLOT(seeked(qlonglong))));
    QSignalSpy seeks(&recorder, &ChangeRecorder::heardSeek);
    call(MprisBridge::kRootInterface, "Raise");
    player.state.status = PlaybackStatus::Paused;
    player.state.track = {5, "a.wav", "file:///a.wav", 100'000'000};
    player.state.positionMicroseconds = 10'000'000;
    bridge->refresh();
    EXPECT_FALSE(seeks.wait(600)) << "a new track is no seek";

    // A double-click on a lyric line moves the song to its cue.
    player.state.positionMicroseconds = 70'000'000;
    ASSERT_TRUE(seeks.wait(5000));
    EXPECT_EQ(recorder.seeks, std::vector<qlonglong>{70'000'000});
}

TEST_F(MprisBridgeTest, ASecondCopyTakesAnInstanceNameAndNamesAreGivenBackAtTheEnd)
{
    FakePlayer other;
    QDBusConnection second = QDBusConnection::connectToBus(bus.address(), "second");
    auto copy =
        std::make_unique<MprisBridge>(other.controls(), "Вокрин", "io.github.vokrin.Vokrin");
    ASSERT_TRUE(copy->publish(second));
    EXPECT_EQ(copy->serviceName(), QStringLiteral("org.mpris.MediaPlayer2.vokrin.instance%1")
                                       .arg(QCoreApplication::applicationPid()));
    QDBusConnectionInterface *names = remote.interface();
    EXPECT_TRUE(names->isServiceRegistered(copy->serviceName()).value());
    const QString name = copy->serviceName();
    copy.reset();
    EXPECT_FALSE(names->isServiceRegistered(name).value());
    bridge.reset();
    EXPECT_FALSE(names->isServiceRegistered("org.mpris.MediaPlayer2.vokrin").value());
    QDBusConnection::disconnectFromBus("second");
}

} // namespace

TEST(MprisBridgeWithoutBus, PublishingWithoutABusFailsQuietly)
{
    ensureApplication();
    FakePlayer player;
    MprisBridge bridge(player.controls(), "Вокрин", "io.github.vokrin.Vokrin");
    const QDBusConnection none =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), "none");
    EXPECT_FALSE(bridge.publish(none));
    EXPECT_FALSE(bridge.published());
    bridge.run(vokrin::mpris::Command::PlayPause);
    EXPECT_EQ(player.plays, 1) << "the bridge still works its controls";
}

#include "mpris_bridge_test.moc"
