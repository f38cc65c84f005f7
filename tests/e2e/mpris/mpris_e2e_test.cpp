// Media keys and remotes: the real program on Xvfb, a private PulseAudio server and a
// private session bus, driven with dbus-send as a desktop's media keys drive it.
#include "content/list_file.h"
#include "content/project_file.h"
#include "e2e_harness.h"
#include "fixture_writers.h"
#include "main_window_driver.h"
#include "recording.h"
#include "test_env.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using vokrin::e2e::Program;
using vokrin::e2e::Recording;
using vokrin::e2e::SessionBus;
using vokrin::e2e::waitForMainWindow;

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.vokrin");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");

// A remote's command: org.mpris.MediaPlayer2.Player.<method>.
bool command(const SessionBus &bus, const QString &method)
{
    bool ok = false;
    bus.send({QStringLiteral("--dest=") + kService, kPath, kPlayer + QLatin1Char('.') + method},
             &ok);
    return ok;
}

// The reply to Properties.Get of a player property, as dbus-send prints it.
QString property(const SessionBus &bus, const QString &name)
{
    return bus.send({QStringLiteral("--dest=") + kService, kPath,
                     QStringLiteral("org.freedesktop.DBus.Properties.Get"),
                     QStringLiteral("string:") + kPlayer, QStringLiteral("string:") + name});
}

QString playbackStatus(const SessionBus &bus)
{
    const auto match = QRegularExpression(QStringLiteral("string \"(\\w+)\""))
                           .match(property(bus, "PlaybackStatus"));
    return match.hasMatch() ? match.captured(1) : QString();
}

bool waitForStatus(const SessionBus &bus, const QString &status, int timeoutMs = 10000)
{
    return vokrin::e2e::waitUntil([&] { return playbackStatus(bus) == status; }, timeoutMs, 100);
}

// How loud the last `seconds` heard are (RMS, 0..1), read once that much more has been
// recorded after this call.
double loudnessOfTheNext(vokrin::e2e::SoundServer &sound, const QString &rawFile, double seconds)
{
    const qint64 frames = static_cast<qint64>(seconds * Recording::kRate);
    const qint64 from = sound.recordedFrames();
    vokrin::e2e::waitUntil([&] { return sound.recordedFrames() >= from + frames; }, 20000);
    const Recording heard = Recording::load(rawFile);
    if (heard.frames() < std::size_t(from + frames))
        return -1;
    return heard.rms(std::size_t(from), std::size_t(frames));
}

// The lines of text in the catalogue of a picture of the main window: groups of pixel
// rows holding dark text on the list's light background (the column header counts).
int catalogueTextLines(const QImage &window)
{
    // The catalogue fills the control panel between its 111-px top and 199-px bottom.
    const QRect catalogue(vokrin::e2e::kMainWindowWidth - 224 + 4, 111 + 2, 224 - 8,
                          vokrin::e2e::kMainWindowHeight - 111 - 199 - 4);
    int lines = 0;
    bool inText = false;
    for (int y = catalogue.top(); y <= catalogue.bottom(); ++y) {
        int dark = 0;
        for (int x = catalogue.left(); x <= catalogue.right(); ++x) {
            const QColor c = window.pixelColor(x, y);
            if (c.red() < 90 && c.green() < 90 && c.blue() < 90)
                ++dark;
        }
        const bool text = dark >= 2 && dark < catalogue.width() / 2;
        if (text && !inText)
            ++lines;
        inText = text;
    }
    return lines;
}

// Runs the command of one of the menu entry's actions ("Stop") as the desktop runs it,
// with the session bus in its environment; whether it succeeded.
bool runDesktopAction(const SessionBus &bus, const QString &action)
{
    QFile entry(QString::fromStdString(
        (vokrin::testing::sourceDir() / "resources/desktop/io.github.vokrin.Vokrin.desktop")
            .string()));
    if (!entry.open(QIODevice::ReadOnly))
        return false;
    const QStringList lines = QString::fromUtf8(entry.readAll()).split(QLatin1Char('\n'));
    const qsizetype group = lines.indexOf("[Desktop Action " + action + "]");
    if (group < 0)
        return false;
    for (qsizetype i = group + 1; i < lines.size() && !lines[i].startsWith('['); ++i) {
        if (!lines[i].startsWith("Exec="))
            continue;
        QStringList command = lines[i].mid(5).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DBUS_SESSION_BUS_ADDRESS", bus.address());
        process.setProcessEnvironment(environment);
        process.start(command.takeFirst(), command);
        return process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }
    return false;
}

struct Song
{
    QString list;
    QString track;
};

// Two projects of a steady 660 Hz tone of 20 s, in one list file.
Song writeSongs(const QString &work)
{
    const std::string track = (work + "/tone.wav").toStdString();
    EXPECT_TRUE(vokrin::fixtures::writeWav(track, vokrin::fixtures::sine(44100, 2, 20, 660, 0.5)));
    vokrin::content::SongProject project;
    project.backingTrackName = QByteArray::fromStdString(track);
    project.lines = {"la", "la la"};
    project.cues = {44100, 88200};
    vokrin::content::writeProjectFile(work + "/one.lyp", project);
    vokrin::content::writeProjectFile(work + "/two.lyp", project);
    vokrin::content::writeListFile(work + "/songs.lyl", {work + "/one.lyp", work + "/two.lyp"});
    return {work + "/songs.lyl", QString::fromStdString(track)};
}

