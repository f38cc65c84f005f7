#include "process_inspector.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cxxabi.h>
#include <elfutils/libdwfl.h>
#include <fcntl.h>
#include <unistd.h>

namespace vokrin::crashreport {
namespace {

QString demangle(const char *name)
{
    if (name == nullptr)
        return {};
    int status = 0;
    char *plain = abi::__cxa_demangle(name, nullptr, nullptr, &status);
    if (status == 0 && plain != nullptr) {
        QString result = QString::fromUtf8(plain);
        std::free(plain);
        return result;
    }
    return QString::fromUtf8(name);
}

const Dwfl_Callbacks kProcessCallbacks = {
    dwfl_linux_proc_find_elf,
    dwfl_standard_find_debuginfo,
    nullptr,
    nullptr,
};

QByteArray readProcFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

struct WalkContext
{
    const ProcessInspector *inspector;
    std::vector<StackFrame> *frames;
};

int collectFrame(Dwfl_Frame *frame, void *arg)
{
    auto *context = static_cast<WalkContext *>(arg);
    Dwarf_Addr pc = 0;
    bool isActivation = false;
    if (!dwfl_frame_pc(frame, &pc, &isActivation))
        return DWARF_CB_ABORT;
    context->frames->push_back(context->inspector->describe(pc, !isActivation));
    // A runaway walk over a damaged stack ends here.
    return context->frames->size() < 256 ? DWARF_CB_OK : DWARF_CB_ABORT;
}

} // namespace

struct ProcessInspector::State
{
    pid_t pid = 0;
    Dwfl *dwfl = nullptr;
    bool attached = false;
};

ProcessInspector::ProcessInspector(pid_t pid) : m_state(std::make_unique<State>())
{
    m_state->pid = pid;
    m_state->dwfl = dwfl_begin(&kProcessCallbacks);
    if (m_state->dwfl == nullptr)
        return;
    if (dwfl_linux_proc_report(m_state->dwfl, pid) != 0 ||
        dwfl_report_end(m_state->dwfl, nullptr, nullptr) != 0) {
        dwfl_end(m_state->dwfl);
        m_state->dwfl = nullptr;
    }
}

ProcessInspector::~ProcessInspector()
{
    if (m_state->dwfl != nullptr)
        dwfl_end(m_state->dwfl);
}

bool ProcessInspector::valid() const
{
    return m_state->dwfl != nullptr;
}

StackFrame ProcessInspector::describe(std::uint64_t address, bool isReturnAddress) const
{
    StackFrame frame;
    frame.address = address;
    if (m_state->dwfl == nullptr)
        return frame;
    // A return address points after the call; the call itself is one byte earlier.
    const Dwarf_Addr lookup = isReturnAddress && address > 0 ? address - 1 : address;
    Dwfl_Module *module = dwfl_addrmodule(m_state->dwfl, lookup);
    if (module == nullptr)
        return frame;
    const char *moduleName =
        dwfl_module_info(module, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    frame.module = QFileInfo(QString::fromUtf8(moduleName ? moduleName : "")).fileName();
    GElf_Off offset = 0;
    GElf_Sym symbol{};
    const char *name =
        dwfl_module_addrinfo(module, lookup, &offset, &symbol, nullptr, nullptr, nullptr);
    if (name != nullptr) {
        frame.function = demangle(name);
        frame.offset = address - (lookup - offset);
    }
    if (Dwfl_Line *line = dwfl_module_getsrc(module, lookup)) {
        int lineNumber = 0;
        const char *file = dwfl_lineinfo(line, nullptr, &lineNumber, nullptr, nullptr, nullptr);
        if (file != nullptr) {
            frame.file = QString::fromUtf8(file);
            frame.line = lineNumber;
        }
    }
    return frame;
}

std::uint64_t ProcessInspector::functionStart(std::uint64_t address) const
{
    if (m_state->dwfl == nullptr)
        return 0;
    Dwfl_Module *module = dwfl_addrmodule(m_state->dwfl, address);
    if (module == nullptr)
        return 0;
    GElf_Off offset = 0;
    GElf_Sym symbol{};
    if (dwfl_module_addrinfo(module, address, &offset, &symbol, nullptr, nullptr, nullptr) ==
        nullptr)
        return 0;
    return address - offset;
}

std::vector<ModuleInfo> ProcessInspector::modules() const
{
    std::vector<ModuleInfo> result;
    if (m_state->dwfl == nullptr)
        return result;
    auto collect = [](Dwfl_Module *, void **, const char *name, Dwarf_Addr start,
                      void *arg) -> int {
        auto *list = static_cast<std::vector<ModuleInfo> *>(arg);
        ModuleInfo info;
        info.base = start;
        info.path = QString::fromUtf8(name ? name : "");
        info.fileName = QFileInfo(info.path).fileName();
        info.version = versionFromFileName(info.fileName);
        list->push_back(info);
        return DWARF_CB_OK;
    };
    dwfl_getmodules(m_state->dwfl, collect, &result, 0);
    std::sort(result.begin(), result.end(),
              [](const ModuleInfo &a, const ModuleInfo &b) { return a.base < b.base; });
    return result;
}

std::vector<ThreadStack> ProcessInspector::threads(bool attach) const
{
    std::vector<ThreadStack> result;
    const QString taskDir = QStringLiteral("/proc/%1/task").arg(m_state->pid);
    QList<int> ids;
    for (const QString &entry : QDir(taskDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        ids << entry.toInt();
    std::sort(ids.begin(), ids.end());
    for (int id : ids) {
        ThreadStack thread;
        thread.id = id;
        const QString base = taskDir + QStringLiteral("/%1/").arg(id);
        const QString comm =
            QString::fromUtf8(readProcFile(base + QStringLiteral("comm"))).trimmed();
        thread.name = id == m_state->pid ? QStringLiteral("main thread")
                                         : QStringLiteral("thread %1 \"%2\"").arg(id).arg(comm);
        // stat: "pid (comm) state ... nice is field 19"; comm may hold blanks and ')'.
        const QByteArray stat = readProcFile(base + QStringLiteral("stat"));
        const qsizetype close = stat.lastIndexOf(')');
        if (close > 0) {
            const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
            if (!fields.isEmpty())
                thread.suspended = fields[0] == "T";
            if (fields.size() > 16)
                thread.priority = fields[16].toInt();
        }
        thread.accessible = false;
        result.push_back(thread);
    }
    // The process's first thread leads.
    std::stable_partition(result.begin(), result.end(),
                          [this](const ThreadStack &t) { return t.id == m_state->pid; });
    if (!attach || m_state->dwfl == nullptr)
        return result;
    if (dwfl_linux_proc_attach(m_state->dwfl, m_state->pid, false) != 0)
        return result;
    for (ThreadStack &thread : result) {
        WalkContext context{this, &thread.frames};
        dwfl_getthread_frames(m_state->dwfl, thread.id, collectFrame, &context);
        thread.accessible = !thread.frames.empty();
    }
    return result;
}

QByteArray ProcessInspector::readMemory(std::uint64_t address, std::size_t length) const
{
    QByteArray bytes;
    const QByteArray path = QStringLiteral("/proc/%1/mem").arg(m_state->pid).toLocal8Bit();
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return bytes;
    bytes.resize(static_cast<qsizetype>(length));
    const ssize_t n = ::pread(fd, bytes.data(), length, static_cast<off_t>(address));
    ::close(fd);
    bytes.resize(n > 0 ? static_cast<qsizetype>(n) : 0);
    return bytes;
}

} // namespace vokrin::crashreport
