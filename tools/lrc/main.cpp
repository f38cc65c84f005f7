// vokrin-lrc: exchanges song texts with times between Vokrin's song projects and other
// karaoke programs.
//   vokrin-lrc export PROJECT.lyp [OUT.lrc] [--folder DIR]
//   vokrin-lrc import SONG.lrc|SONG.txt AUDIO PROJECT.lyp
// Exit status: 0 done, 1 the command failed (nothing written), 2 a usage error.
#include "lrc_commands.h"

#include "audio/bass.h"

#include <QString>
#include <QStringList>
#include <cstdio>

namespace {

constexpr const char *kUsage =
    "Usage: vokrin-lrc export PROJECT.lyp [OUT.lrc] [--folder DIR]\n"
    "       vokrin-lrc import SONG.lrc|SONG.txt AUDIO PROJECT.lyp\n"
    "\n"
    "export  writes the project's lines as a line-timed LRC text in UTF-8, each at the\n"
    "        time of its cue on the backing track (to standard output without OUT.lrc).\n"
    "        --folder DIR is the backing-track folder for a name stored without one.\n"
    "import  makes a song project from an LRC text or an UltraStar song and an audio\n"
    "        file, as the wizard saves one; an existing PROJECT.lyp is replaced.\n"
    "\n"
    "Exit status: 0 done, 1 failed (nothing is written), 2 wrong arguments.\n";

int usageError(const char *problem)
{
    std::fprintf(stderr, "vokrin-lrc: %s\n%s", problem, kUsage);
    return 2;
}

// The engine for reading tracks: no sound device is needed.
class Engine
{
public:
    Engine() : m_ok(BASS_Init(BASS_DEVICE_NOSOUND, 44100, 0, nullptr, nullptr)) {}
    ~Engine()
    {
        if (m_ok)
            BASS_Free();
    }
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;
    bool ok() const { return m_ok; }

private:
    bool m_ok;
};

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (args.isEmpty())
        return usageError("no command given");

    const QString command = args.takeFirst();
    QString folder;
    if (command == QLatin1String("export")) {
        const qsizetype at = args.indexOf(QStringLiteral("--folder"));
        if (at >= 0) {
            if (at + 1 >= args.size())
                return usageError("--folder needs a folder");
            folder = args.at(at + 1);
            args.remove(at, 2);
        }
    }
    for (const QString &arg : args) {
        if (arg.startsWith(QLatin1Char('-')) && arg.size() > 1)
            return usageError(qPrintable(QStringLiteral("unknown option %1").arg(arg)));
    }

    std::optional<QString> failure;
    if (command == QLatin1String("export")) {
        if (args.size() < 1 || args.size() > 2)
            return usageError("export takes a project and an optional output file");
        const Engine engine;
        if (!engine.ok()) {
            std::fputs("vokrin-lrc: the audio engine does not start\n", stderr);
            return 1;
        }
        failure = vokrin::lrctool::exportLrc(args.at(0), args.value(1), folder);
    } else if (command == QLatin1String("import")) {
        if (args.size() != 3)
            return usageError("import takes a song text, an audio file and a project");
        const Engine engine;
        if (!engine.ok()) {
            std::fputs("vokrin-lrc: the audio engine does not start\n", stderr);
            return 1;
        }
        failure = vokrin::lrctool::importSong(args.at(0), args.at(1), args.at(2));
    } else {
        return usageError(qPrintable(QStringLiteral("unknown command %1").arg(command)));
    }
    if (failure) {
        std::fprintf(stderr, "vokrin-lrc: %s\n", failure->toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