TEST(MprisE2E, PlayPauseAndStopFromTheBusDriveThePlayerAndItsStatusFollows)
{
    VOKRIN_E2E_SERVERS(x, sound);
    SessionBus bus;
    if (!bus.running())
        GTEST_SKIP() << bus.why().toStdString();
    // The list is handed over on the command line, as a file manager does.
    const QString work =
        QString::fromStdString(vokrin::testing::makeTempDir("mpris-songs").string());
    const Song song = writeSongs(work);
    Program::Options options;
    options.sessionBus = &bus;
    options.arguments = {song.list};
    Program vokrin(x, &sound, {}, options);
    ASSERT_TRUE(vokrin.started());
    const QString window = waitForMainWindow(x);
    ASSERT_FALSE(window.isEmpty()) << "no main window";
    ASSERT_TRUE(bus.waitForName(kService)) << "the player is not on the bus";

    // The catalogue holds the list's two entries (and its column header).
    int lines = 0;
    vokrin::e2e::waitUntil([&] { return (lines = catalogueTextLines(x.grab(window))) >= 3; }, 30000,
                           200);
    EXPECT_EQ(lines, 3) << "header and two entries";
    EXPECT_EQ(playbackStatus(bus), "Stopped");

    const QString raw = vokrin.workDir() + "/heard.raw";
    ASSERT_TRUE(sound.startRecording(raw));
    // Stopped: PlayPause plays the first entry, as the play button does.
    ASSERT_TRUE(command(bus, "PlayPause"));
    ASSERT_GE(Recording::waitForFrameAbove(raw, 0.05, 30000), 0) << "PlayPause played nothing";
    EXPECT_TRUE(waitForStatus(bus, "Playing"));
    const QString metadata = property(bus, "Metadata");
    EXPECT_TRUE(metadata.contains("string \"tone.wav\"")) << metadata.toStdString();
    EXPECT_TRUE(metadata.contains("string \"file://" + song.track + "\""))
        << metadata.toStdString();
    const auto length =
        QRegularExpression(QStringLiteral("mpris:length\"\\s+variant\\s+int64 (\\d+)"))
            .match(metadata);
    ASSERT_TRUE(length.hasMatch()) << metadata.toStdString();
    EXPECT_NEAR(length.captured(1).toDouble(), 20e6, 1e3);
    EXPECT_GT(loudnessOfTheNext(sound, raw, 0.5), 0.1);

    // Playing: PlayPause pauses; the sound stops.
    ASSERT_TRUE(command(bus, "PlayPause"));
    EXPECT_TRUE(waitForStatus(bus, "Paused"));
    loudnessOfTheNext(sound, raw, 0.5); // what the sound server had queued plays out
    EXPECT_LT(loudnessOfTheNext(sound, raw, 0.5), 0.01) << "still heard while paused";

    // Paused: PlayPause resumes; this time from the menu entry's "Play / Pause" action.
    ASSERT_TRUE(runDesktopAction(bus, "PlayPause"));
    EXPECT_TRUE(waitForStatus(bus, "Playing"));
    loudnessOfTheNext(sound, raw, 0.5);
    EXPECT_GT(loudnessOfTheNext(sound, raw, 0.5), 0.1) << "not heard again after the pause";

    // Stop stops the song: the menu entry's "Stop" action, run as the desktop runs it.
    ASSERT_TRUE(runDesktopAction(bus, "Stop"));
    EXPECT_TRUE(waitForStatus(bus, "Stopped"));
    loudnessOfTheNext(sound, raw, 0.5);
    EXPECT_LT(loudnessOfTheNext(sound, raw, 0.5), 0.01) << "still heard after Stop";
    sound.stopRecording();

    ASSERT_TRUE(x.closeWindow(window));
    EXPECT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
}

TEST(MprisE2E, WithoutABusAndWithoutADocumentTheProgramStartsWithAnEmptyCatalogue)
{
    VOKRIN_E2E_SERVERS(x, sound);
    // Arguments that are not a single document are ignored.
    Program::Options options;
    options.arguments = {QStringLiteral("-style"), QStringLiteral("windows")};
    Program vokrin(x, &sound, {}, options);
    ASSERT_TRUE(vokrin.started());
    const QString window = waitForMainWindow(x);
    ASSERT_FALSE(window.isEmpty()) << "no main window without a session bus";
    // An argument taken for a document would fill the catalogue within two seconds: the
    // catalogue is watched that long for a second line, which must not come.
    EXPECT_FALSE(
        vokrin::e2e::waitUntil([&] { return catalogueTextLines(x.grab(window)) > 1; }, 2000))
        << "an argument that is not a document was loaded";
    EXPECT_EQ(catalogueTextLines(x.grab(window)), 1) << "only the column header";
    ASSERT_TRUE(x.closeWindow(window));
    EXPECT_EQ(vokrin.waitForExit(60000), 0) << vokrin.output().toStdString();
}

} // namespace
