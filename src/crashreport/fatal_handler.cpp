#include "fatal_handler.h"

#include "class_name.h"
#include "helper_process.h"
#include "report_file.h"
#include "reporter_state.h"
#include "throw_capture.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <cxxabi.h>
#include <exception>
#include <sys/syscall.h>
#include <typeinfo>
#include <ucontext.h>
#include <unistd.h>

namespace vokrin::crashreport {
namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT};

// Static storage for the whole fatal path: nothing is allocated after a crash.
char g_report[1 << 20];
char g_sections[768 * 1024];
char g_scratch[kReportFileScratch];
char g_altStack[256 * 1024];
std::atomic<int> g_reportingThread{0};

int currentThreadId()
{
    return static_cast<int>(::syscall(SYS_gettid));
}

void writeStderr(const char *text, std::size_t length)
{
    while (length > 0) {
        const ssize_t n = ::write(STDERR_FILENO, text, length);
        if (n <= 0)
            return;
        text += n;
        length -= static_cast<std::size_t>(n);
    }
}

std::uint64_t instructionAddress(void *context)
{
    const auto *uc = static_cast<const ucontext_t *>(context);
    if (uc == nullptr)
        return 0;
#if defined(__x86_64__)
    return static_cast<std::uint64_t>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return uc->uc_mcontext.pc;
#else
    return 0;
#endif
}

const char *signalName(int signalNumber)
{
    switch (signalNumber) {
    case SIGSEGV:
        return "SIGSEGV";
    case SIGBUS:
        return "SIGBUS";
    case SIGILL:
        return "SIGILL";
    case SIGFPE:
        return "SIGFPE";
    case SIGABRT:
        return "SIGABRT";
    default:
        return "signal";
    }
}

void describeSignal(SafeBuffer &out, int signalNumber, const siginfo_t *info,
                    std::uint64_t instruction)
{
    const auto faultAddress = reinterpret_cast<std::uint64_t>(info ? info->si_addr : nullptr);
    const int code = info ? info->si_code : 0;
    switch (signalNumber) {
    case SIGSEGV:
        out.append("Access violation at address 0x");
        out.appendHex(instruction, 16);
        out.append(": invalid access to address 0x");
        out.appendHex(faultAddress, 16);
        out.append(code == SEGV_ACCERR ? " (not permitted)" : " (not mapped)");
        return;
    case SIGBUS:
        out.append("Bus error at address 0x");
        out.appendHex(instruction, 16);
        out.append(": bad access to address 0x");
        out.appendHex(faultAddress, 16);
        return;
    case SIGILL:
        out.append("Illegal instruction at address 0x");
        out.appendHex(faultAddress, 16);
        return;
    case SIGFPE:
        out.append(code == FPE_INTDIV   ? "Integer division by zero"
                   : code == FPE_INTOVF ? "Integer overflow"
                                        : "Arithmetic error");
        out.append(" at address 0x");
        out.appendHex(faultAddress, 16);
        return;
    case SIGABRT:
        out.append("The program was aborted");
        return;
    default:
        out.append("Fatal signal ");
        out.appendDecimal(static_cast<std::uint64_t>(signalNumber));
    }
}

void onFatalSignal(int signalNumber, siginfo_t *info, void *context)
{
    const std::uint64_t instruction = instructionAddress(context);
    FixedBuffer<kHeaderValueCapacity> message;
    describeSignal(message, signalNumber, info, instruction);
    reportFatal(signalName(signalNumber), message.data(), instruction, signalNumber);
}

void onTerminate()
{
    // Not a signal handler: the exception in flight may be looked at normally.
    char exceptionClass[kHeaderValueCapacity] = "std::terminate";
    char exceptionMessage[kHeaderValueCapacity] = "std::terminate was called";
    std::uint64_t address = 0;
    if (const std::exception_ptr error = std::current_exception()) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception &e) {
            int status = 0;
            char *name = abi::__cxa_demangle(typeid(e).name(), nullptr, nullptr, &status);
            safeCopy(exceptionClass, sizeof exceptionClass,
                     reportedClassName(status == 0 ? name : typeid(e).name()));
            std::free(name);
            safeCopy(exceptionMessage, sizeof exceptionMessage, e.what());
        } catch (...) {
            const std::type_info *type = abi::__cxa_current_exception_type();
            int status = 0;
            char *name =
                type ? abi::__cxa_demangle(type->name(), nullptr, nullptr, &status) : nullptr;
            safeCopy(exceptionClass, sizeof exceptionClass,
                     name != nullptr && status == 0 ? reportedClassName(name)
                                                    : "unknown exception");
            std::free(name);
            safeCopy(exceptionMessage, sizeof exceptionMessage,
                     "an exception that no handler caught");
        }
        const ThrowSite &site = lastThrowOnThisThread();
        if (site.count > 0)
            address = site.frames[0];
    }
    reportFatal(exceptionClass, exceptionMessage, address, SIGABRT);
}

