#pragma once

#include "report_sections.h"

#include <QStringList>
#include <cstdint>
#include <memory>
#include <sys/types.h>
#include <vector>

namespace vokrin::crashreport {

// Reads another process (or this one) through its debug information: the loaded modules,
// the name, source file and line of an address, and, when `attach` is allowed, the call
// stacks of all its threads (the process is stopped meanwhile).
class ProcessInspector
{
public:
    explicit ProcessInspector(pid_t pid);
    ~ProcessInspector();
    ProcessInspector(const ProcessInspector &) = delete;
    ProcessInspector &operator=(const ProcessInspector &) = delete;

    bool valid() const;

    // `isReturnAddress`: the address follows a call, so its line is that of the call.
    StackFrame describe(std::uint64_t address, bool isReturnAddress) const;

    std::vector<ModuleInfo> modules() const;

    // All threads, the process's first thread first and named "main thread". A thread
    // that cannot be read is marked not accessible. Without `attach` only the names are
    // known and every stack is not accessible.
    std::vector<ThreadStack> threads(bool attach) const;

    // Up to `length` bytes of the process's memory at `address`; fewer where the memory
    // ends or cannot be read.
    QByteArray readMemory(std::uint64_t address, std::size_t length) const;

    // The start of the function around `address`, 0 when unknown.
    std::uint64_t functionStart(std::uint64_t address) const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The devices the system lists, with their drivers, from the sysfs tree at `sysRoot`
// ("/sys" on a running system).
QStringList listHardware(const QString &sysRoot);

// Machine code around `crashAddress` as text lines; `code` holds the bytes starting at
// `codeAddress`. Decoding starts at the earliest byte from which the instructions line up
// with the crash address. The failing instruction is marked with ">": the one at the
// crash address, or with `afterCall` (the address is a return address, as for a throw)
// the call that ends there.
QStringList disassemble(const QByteArray &code, std::uint64_t codeAddress,
                        std::uint64_t crashAddress, bool afterCall = false);

// Everything after the header: threads, modules, hardware and the code around
// `crashAddress`. `crashThread` is the thread that failed; when `throwStack` is not empty
// it replaces that thread's stack (the stack where an exception was thrown). When the
// crashing thread's walked stack contains `crashAddress`, the frames above it (those of
// the reporter itself) are left out.
QString composeSections(pid_t pid, int crashThread, std::uint64_t crashAddress,
                        const std::vector<std::uint64_t> &throwStack, bool attach,
                        const QString &programVersion);

} // namespace vokrin::crashreport
