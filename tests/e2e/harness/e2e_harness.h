#pragma once

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// The end-to-end harness: the real `vokrin` on a private X server and a private sound
// server, driven with xdotool. Everything it starts it stops again (in its destructors).
// A scenario skips, with the reason, when Xvfb or PulseAudio cannot start here:
//
//     vokrin::e2e::XServer x;
//     if (!x.running()) GTEST_SKIP() << x.why();
//     vokrin::e2e::SoundServer sound;
//     if (!sound.running()) GTEST_SKIP() << sound.why();
//     vokrin::e2e::Program vokrin(x, &sound);
//     const QString splash = x.waitForWindow("Вокрин");
namespace vokrin::e2e {

// Makes `process`, once started, end when the test process ends, however it ends: a
// failed assertion runs the destructors below, but a crash or a time-out of the test
// runs nothing.
// With `withoutPermissionOverride`, the process also loses the superuser's right to write
// where a file's mode says no, so a scenario run as root meets a read-only folder as a user
// does.
void endWithThisProcess(QProcess &process, bool withoutPermissionOverride = false);

// Waits up to `timeoutMs` for `condition` to hold, looking again every `pollMs`; whether
// it came. Every wait of the end-to-end tests is one of these: on a window, a pixel, a
// stretch of recorded sound, never a fixed time.
bool waitUntil(const std::function<bool()> &condition, int timeoutMs, int pollMs = 50);

// A private Xvfb (1280 x 1024, 24 bits) on a free display number. With `screens` 2 it is
// one 2560 x 1024 desktop split into two side-by-side 1280 x 1024 monitors, "LEFT" and
// "RIGHT" (RandR monitors, as a graphics card with two outputs reports them).
class XServer
{
public:
    explicit XServer(int screens = 1);
    ~XServer();
    XServer(const XServer &) = delete;
    XServer &operator=(const XServer &) = delete;

    bool running() const { return !m_display.isEmpty(); }
    const QString &why() const { return m_why; }
    const QString &display() const { return m_display; }

    // Runs xdotool on this display; its standard output, trimmed. `ok` tells whether it
    // exited with 0.
    QString xdotool(const QStringList &arguments, bool *ok = nullptr) const;
    // The visible windows whose title is exactly `title`, oldest first.
    QStringList windowsNamed(const QString &title) const;
    // Every visible top-level window of the programs on this server, whatever its title;
    // never the root window, which xdotool's search lists as visible too.
    QStringList visibleWindows() const;
    // Waits up to `timeoutMs` for a visible window titled `title` that is not in
    // `except`; empty when none came.
    QString waitForWindow(const QString &title, int timeoutMs = 60000,
                          const QStringList &except = {}) const;
    // Waits for a visible window (any title) that is not in `except` and is taller than
    // 150 px, so that tooltips and completer pop-ups do not count.
    QString waitForNewWindow(const QStringList &except, int timeoutMs = 60000) const;
    bool waitForWindowGone(const QString &window, int timeoutMs = 60000) const;
    // Position and size of a window in screen coordinates (its client area; there is no
    // window manager and so no frame).
    QRect geometry(const QString &window) const;
    // Focuses the window and types the keys in it ("Return", "ctrl+r").
    bool sendKeys(const QString &window, const QStringList &keys) const;
    // Types text into the focused control of the window.
    bool typeText(const QString &window, const QString &text) const;
    // A left click at a point of the window.
    bool click(const QString &window, QPoint at) const;
    // Types `path` into the file name box of an open file dialog (the box has the focus
    // when the dialog opens) and presses Return; true once the dialog has closed.
    bool chooseFileInDialog(const QString &dialog, const QString &path) const;
    // Asks the window to close, as a window manager's close button does.
    bool closeWindow(const QString &window) const;
    // A PNG of the whole screen.
    bool screenshot(const QString &pngFile) const;
    // What the screen shows in the window's area now (a null image when the grab failed).
    // Uncompressed, so it is quick enough to take while a track plays.
    QImage grab(const QString &window) const;

private:
    std::unique_ptr<QProcess> m_server;
    QString m_display;
    QString m_why;
    mutable QString m_rootWindow;
};

// A private PulseAudio server with one null sink ("vokrin_null"), on a socket in a
// temporary folder; it records what reaches the sink with parec.
class SoundServer
{
public:
    SoundServer();
    ~SoundServer();
    SoundServer(const SoundServer &) = delete;
    SoundServer &operator=(const SoundServer &) = delete;

