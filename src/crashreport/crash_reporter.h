#pragma once

#include <QApplication>
#include <exception>

// The crash reporter: catches what no handler of the program caught, writes a report
// ("bugreport.txt" beside the executable, or in the per-user state folder when that
// folder cannot be written), copies it to the clipboard and shows the error box with
// "E-mail error", "Save error", "Print error", "Continue", "Restart" and "Close".
//
// Use in the entry:
//
//     int main(int argc, char **argv)
//     {
//         vokrin::crashreport::install(argc, argv);      // before anything else
//         vokrin::crashreport::VokrinApplication app(argc, argv);
//         ...
//         return app.exec();
//     }
//
// How an error reaches the box:
// - An exception that leaves an event handler (a click, a timer, a close event ...)
//   unwinds into VokrinApplication::notify, which catches it and calls handleException.
//   So an EIniFileException ("Unable to write to <file>", a std::runtime_error) thrown by
//   a settings write inside a button handler skips the rest of that handler, shows the
//   box, and after "Continue" the event loop goes on with the next event.
// - Code that catches on purpose because it has to go on afterwards (the automatic
//   settings save while a window closes: the window still closes) calls handleException
//   from its catch block and then carries on:
//
//         try {
//             storage.SaveSettings();
//         } catch (...) {
//             vokrin::crashreport::handleException(std::current_exception());
//         }
//
//   A library that must not depend on this one can take a
//   std::function<void(std::exception_ptr)> from the entry, which passes handleException.
// - Fatal signals (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT) and std::terminate: the
//   report is written by code that is safe inside a signal handler, then a separate
//   process shows the box with "Continue" disabled; this process waits for it and ends
//   with the box's exit code.
//
// "Restart" starts a new copy of the program with the same arguments and ends this one
// with exit code 2; "Close" ends it with exit code 1.
namespace vokrin::crashreport {

// Installs the signal handlers and the terminate handler and remembers the command
// line, the start time and the executable. Call once, first thing in main(), before a
// QApplication exists. argv must stay valid for the life of the process (main's does).
void install(int argc, char **argv);

// Reports an exception that no handler of the program dealt with: composes the report,
// takes the screenshot, appends the report to the report file and shows the box.
// Returns when the user chooses "Continue"; "Restart" and "Close" end the process.
// Called on the thread that caught the error; the box needs the QApplication, so
// before one exists the box is shown by a separate process and "Continue" is disabled.
void handleException(std::exception_ptr error);

// The application object the entry uses instead of QApplication: its notify catches
// every exception that escapes an event handler and hands it to handleException.
class VokrinApplication : public QApplication
{
public:
    VokrinApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace vokrin::crashreport
