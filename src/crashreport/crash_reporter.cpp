#include "crash_reporter.h"

#include "error_box.h"
#include "exception_report.h"
#include "fatal_handler.h"
#include "helper_process.h"
#include "report_file.h"
#include "reporter_state.h"
#include "screenshot.h"
#include "throw_capture.h"

#include <QFile>
#include <QProcess>
#include <QThread>
#include <cstdlib>
#include <vector>

namespace vokrin::crashreport {
namespace {

bool onGuiThread()
{
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    return app != nullptr && QThread::currentThread() == app->thread();
}

// The box in a separate process, for a thread that cannot own windows; returns what the
// user chose (exit code 0 is "Continue").
BoxChoice runBoxProcess(const QString &report, bool canContinue)
{
    const ReporterState &state = reporterState();
    std::vector<QByteArray> args{state.helperPath,  canContinue ? "box-continue" : "box",
                                 state.programName, state.programFolder,
                                 state.reportFile,  state.programPath};
    for (int i = 1; i < state.argc; ++i)
        args.emplace_back(state.argv[i]);
    std::vector<const char *> argv;
    for (const QByteArray &arg : args)
        argv.push_back(arg.constData());
    argv.push_back(nullptr);
    const QByteArray text = report.toUtf8();
    const int status = runHelper(state.helperPath, argv.data(), text.constData(),
                                 static_cast<std::size_t>(text.size()), nullptr, 0, nullptr);
    if (status == 0 && canContinue)
        return BoxChoice::Continue;
    // The box process starts the new copy itself after "Restart".
    return status == 2 ? BoxChoice::Restart : BoxChoice::Close;
}

[[noreturn]] void endProgram(int exitCode)
{
    uninstallFatalHandlers();
    std::exit(exitCode);
}

thread_local bool t_reporting = false;

} // namespace

void install(int argc, char **argv)
{
    ReporterState &state = reporterState();
    if (state.installed)
        return;
    prepareReporter(argc, argv);
    prepareThrowCapture();
    installFatalHandlers();
    state.installed = true;
}

void handleException(std::exception_ptr error)
{
    if (t_reporting) {
        // A failure while the box of an earlier one is open: the first report stands.
        return;
    }
    t_reporting = true;
    ReporterState &state = reporterState();
    if (state.argv == nullptr)
        prepareReporter(0, nullptr);

    const ExceptionDescription description = describeException(error);
    const ThrowSite site = lastThrowOnThisThread();
    ReportContext context;
    context.report = composeExceptionReport(description, site);
    context.programFolder = QString::fromLocal8Bit(state.programFolder);
    context.reportFile = QFile::decodeName(state.reportFile);

    const bool gui = onGuiThread();
    if (gui && writeScreenshot(screenshotPath()))
        context.screenshotFile = screenshotPath();
    const QByteArray text = context.report.toUtf8();
    std::vector<char> scratch(kReportFileScratch);
    appendReportFile(state.reportFile, text.constData(), static_cast<std::size_t>(text.size()),
                     scratch.data(), scratch.size());

    const BoxChoice choice =
        gui ? runErrorBox(QString::fromLocal8Bit(state.programName), context, true)
            : runBoxProcess(context.report, QCoreApplication::instance() != nullptr);
    t_reporting = false;
    switch (choice) {
    case BoxChoice::Continue:
        return;
    case BoxChoice::Restart:
        if (gui)
            QProcess::startDetached(QString::fromLocal8Bit(state.programPath), startArguments());
        endProgram(2);
    case BoxChoice::Close:
        endProgram(1);
    }
}

VokrinApplication::VokrinApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool VokrinApplication::notify(QObject *receiver, QEvent *event)
{
    std::exception_ptr error;
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        error = std::current_exception();
    }
    handleException(error);
    return false;
}

} // namespace vokrin::crashreport
