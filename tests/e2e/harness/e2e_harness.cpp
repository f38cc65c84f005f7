#include "e2e_harness.h"

#include "test_env.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace vokrin::e2e {

namespace {

QString tempDir(const char *prefix)
{
    return QString::fromStdString(vokrin::testing::makeTempDir(prefix).string());
}

} // namespace

void endWithThisProcess(QProcess &process, bool withoutPermissionOverride)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent, withoutPermissionOverride] {
        if (withoutPermissionOverride) {
            // Out of the bounding set, the rights do not come back with the exec.
            for (const int right : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER})
                ::prctl(PR_CAPBSET_DROP, right, 0, 0, 0);
            // Nor through the inherited or ambient sets.
            ::prctl(PR_CAP_AMBIENT, PR_CAP_AMBIENT_CLEAR_ALL, 0, 0, 0);
            __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
            __user_cap_data_struct rights[2]{};
            if (::syscall(SYS_capget, &header, rights) == 0) {
                rights[0].inheritable = rights[1].inheritable = 0;
                ::syscall(SYS_capset, &header, rights);
            }
        }
        // Killed when the test process ends in any way, a crash or a time-out included.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The test may have ended between the fork and the line above.
        if (::getppid() != parent)
            ::_exit(1);
    });
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs, int pollMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (condition())
            return true;
        if (clock.elapsed() >= timeoutMs)
            return false;
        // What it measures: the real time between two looks at the condition (the poll step).
        QThread::msleep(static_cast<unsigned long>(pollMs));
    }
}

namespace {

void stop(QProcess *process)
{
    if (process == nullptr || process->state() == QProcess::NotRunning)
        return;
    process->terminate();
    if (!process->waitForFinished(5000)) {
        process->kill();
        process->waitForFinished(5000);
    }
}

} // namespace

// --- XServer -------------------------------------------------------------------------

XServer::XServer(int screens) : m_server(std::make_unique<QProcess>())
{
    // Xvfb picks a free display and writes its number to descriptor 1. Two monitors are
    // declared once it runs; -noreset keeps them when the declaring client disconnects.
    const bool twoScreens = screens == 2;
    endWithThisProcess(*m_server);
    m_server->setProgram(QStringLiteral("Xvfb"));
    QStringList arguments = {QStringLiteral("-displayfd"),
                             QStringLiteral("1"),
                             QStringLiteral("-screen"),
                             QStringLiteral("0"),
                             twoScreens ? QStringLiteral("2560x1024x24")
                                        : QStringLiteral("1280x1024x24"),
                             QStringLiteral("-nolisten"),
                             QStringLiteral("tcp")};
    if (twoScreens)
        arguments.append(QStringLiteral("-noreset"));
    m_server->setArguments(arguments);
    m_server->setStandardErrorFile(QProcess::nullDevice());
    m_server->start();
    if (!m_server->waitForStarted(10000)) {
        m_why = QStringLiteral("Xvfb cannot start here (is the xvfb package installed?)");
        return;
    }
    QByteArray number;
    QElapsedTimer clock;
    clock.start();
    while (!number.contains('\n') && clock.elapsed() < 30000 &&
           m_server->state() == QProcess::Running) {
        m_server->waitForReadyRead(200);
        number += m_server->readAllStandardOutput();
    }
    if (!number.contains('\n')) {
        m_why = QStringLiteral("Xvfb did not report a display");
        stop(m_server.get());
        return;
    }
    m_display = QLatin1Char(':') + QString::fromLatin1(number.trimmed());
    if (twoScreens) {
        // The first monitor takes over the output's own; the second is a virtual one.
        const QStringList monitors[] = {
            {QStringLiteral("LEFT"), QStringLiteral("1280/338x1024/270+0+0"),
             QStringLiteral("screen")},
            {QStringLiteral("RIGHT"), QStringLiteral("1280/338x1024/270+1280+0"),
             QStringLiteral("none")}};
        for (const QStringList &monitor : monitors) {
            QProcess xrandr;
            xrandr.start(
                QStringLiteral("xrandr"),
                QStringList{QStringLiteral("-display"), m_display, QStringLiteral("--setmonitor")} +
                    monitor);
            if (!xrandr.waitForFinished(30000) || xrandr.exitStatus() != QProcess::NormalExit ||
                xrandr.exitCode() != 0) {
                m_why = QStringLiteral("xrandr cannot split the screen (is x11-xserver-utils "
                                       "installed?)");
                m_display.clear();
                stop(m_server.get());
                return;
            }
        }
    }
}

XServer::~XServer()
{
    stop(m_server.get());
}

