#include "system_info.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QString>
#include <QSysInfo>
#include <capstone/capstone.h>
#include <elfutils/libdwfl.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/statvfs.h>
#include <sys/sysinfo.h>
#include <thread>
#include <unistd.h>

namespace vokrin::crashreport {
namespace {

void setUtf8(ReportHeader &header, HeaderField field, const QString &value)
{
    header.set(field, value.toUtf8().constData());
}

QString cpuModelName()
{
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (!cpuinfo.open(QIODevice::ReadOnly))
        return {};
    while (!cpuinfo.atEnd()) {
        const QByteArray line = cpuinfo.readLine();
        if (line.startsWith("model name") || line.startsWith("Processor") ||
            line.startsWith("cpu model")) {
            const int colon = line.indexOf(':');
            if (colon >= 0)
                return QString::fromUtf8(line.mid(colon + 1)).trimmed();
        }
    }
    return {};
}

QString remoteSessionClient()
{
    // The counterpart of a terminal-services client on this system is the remote end of
    // an SSH session, if the program runs in one.
    const QByteArray ssh = qgetenv("SSH_CONNECTION");
    if (!ssh.isEmpty())
        return QString::fromLocal8Bit(ssh.split(' ').value(0));
    return QStringLiteral("(none: not a remote session)");
}

QString executableTime(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("(unknown)");
    return info.lastModified().toString(QStringLiteral("yyyy-MM-dd, HH:mm:ss"));
}

} // namespace

void writeCommandLine(SafeBuffer &out, int argc, const char *const *argv)
{
    for (int i = 0; i < argc; ++i) {
        if (i > 0)
            out.appendChar(' ');
        const char *arg = argv[i] != nullptr ? argv[i] : "";
        bool plain = *arg != '\0';
        for (const char *p = arg; *p != '\0'; ++p)
            if (*p == ' ' || *p == '\t' || *p == '\'' || *p == '"' || *p == '\\')
                plain = false;
        if (plain) {
            out.append(arg);
            continue;
        }
        out.appendChar('\'');
        for (const char *p = arg; *p != '\0'; ++p) {
            if (*p == '\'')
                out.append("'\\''");
            else
                out.appendChar(*p);
        }
        out.appendChar('\'');
    }
}

void collectStaticHeader(ReportHeader &header, ProcessFacts &facts, int argc, char **argv)
{
    clock_gettime(CLOCK_MONOTONIC, &facts.startMonotonic);
    const time_t now = time(nullptr);
    struct tm local
    {
    };
    localtime_r(&now, &local);
    facts.utcOffsetSeconds = local.tm_gmtoff;
    facts.pageSize = sysconf(_SC_PAGESIZE);

    setUtf8(header, ComputerName, QSysInfo::machineHostName());
    setUtf8(header, WtsClientName, remoteSessionClient());
    {
        struct passwd entry
        {
        };
        struct passwd *found = nullptr;
        char buffer[4096];
        if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found)
            header.set(UserName, found->pw_name);
        else
            setUtf8(header, UserName, QStringLiteral("uid %1").arg(getuid()));
    }
    setUtf8(header, OperatingSystem,
            QStringLiteral("%1 (%2 %3, %4)")
                .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(),
                     QSysInfo::kernelVersion(), QSysInfo::currentCpuArchitecture()));
    const QLocale locale = QLocale::system();
    setUtf8(
        header, SystemLanguage,
        QStringLiteral("%1 (%2)").arg(locale.name(), QLocale::languageToString(locale.language())));
    const QString cpu = cpuModelName();
    setUtf8(header, Processor, cpu.isEmpty() ? QSysInfo::currentCpuArchitecture() : cpu);
    setUtf8(header, Processors, QString::number(std::thread::hardware_concurrency()));
    setUtf8(header, SystemResources,
            QStringLiteral("(no counterpart on this system: window and drawing resources are "
                           "not limited per process)"));
    setUtf8(header, DisplayMode, QStringLiteral("(no display yet)"));

    FixedBuffer<kHeaderValueCapacity> commandLine;
    writeCommandLine(commandLine, argc, argv);
    header.set(CommandLine, commandLine.data());

    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    setUtf8(header, Executable, executable);
    // The reporter is linked into the program, so the module running it is the executable.
    setUtf8(header, CurrentModule, executable);
    setUtf8(header, ExecDateTime, executableTime(executable));
    setUtf8(header, ModuleDateTime, executableTime(executable));
    setUtf8(header, Version, QStringLiteral(VOKRIN_VERSION));
    setUtf8(header, BdeVersion, QStringLiteral("(no database engine in use)"));
    int csMajor = 0;
    int csMinor = 0;
    cs_version(&csMajor, &csMinor);
    setUtf8(header, ReporterVersion,
            QStringLiteral("vokrin crash reporter %1 (libdw %2, Capstone %3.%4, Qt %5)")
                .arg(QStringLiteral(VOKRIN_VERSION), QString::fromUtf8(dwfl_version(nullptr)))
                .arg(csMajor)
                .arg(csMinor)
                .arg(QString::fromUtf8(qVersion())));
    setUtf8(header, ExceptionClass, QString());
    setUtf8(header, ExceptionMessage, QString());

    const QByteArray folder = QFileInfo(executable).absolutePath().toLocal8Bit();
    safeCopy(facts.diskFolder, sizeof facts.diskFolder, folder.constData());
}

