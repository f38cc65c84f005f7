#include "process_inspector.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <capstone/capstone.h>

namespace vokrin::crashreport {
namespace {

QString readTrimmed(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).trimmed();
}

QString driverOf(const QString &deviceDir)
{
    const QFileInfo link(deviceDir + QStringLiteral("/driver"));
    if (!link.exists())
        return QStringLiteral("(no driver)");
    return QStringLiteral("driver ") + QFileInfo(link.symLinkTarget()).fileName();
}

QString pciClassName(const QString &classCode)
{
    // The base class byte of the PCI class code.
    bool ok = false;
    const uint code = classCode.toUInt(&ok, 16);
    if (!ok)
        return QStringLiteral("device");
    static const char *const names[] = {
        "unclassified", "storage",    "network",          "display",  "multimedia",
        "memory",       "bridge",     "communication",    "system",   "input",
        "docking",      "processor",  "serial bus",       "wireless", "intelligent",
        "satellite",    "encryption", "signal processing"};
    const uint base = (code >> 16) & 0xff;
    return base < sizeof names / sizeof names[0] ? QString::fromLatin1(names[base])
                                                 : QStringLiteral("device");
}

cs_arch hostArch()
{
#if defined(__x86_64__)
    return CS_ARCH_X86;
#elif defined(__aarch64__)
    return CS_ARCH_ARM64;
#else
    return CS_ARCH_X86;
#endif
}

cs_mode hostMode()
{
#if defined(__x86_64__)
    return CS_MODE_64;
#else
    return CS_MODE_LITTLE_ENDIAN;
#endif
}

// Decodes `code` from `offset` and says whether an instruction begins exactly at `target`.
bool linesUpWith(csh handle, const QByteArray &code, std::uint64_t codeAddress, std::size_t offset,
                 std::uint64_t target)
{
    const auto *bytes = reinterpret_cast<const uint8_t *>(code.constData()) + offset;
    std::size_t size = static_cast<std::size_t>(code.size()) - offset;
    std::uint64_t address = codeAddress + offset;
    cs_insn *insn = cs_malloc(handle);
    bool hit = false;
    while (address < target && cs_disasm_iter(handle, &bytes, &size, &address, insn)) {
    }
    hit = address == target;
    cs_free(insn, 1);
    return hit;
}

} // namespace