// After the report: either the box decides, or without a box the process dies of the
// original signal so its parent and a core dump see what happened.
[[noreturn]] void endProcess(int boxStatus, int signalNumber)
{
    if (boxStatus == 1 || boxStatus == 2)
        ::_exit(boxStatus);
    ::signal(signalNumber, SIG_DFL);
    sigset_t unblock;
    sigemptyset(&unblock);
    sigaddset(&unblock, signalNumber);
    ::sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
    ::raise(signalNumber);
    ::_exit(1);
}

} // namespace

void installFatalHandlers()
{
    stack_t altStack{};
    altStack.ss_sp = g_altStack;
    altStack.ss_size = sizeof g_altStack;
    ::sigaltstack(&altStack, nullptr);
    struct sigaction action
    {
    };
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signalNumber : kFatalSignals)
        ::sigaction(signalNumber, &action, nullptr);
    std::set_terminate(onTerminate);
}

void uninstallFatalHandlers()
{
    for (int signalNumber : kFatalSignals)
        ::signal(signalNumber, SIG_DFL);
}

void reportFatal(const char *exceptionClass, const char *exceptionMessage,
                 std::uint64_t crashAddress, int signalNumber)
{
    const int self = currentThreadId();
    int expected = 0;
    if (!g_reportingThread.compare_exchange_strong(expected, self)) {
        if (expected == self) {
            // The reporter itself failed: give up quietly with the original signal.
            endProcess(-1, signalNumber);
        }
        // Another thread is reporting and will end the process.
        for (;;)
            ::pause();
    }

    ReporterState &state = reporterState();
    collectDynamicHeader(state.header, state.facts);
    state.header.set(ExceptionClass, exceptionClass);
    state.header.set(ExceptionMessage, exceptionMessage);
    SafeBuffer report(g_report, sizeof g_report);
    writeHeader(report, state.header);

    // Stacks, modules, hardware and code come from a helper that reads this process from
    // outside; this thread waits in the helper call meanwhile.
    FixedBuffer<32> pid;
    pid.appendDecimal(static_cast<std::uint64_t>(::getpid()));
    FixedBuffer<32> tid;
    tid.appendDecimal(static_cast<std::uint64_t>(self));
    FixedBuffer<32> address;
    address.appendHex(crashAddress);
    const char *sectionsArgs[] = {state.helperPath, "sections", pid.data(),           tid.data(),
                                  address.data(),   "1",        state.programVersion, nullptr};
    std::size_t sectionsLength = 0;
    const int sectionsStatus =
        state.helperPath[0] == '\0'
            ? -1
            : runHelper(state.helperPath, sectionsArgs, "go\n", 3, g_sections, sizeof g_sections,
                        &sectionsLength, 60000);
    if (sectionsStatus == 0 && sectionsLength > 0) {
        report.append(g_sections, sectionsLength);
    } else {
        report.append("\r\nmain thread:\r\n>> stack not accessible\r\n");
        report.append("\r\ndisassembling:\r\n(not available) crash address ");
        report.appendHex(crashAddress, 16);
        report.newLine();
    }
    // The file gets the report as it stands; without a report file it still reaches the
    // box and the terminal.
    if (state.reportFile[0] == '\0' ||
        !appendReportFile(state.reportFile, report.data(), report.size(), g_scratch,
                          sizeof g_scratch)) {
        writeStderr(report.data(), report.size());
    }

    // The box runs in a fresh process: nothing of this one's window system is usable.
    const char *boxArgs[300];
    int n = 0;
    boxArgs[n++] = state.helperPath;
    boxArgs[n++] = "box";
    boxArgs[n++] = state.programName;
    boxArgs[n++] = state.programFolder;
    boxArgs[n++] = state.reportFile;
    boxArgs[n++] = state.programPath;
    for (int i = 1; i < state.argc && n < 299; ++i)
        boxArgs[n++] = state.argv[i];
    boxArgs[n] = nullptr;
    const int boxStatus = state.helperPath[0] == '\0'
                              ? -1
                              : runHelper(state.helperPath, boxArgs, report.data(), report.size(),
                                          nullptr, 0, nullptr, -1);
    endProcess(boxStatus, signalNumber);
}

} // namespace vokrin::crashreport