void collectDisplayMode(ReportHeader &header)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        setUtf8(header, DisplayMode, QStringLiteral("(no screen)"));
        return;
    }
    const QRect desktop = screen->virtualGeometry();
    setUtf8(header, DisplayMode,
            QStringLiteral("%1x%2, %3 bit (all screens %4x%5)")
                .arg(screen->size().width())
                .arg(screen->size().height())
                .arg(screen->depth())
                .arg(desktop.width())
                .arg(desktop.height()));
}

namespace {

void writeMegabytes(SafeBuffer &out, std::uint64_t bytes)
{
    out.appendDecimal(bytes / (1024 * 1024));
    out.append(" MB");
}

// Resident and data pages of this process from /proc/self/statm.
bool readStatm(std::uint64_t &residentPages, std::uint64_t &dataPages)
{
    const int fd = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char text[256];
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0)
        return false;
    std::uint64_t fields[7] = {};
    int index = 0;
    bool inNumber = false;
    for (ssize_t i = 0; i < n && index < 7; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            fields[index] = fields[index] * 10 + static_cast<std::uint64_t>(c - '0');
            inNumber = true;
        } else if (inNumber) {
            ++index;
            inNumber = false;
        }
    }
    residentPages = fields[1];
    dataPages = fields[5];
    return true;
}

} // namespace

void collectDynamicHeader(ReportHeader &header, const ProcessFacts &facts)
{
    FixedBuffer<kHeaderValueCapacity> value;

    timespec wall{};
    clock_gettime(CLOCK_REALTIME, &wall);
    writeDateTime(value, wall.tv_sec, static_cast<int>(wall.tv_nsec / 1000000),
                  facts.utcOffsetSeconds);
    header.set(DateTime, value.data());

    struct sysinfo system
    {
    };
    const bool haveSystem = sysinfo(&system) == 0;
    value.clear();
    if (haveSystem)
        writeDuration(value, static_cast<std::uint64_t>(system.uptime));
    else
        value.append("(unknown)");
    header.set(SystemUpTime, value.data());

    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    value.clear();
    writeDuration(value, static_cast<std::uint64_t>(now.tv_sec - facts.startMonotonic.tv_sec));
    header.set(ProgramUpTime, value.data());

    value.clear();
    if (haveSystem) {
        const std::uint64_t unit = system.mem_unit;
        value.append("free ");
        writeMegabytes(value, (system.freeram + system.bufferram) * unit);
        value.append(" of ");
        writeMegabytes(value, system.totalram * unit);
    } else {
        value.append("(unknown)");
    }
    header.set(PhysicalMemory, value.data());

    value.clear();
    struct statvfs disk
    {
    };
    if (facts.diskFolder[0] != '\0' && statvfs(facts.diskFolder, &disk) == 0) {
        writeMegabytes(value, static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize);
        value.append(" on the program's file system");
    } else {
        value.append("(unknown)");
    }
    header.set(FreeDiskSpace, value.data());

    value.clear();
    value.appendDecimal(static_cast<std::uint64_t>(getpid()));
    header.set(ProcessId, value.data());

    value.clear();
    std::uint64_t resident = 0;
    std::uint64_t data = 0;
    if (readStatm(resident, data)) {
        const auto page = static_cast<std::uint64_t>(facts.pageSize);
        writeMegabytes(value, data * page);
        value.append(" data and stack, ");
        writeMegabytes(value, resident * page);
        value.append(" resident");
    } else {
        value.append("(unknown)");
    }
    header.set(AllocatedMemory, value.data());
}

} // namespace vokrin::crashreport