QString XServer::xdotool(const QStringList &arguments, bool *ok) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("xdotool"), arguments);
    const bool finished = process.waitForStarted(10000) && process.waitForFinished(30000);
    if (!finished)
        stop(&process);
    if (ok != nullptr)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QStringList XServer::windowsNamed(const QString &title) const
{
    const QString pattern = QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--name"), pattern})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString XServer::waitForWindow(const QString &title, int timeoutMs, const QStringList &except) const
{
    QString found;
    waitUntil(
        [&] {
            for (const QString &window : windowsNamed(title)) {
                if (!except.contains(window)) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs, 100);
    return found;
}

QStringList XServer::visibleWindows() const
{
    // The search reports the root window as a visible window of the screen's size; left
    // in, it passes for a new window that never goes away.
    if (m_rootWindow.isEmpty())
        m_rootWindow =
            xdotool({QStringLiteral("search"), QStringLiteral("--maxdepth"), QStringLiteral("0"),
                     QStringLiteral("--name"), QStringLiteral(".*")});
    QStringList windows = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                   QStringLiteral("--name"), QStringLiteral(".*")})
                              .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    windows.removeAll(m_rootWindow);
    return windows;
}

QString XServer::waitForNewWindow(const QStringList &except, int timeoutMs) const
{
    QString found;
    waitUntil(
        [&] {
            for (const QString &window : visibleWindows()) {
                if (!except.contains(window) && geometry(window).height() > 150) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs, 100);
    return found;
}

bool XServer::waitForWindowGone(const QString &window, int timeoutMs) const
{
    return waitUntil([&] { return !visibleWindows().contains(window); }, timeoutMs, 100);
}

QRect XServer::geometry(const QString &window) const
{
    // "WINDOW=..\nX=121\nY=129\nWIDTH=761\nHEIGHT=577\nSCREEN=0"
    const QString shell =
        xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    QRect rect;
    for (const QString &line : shell.split(QLatin1Char('\n'))) {
        const QString key = line.section(QLatin1Char('='), 0, 0);
        const int value = line.section(QLatin1Char('='), 1).toInt();
        if (key == QLatin1String("X"))
            rect.moveLeft(value);
        else if (key == QLatin1String("Y"))
            rect.moveTop(value);
        else if (key == QLatin1String("WIDTH"))
            rect.setWidth(value);
        else if (key == QLatin1String("HEIGHT"))
            rect.setHeight(value);
    }
    return rect;
}

bool XServer::sendKeys(const QString &window, const QStringList &keys) const
{
    bool ok = false;
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}, &ok);
    if (!ok)
        return false;
    for (const QString &key : keys) {
        xdotool({QStringLiteral("key"), QStringLiteral("--clearmodifiers"), key}, &ok);
        if (!ok)
            return false;
    }
    return true;
}

bool XServer::typeText(const QString &window, const QString &text) const
{
    bool ok = false;
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}, &ok);
    if (ok)
        xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"), text},
                &ok);
    return ok;
}

bool XServer::click(const QString &window, QPoint at) const
{
    bool ok = false;
    xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"),
             window, QString::number(at.x()), QString::number(at.y())},
            &ok);
    if (ok)
        xdotool({QStringLiteral("click"), QStringLiteral("1")}, &ok);
    return ok;
}

bool XServer::chooseFileInDialog(const QString &dialog, const QString &path) const
{
    // The name box has the focus when the dialog opens; what it holds is replaced.
    if (!sendKeys(dialog, {QStringLiteral("ctrl+a")}) || !typeText(dialog, path) ||
        !sendKeys(dialog, {QStringLiteral("Return")}))
        return false;
    return waitForWindowGone(dialog, 20000);
}

bool XServer::closeWindow(const QString &window) const
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VOKRIN_E2E_CLOSE_TOOL), {window});
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

bool XServer::screenshot(const QString &pngFile) const
{
    QProcess process;
    process.start(QStringLiteral("import"),
                  {QStringLiteral("-display"), m_display, QStringLiteral("-window"),
                   QStringLiteral("root"), pngFile});
    return process.waitForFinished(60000) && process.exitCode() == 0 && QFile::exists(pngFile);
}

QImage XServer::grab(const QString &window) const
{
    QProcess process;
    process.start(QStringLiteral("import"),
                  {QStringLiteral("-display"), m_display, QStringLiteral("-window"), window,
                   QStringLiteral("ppm:-")});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        stop(&process);
        return {};
    }
    return QImage::fromData(process.readAllStandardOutput(), "PPM");
}