QStringList listHardware(const QString &sysRoot)
{
    QStringList lines;
    const QString pciRoot = sysRoot + QStringLiteral("/bus/pci/devices");
    for (const QString &slot :
         QDir(pciRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        const QString dir = pciRoot + QLatin1Char('/') + slot;
        const QString classCode = readTrimmed(dir + QStringLiteral("/class"));
        lines << QStringLiteral("pci %1  %2 (%3)  %4:%5  %6")
                     .arg(slot, pciClassName(classCode), classCode.mid(2),
                          readTrimmed(dir + QStringLiteral("/vendor")).mid(2),
                          readTrimmed(dir + QStringLiteral("/device")).mid(2), driverOf(dir));
    }
    const QString usbRoot = sysRoot + QStringLiteral("/bus/usb/devices");
    for (const QString &port :
         QDir(usbRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        const QString dir = usbRoot + QLatin1Char('/') + port;
        const QString vendor = readTrimmed(dir + QStringLiteral("/idVendor"));
        if (vendor.isEmpty())
            continue; // an interface, not a device
        const QString product = readTrimmed(dir + QStringLiteral("/product"));
        lines << QStringLiteral("usb %1  %2:%3  %4  %5")
                     .arg(port, vendor, readTrimmed(dir + QStringLiteral("/idProduct")),
                          product.isEmpty() ? QStringLiteral("(unnamed)") : product, driverOf(dir));
    }
    const QString soundRoot = sysRoot + QStringLiteral("/class/sound");
    for (const QString &card :
         QDir(soundRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::System, QDir::Name)) {
        if (!card.startsWith(QStringLiteral("card")))
            continue;
        const QString dir = soundRoot + QLatin1Char('/') + card;
        lines << QStringLiteral("sound %1  %2  %3")
                     .arg(card, readTrimmed(dir + QStringLiteral("/id")),
                          driverOf(dir + QStringLiteral("/device")));
    }
    return lines;
}

QStringList disassemble(const QByteArray &code, std::uint64_t codeAddress,
                        std::uint64_t crashAddress, bool afterCall)
{
    QStringList lines;
    if (code.isEmpty() || crashAddress < codeAddress ||
        crashAddress >= codeAddress + static_cast<std::uint64_t>(code.size())) {
        lines << QStringLiteral("(the code at %1 cannot be read)").arg(hexAddress(crashAddress));
        return lines;
    }
    csh handle = 0;
    if (cs_open(hostArch(), hostMode(), &handle) != CS_ERR_OK) {
        lines << QStringLiteral("(no disassembler for this processor)");
        return lines;
    }
    // Variable-length code cannot be decoded backwards: take the earliest start that lines
    // up with the crash address.
    std::size_t start = static_cast<std::size_t>(crashAddress - codeAddress);
    for (std::size_t offset = 0; offset < start; ++offset) {
        if (linesUpWith(handle, code, codeAddress, offset, crashAddress)) {
            start = offset;
            break;
        }
    }
    const auto *bytes = reinterpret_cast<const uint8_t *>(code.constData()) + start;
    std::size_t size = static_cast<std::size_t>(code.size()) - start;
    std::uint64_t address = codeAddress + start;
    cs_insn *insn = cs_malloc(handle);
    while (cs_disasm_iter(handle, &bytes, &size, &address, insn)) {
        QString hex;
        for (uint16_t i = 0; i < insn->size; ++i)
            hex += QStringLiteral("%1 ").arg(insn->bytes[i], 2, 16, QLatin1Char('0'));
        const bool crash =
            afterCall ? insn->address + insn->size == crashAddress : insn->address == crashAddress;
        lines << QStringLiteral("%1 %2  %3 %4 %5")
                     .arg(crash ? QStringLiteral(">") : QStringLiteral(" "),
                          hexAddress(insn->address), hex.leftJustified(30),
                          QString::fromLatin1(insn->mnemonic), QString::fromLatin1(insn->op_str))
                     .trimmed();
    }
    if (size > 0)
        lines
            << QStringLiteral("  %1  (%2 bytes not decodable)").arg(hexAddress(address)).arg(size);
    cs_free(insn, 1);
    cs_close(&handle);
    return lines;
}

QString composeSections(pid_t pid, int crashThread, std::uint64_t crashAddress,
                        const std::vector<std::uint64_t> &throwStack, bool attach,
                        const QString &programVersion)
{
    ProcessInspector inspector(pid);
    std::vector<ThreadStack> threads = inspector.threads(attach);
    for (ThreadStack &thread : threads) {
        if (thread.id != crashThread)
            continue;
        if (!throwStack.empty()) {
            thread.frames.clear();
            for (std::size_t i = 0; i < throwStack.size(); ++i)
                thread.frames.push_back(inspector.describe(throwStack[i], true));
            thread.accessible = true;
        } else {
            // Leave out the frames of the reporter that sit above the failing one.
            for (std::size_t i = 0; i < thread.frames.size(); ++i) {
                if (thread.frames[i].address == crashAddress) {
                    thread.frames.erase(thread.frames.begin(),
                                        thread.frames.begin() + static_cast<long>(i));
                    break;
                }
            }
        }
    }
    std::vector<ModuleInfo> modules = inspector.modules();
    const QString executable = QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget();
    for (ModuleInfo &module : modules) {
        if (module.path == executable)
            module.version = programVersion;
        if (module.version.isEmpty())
            module.version = QStringLiteral("-");
    }

    // The code around the crash: from the function's start when it is near, else from a
    // little before, up to a little after.
    constexpr std::uint64_t kBefore = 48;
    constexpr std::uint64_t kAfter = 48;
    std::uint64_t from = crashAddress > kBefore ? crashAddress - kBefore : 0;
    // A return address may already lie past the end of a function that does not return.
    const std::uint64_t functionStart =
        inspector.functionStart(throwStack.empty() ? crashAddress : crashAddress - 1);
    if (functionStart != 0 && functionStart <= crashAddress && functionStart > from)
        from = functionStart;
    QByteArray code =
        inspector.readMemory(from, static_cast<std::size_t>(crashAddress + kAfter - from));
    if (code.isEmpty()) {
        // The range may start on an unreadable page; try from the crash address alone.
        from = crashAddress;
        code = inspector.readMemory(from, kAfter);
    }
    QStringList disassembly;
    const StackFrame where = inspector.describe(crashAddress, !throwStack.empty());
    if (!where.function.isEmpty())
        disassembly
            << QStringLiteral("%1 + 0x%2%3")
                   .arg(where.function)
                   .arg(where.offset, 0, 16)
                   .arg(where.file.isEmpty()
                            ? QString()
                            : QStringLiteral("  (%1 line %2)").arg(where.file).arg(where.line));
    disassembly << disassemble(code, from, crashAddress, !throwStack.empty());

    return formatThreads(threads) + formatModules(modules) +
           formatHardware(listHardware(QStringLiteral("/sys"))) + formatDisassembly(disassembly);
}

} // namespace vokrin::crashreport
