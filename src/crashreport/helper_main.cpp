// The reporter's helper program, started by a program that failed:
//   vokrin-crashreport sections <pid> <thread> <address> <attach 0|1> <version> [<throw frame>...]
//     prints the stacks, modules, hardware and code of process <pid> (hex addresses);
//     it reads its standard input to the end first, which is when it may trace <pid>.
//   vokrin-crashreport box|box-continue <title> <program folder> <report file> <program> [<arg>...]
//     shows the error box for the report on standard input. Exit code 0 after "Continue"
//     (box-continue only), 2 after "Restart" (the program is started again with its
//     arguments), 1 after "Close".
#include "error_box.h"
#include "process_inspector.h"
#include "screenshot.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

using namespace vokrin::crashreport;

namespace {

QByteArray readAllInput()
{
    QByteArray input;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n > 0)
            input.append(buffer, n);
        else if (n == 0 || errno != EINTR)
            break;
    }
    return input;
}

int runSections(int argc, char **argv)
{
    if (argc < 7)
        return 64;
    readAllInput();
    const pid_t pid = static_cast<pid_t>(QByteArray(argv[2]).toLong());
    const int thread = QByteArray(argv[3]).toInt();
    const std::uint64_t address = QByteArray(argv[4]).toULongLong(nullptr, 16);
    const bool attach = QByteArray(argv[5]) == "1";
    const QString version = QString::fromLocal8Bit(argv[6]);
    std::vector<std::uint64_t> throwStack;
    for (int i = 7; i < argc; ++i)
        throwStack.push_back(QByteArray(argv[i]).toULongLong(nullptr, 16));
    const QByteArray text =
        composeSections(pid, thread, address, throwStack, attach, version).toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int runBox(int argc, char **argv, bool canContinue)
{
    if (argc < 6)
        return 64;
    // The box belongs to the failed program: when that is killed, the box goes too.
    const pid_t program = ::getppid();
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != program)
        return 1;
    const QByteArray report = readAllInput();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    ReportContext context;
    context.report = QString::fromUtf8(report);
    context.programFolder = QString::fromLocal8Bit(argv[3]);
    context.reportFile = QFile::decodeName(argv[4]);
    if (writeScreenshot(screenshotPath()))
        context.screenshotFile = screenshotPath();
    switch (runErrorBox(QString::fromLocal8Bit(argv[2]), context, canContinue)) {
    case BoxChoice::Continue:
        return 0;
    case BoxChoice::Restart: {
        QStringList arguments;
        for (int i = 6; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        // The new copy gets the terminal, not the report that came in on our input.
        QProcess copy;
        copy.setProgram(QFile::decodeName(argv[5]));
        copy.setArguments(arguments);
        copy.setStandardInputFile(QProcess::nullDevice());
        if (!copy.startDetached()) {
            std::fprintf(stderr, "vokrin-crashreport: the program could not be started again: %s\n",
                         qPrintable(copy.errorString()));
            return 1;
        }
        return 2;
    }
    case BoxChoice::Close:
        break;
    }
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 2 && QByteArray(argv[1]) == "sections")
        return runSections(argc, argv);
    if (argc >= 2 && QByteArray(argv[1]) == "box")
        return runBox(argc, argv, false);
    if (argc >= 2 && QByteArray(argv[1]) == "box-continue")
        return runBox(argc, argv, true);
    std::fprintf(stderr, "vokrin-crashreport: started by the program when it fails\n");
    return 64;
}