// --- SoundServer ---------------------------------------------------------------------

SoundServer::SoundServer()
    : m_server(std::make_unique<QProcess>()), m_recorder(std::make_unique<QProcess>())
{
    m_dir = tempDir("pulse");
    const QString runtime = m_dir + QStringLiteral("/run");
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_socket = m_dir + QStringLiteral("/native");
    const QString script = m_dir + QStringLiteral("/server.pa");
    {
        QFile out(script);
        if (!out.open(QIODevice::WriteOnly)) {
            m_why = QStringLiteral("cannot write the sound server's script");
            return;
        }
        out.write("load-module module-null-sink sink_name=vokrin_null rate=44100 channels=2\n"
                  "load-module module-native-protocol-unix auth-anonymous=1 socket=" +
                  QFile::encodeName(m_socket) + "\nset-default-sink vokrin_null\n");
    }
    m_clientConfig = m_dir + QStringLiteral("/client.conf");
    {
        QFile out(m_clientConfig);
        if (out.open(QIODevice::WriteOnly))
            out.write("autospawn = no\n");
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), m_dir);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("PULSE_CLIENTCONFIG"), m_clientConfig);
    m_server->setProcessEnvironment(environment);
    endWithThisProcess(*m_server);
    endWithThisProcess(*m_recorder);
    m_server->setStandardOutputFile(QProcess::nullDevice());
    m_server->setStandardErrorFile(QProcess::nullDevice());
    m_server->start(QStringLiteral("pulseaudio"),
                    {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                     QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--use-pid-file=no"),
                     QStringLiteral("-F"), script});
    if (!m_server->waitForStarted(10000)) {
        m_why =
            QStringLiteral("pulseaudio cannot start here (is the pulseaudio package installed?)");
        return;
    }
    waitUntil([this] { return m_server->state() != QProcess::Running || QFile::exists(m_socket); },
              30000, 20);
    if (m_server->state() != QProcess::Running) {
        m_why = QStringLiteral("pulseaudio exited at start");
        return;
    }
    if (QFile::exists(m_socket)) {
        m_ready = true;
        return;
    }
    m_why = QStringLiteral("pulseaudio did not open its socket");
    stop(m_server.get());
}

SoundServer::~SoundServer()
{
    stopRecording();
    stop(m_server.get());
}

void SoundServer::addClientEnvironment(QProcessEnvironment &environment) const
{
    environment.insert(QStringLiteral("PULSE_SERVER"), address());
    environment.insert(QStringLiteral("PULSE_CLIENTCONFIG"), m_clientConfig);
}

bool SoundServer::startRecording(const QString &rawFile)
{
    m_recordingFile = rawFile;
    m_recorder->setStandardOutputFile(rawFile);
    m_recorder->setStandardErrorFile(QProcess::nullDevice());
    m_recorder->start(QStringLiteral("parec"),
                      {QStringLiteral("--server=") + address(), QStringLiteral("-d"),
                       QStringLiteral("vokrin_null.monitor"), QStringLiteral("--raw"),
                       QStringLiteral("--format=s16le"), QStringLiteral("--rate=44100"),
                       QStringLiteral("--channels=2"), QStringLiteral("--latency-msec=20")});
    return m_recorder->waitForStarted(10000);
}

void SoundServer::stopRecording()
{
    stop(m_recorder.get());
}

qint64 SoundServer::recordedFrames() const
{
    return m_recordingFile.isEmpty() ? 0 : QFileInfo(m_recordingFile).size() / 4;
}

// --- SessionBus ----------------------------------------------------------------------

