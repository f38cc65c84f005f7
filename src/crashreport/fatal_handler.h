#pragma once

#include <cstdint>

namespace vokrin::crashreport {

// Handlers for SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT (on a stack of their own, so a
// stack overflow is reported too) and for std::terminate.
void installFatalHandlers();
// Back to the default actions, before the program ends on purpose.
void uninstallFatalHandlers();

// Writes the report of a failure the program cannot go on from, with code that is safe
// in a signal handler, then runs the box in a separate process with "Continue" disabled
// and ends this process with the box's exit code (2 after "Restart", else 1). Does not
// return.
[[noreturn]] void reportFatal(const char *exceptionClass, const char *exceptionMessage,
                              std::uint64_t crashAddress, int signalNumber);

} // namespace vokrin::crashreport