    bool running() const { return m_ready; }
    const QString &why() const { return m_why; }
    QString address() const { return QStringLiteral("unix:") + m_socket; }
    // The client settings a program needs to reach this server and no other.
    void addClientEnvironment(QProcessEnvironment &environment) const;

    // Records the sink's monitor (16-bit stereo, 44100 Hz, raw) until stopRecording().
    bool startRecording(const QString &rawFile);
    void stopRecording();
    // How many frames the running recording holds so far. The recorder writes each
    // stretch just after the sink played it, so this counts what has been heard since
    // the recording started (less the recorder's own 20 ms latency).
    qint64 recordedFrames() const;

private:
    QString m_dir;
    QString m_socket;
    QString m_recordingFile;
    QString m_clientConfig;
    std::unique_ptr<QProcess> m_server;
    std::unique_ptr<QProcess> m_recorder;
    bool m_ready = false;
    QString m_why;
};

// A private session bus (dbus-daemon --session) for one scenario; stopped with it.
class SessionBus
{
public:
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus &) = delete;
    SessionBus &operator=(const SessionBus &) = delete;

    bool running() const { return !m_address.isEmpty(); }
    const QString &why() const { return m_why; }
    // The address a client connects to (DBUS_SESSION_BUS_ADDRESS).
    const QString &address() const { return m_address; }
    // Runs dbus-send on this bus with --print-reply; its standard output. `ok` tells
    // whether the call succeeded.
    QString send(const QStringList &arguments, bool *ok = nullptr) const;
    // Waits until some client owns `name`.
    bool waitForName(const QString &name, int timeoutMs = 60000) const;

private:
    std::unique_ptr<QProcess> m_daemon;
    QString m_address;
    QString m_why;
};

// The real program, started on `x` with a fresh settings folder. Without a sound server
// it is pointed at one that does not exist, so its output cannot open. `settings`, when
// not empty, is the text of the settings file (vokrin.ini, UTF-8) that the program finds
// at its start, so a scenario can begin with stored colours or effect values.
//
// It never reaches the desktop's own session bus: without `Options::sessionBus` its bus
// address names a socket that does not exist, so it runs without a bus.
struct ProgramOptions
{
    // The command line after the program's name.
    QStringList arguments;
    // Another binary than the build tree's (an installed or unpacked one).
    QString executable;
    // The bus it may use.
    const SessionBus *sessionBus = nullptr;
    // Folders whose mode forbids writing stay unwritable for it, also when the tests run
    // as root.
    bool withoutPermissionOverride = false;
};

class Program
{
public:
    using Options = ProgramOptions;
    Program(const XServer &x, const SoundServer *sound, const QByteArray &settings = {},
            const Options &options = {});
    ~Program();
    Program(const Program &) = delete;
    Program &operator=(const Program &) = delete;

    // Whether the program was started (it may have ended since).
    bool started() const;
    // Waits for the program to end; its exit code, or -1 when it did not end in time or
    // crashed.
    int waitForExit(int timeoutMs = 60000);
    bool finished() const;
    QString output() const;
    // Its process id (0 when it is not running).
    qint64 pid() const;
    // Its settings folder ($XDG_CONFIG_HOME).
    const QString &configHome() const { return m_configHome; }
    // A folder for the scenario's own files.
    const QString &workDir() const { return m_workDir; }

    // Where the program binary is: bin/vokrin of the build tree.
    static QString executable();

private:
    std::unique_ptr<QProcess> m_process;
    QString m_configHome;
    QString m_workDir;
    bool m_started = false;
};

} // namespace vokrin::e2e

// In a test body: a private X server `x` and sound server `sound`, or the test skipped
// with the reason when either cannot start here.
#define VOKRIN_E2E_SERVERS(x, sound)                                                               \
    vokrin::e2e::XServer x;                                                                        \
    if (!x.running())                                                                              \
        GTEST_SKIP() << x.why().toStdString();                                                     \
    vokrin::e2e::SoundServer sound;                                                                \
    if (!sound.running())                                                                          \
        GTEST_SKIP() << sound.why().toStdString();                                                 \
    static_assert(true, "the caller's semicolon ends the macro")
