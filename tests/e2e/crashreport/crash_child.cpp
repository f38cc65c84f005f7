// A small program with the crash reporter installed that fails on request:
//   crashreport_crash_child <report file> segv|abort|terminate|button|settings [args...]
// "button" opens a window whose button throws when clicked (and a second button that
// proves the window still works by quitting with exit code 0); "settings" opens a window
// whose settings are kept by the form storage and closes it: with an unwritable settings
// folder the automatic save fails, the box shows, and the window closes all the same
// (exit code 0 when it did).
#include "crashreport/crash_reporter.h"
#include "crashreport/reporter_state.h"
#include "settings/form_storage.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>
#include <atomic>
#include <csignal>
#include <cstring>
#include <pthread.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>

using vokrin::settings::TFormStorage;

namespace {

// Kept out of line so the stack shows it by name; the sanitizer build must let the
// fault happen rather than diagnose it.
[[gnu::noinline, gnu::no_sanitize("undefined")]] void writeThroughNullPointer(volatile int *target)
{
    *target = 42;
}

std::atomic<bool> g_workerNamed{false};

// A second thread, so the report has more than one stack to show.
[[gnu::noinline]] void sleepingWorker()
{
    pthread_setname_np(pthread_self(), "crash-worker");
    g_workerNamed = true;
    for (;;)
        ::pause();
}

[[gnu::noinline]] void crashInNamedFunction()
{
    std::thread(sleepingWorker).detach();
    // The report shows the worker by its name: fault once it has one.
    while (!g_workerNamed)
        std::this_thread::yield();
    volatile int *nowhere = nullptr;
    writeThroughNullPointer(nowhere);
}

} // namespace

int main(int argc, char **argv)
{
    vokrin::crashreport::install(argc, argv);
    if (argc < 3)
        return 64;
    vokrin::crashreport::setReportFile(QString::fromLocal8Bit(argv[1]));
    const std::string mode = argv[2];
    if (mode == "segv")
        crashInNamedFunction();
    if (mode == "abort")
        std::abort();
    if (mode == "terminate")
        throw std::logic_error("nobody catches this");

    vokrin::crashreport::VokrinApplication app(argc, argv);
    if (mode == "button") {
        QWidget window;
        window.setWindowTitle(QStringLiteral("crash child"));
        auto *layout = new QVBoxLayout(&window);
        auto *failing = new QPushButton(QStringLiteral("fail"), &window);
        failing->setObjectName(QStringLiteral("fail"));
        auto *quit = new QPushButton(QStringLiteral("quit"), &window);
        quit->setObjectName(QStringLiteral("quit"));
        layout->addWidget(failing);
        layout->addWidget(quit);
        QObject::connect(failing, &QPushButton::clicked,
                         [] { throw std::runtime_error("the button handler failed"); });
        QObject::connect(quit, &QPushButton::clicked, [] { QApplication::exit(0); });
        window.show();
        return app.exec();
    }
    if (mode == "settings") {
        TFormStorage::setExceptionHandler(vokrin::crashreport::handleException);
        QWidget window;
        window.setObjectName(QStringLiteral("SavingWindow"));
        window.setWindowTitle(QStringLiteral("saving window"));
        auto *storage = new TFormStorage(&window);
        storage->setObjectName(QStringLiteral("FormStorage1"));
        window.show();
        QTimer::singleShot(200, &window, &QWidget::close);
        app.exec();
        return window.isVisible() ? 3 : 0;
    }
    return 64;
}