SessionBus::SessionBus() : m_daemon(std::make_unique<QProcess>())
{
    // The daemon prints the address it listens on, then serves until it is stopped.
    m_daemon->setStandardErrorFile(QProcess::nullDevice());
    endWithThisProcess(*m_daemon);
    m_daemon->start(QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--session"), QStringLiteral("--nofork"),
                     QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    if (!m_daemon->waitForStarted(10000)) {
        m_why = QStringLiteral("dbus-daemon cannot start here (is dbus-daemon installed?)");
        return;
    }
    QByteArray line;
    QElapsedTimer clock;
    clock.start();
    while (!line.contains('\n') && clock.elapsed() < 30000 &&
           m_daemon->state() == QProcess::Running) {
        m_daemon->waitForReadyRead(200);
        line += m_daemon->readAllStandardOutput();
    }
    if (!line.contains('\n')) {
        m_why = QStringLiteral("dbus-daemon did not report its address");
        stop(m_daemon.get());
        return;
    }
    m_address = QString::fromUtf8(line.trimmed());
}

SessionBus::~SessionBus()
{
    stop(m_daemon.get());
}

QString SessionBus::send(const QStringList &arguments, bool *ok) const
{
    QProcess process;
    process.start(QStringLiteral("dbus-send"), QStringList{QStringLiteral("--bus=") + m_address,
                                                           QStringLiteral("--print-reply")} +
                                                   arguments);
    const bool finished = process.waitForStarted(10000) && process.waitForFinished(30000);
    if (!finished)
        stop(&process);
    if (ok != nullptr)
        *ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool SessionBus::waitForName(const QString &name, int timeoutMs) const
{
    return waitUntil(
        [&] {
            bool ok = false;
            const QString reply = send({QStringLiteral("--dest=org.freedesktop.DBus"),
                                        QStringLiteral("/org/freedesktop/DBus"),
                                        QStringLiteral("org.freedesktop.DBus.NameHasOwner"),
                                        QStringLiteral("string:") + name},
                                       &ok);
            return ok && reply.contains(QLatin1String("boolean true"));
        },
        timeoutMs, 100);
}

// --- Program -------------------------------------------------------------------------

QString Program::executable()
{
    return QString::fromStdString((vokrin::testing::binaryDir() / "bin" / "vokrin").string());
}

Program::Program(const XServer &x, const SoundServer *sound, const QByteArray &settings,
                 const Options &options)
    : m_process(std::make_unique<QProcess>())
{
    const QString root = tempDir("vokrin-run");
    m_configHome = root + QStringLiteral("/config");
    m_workDir = root + QStringLiteral("/work");
    QDir().mkpath(m_configHome);
    QDir().mkpath(m_workDir);
    if (!settings.isEmpty()) {
        // The program keeps its settings file in a folder of its own under the config home.
        QDir().mkpath(m_configHome + QStringLiteral("/vokrin"));
        QFile out(m_configHome + QStringLiteral("/vokrin/vokrin.ini"));
        if (!out.open(QIODevice::WriteOnly) || out.write(settings) != settings.size())
            return; // not started: started() tells the scenario
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), x.display());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_configHome);
    environment.insert(QStringLiteral("XDG_STATE_HOME"), root + QStringLiteral("/state"));
    environment.insert(QStringLiteral("HOME"), root);
    // In an AddressSanitizer build, LeakSanitizer's check at the program's exit stops every
    // thread, and now and then its tracer crashes ("Tracer caught signal 11") while the
    // sound library's threads wind down, which takes the exit code with it. The program's
    // code is checked for leaks by the GUI tests, which run it in-process; here the exit
    // code is what is tested.
    const QString asan = environment.value(QStringLiteral("ASAN_OPTIONS"));
    if (!asan.isEmpty())
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           asan + QStringLiteral(":detect_leaks=0"));
    environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("pulseaudio"));
    if (sound != nullptr) {
        sound->addClientEnvironment(environment);
    } else {
        // A server that is not there, and no autospawn: the output cannot open.
        const QString clientConfig = root + QStringLiteral("/client.conf");
        QFile out(clientConfig);
        if (out.open(QIODevice::WriteOnly))
            out.write("autospawn = no\n");
        environment.insert(QStringLiteral("PULSE_CLIENTCONFIG"), clientConfig);
        environment.insert(QStringLiteral("PULSE_SERVER"),
                           QStringLiteral("unix:") + root + QStringLiteral("/no-server"));
    }
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                       options.sessionBus != nullptr
                           ? options.sessionBus->address()
                           : QStringLiteral("unix:path=") + root + QStringLiteral("/no-bus"));
    m_process->setProcessEnvironment(environment);
    m_process->setWorkingDirectory(m_workDir);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    endWithThisProcess(*m_process, options.withoutPermissionOverride);
    m_process->start(options.executable.isEmpty() ? executable() : options.executable,
                     options.arguments);
    m_started = m_process->waitForStarted(30000);
}

Program::~Program()
{
    stop(m_process.get());
}

bool Program::started() const
{
    return m_started;
}

int Program::waitForExit(int timeoutMs)
{
    if (m_process->state() != QProcess::NotRunning && !m_process->waitForFinished(timeoutMs))
        return -1;
    if (m_process->exitStatus() != QProcess::NormalExit)
        return -1;
    return m_process->exitCode();
}

bool Program::finished() const
{
    return m_process->state() == QProcess::NotRunning;
}

qint64 Program::pid() const
{
    return m_process->processId();
}

QString Program::output() const
{
    return QString::fromLocal8Bit(m_process->readAll());
}

} // namespace vokrin::e2e
