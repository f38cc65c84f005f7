#include "report_sections.h"

#include <QRegularExpression>
#include <algorithm>

namespace vokrin::crashreport {
namespace {

const QString kEol = QStringLiteral("\r\n");

QString formatFrame(const StackFrame &frame, int moduleWidth)
{
    QString line = QStringLiteral("  ") + hexAddress(frame.address) + QStringLiteral("  ") +
                   frame.module.leftJustified(moduleWidth);
    if (!frame.function.isEmpty())
        line += QStringLiteral("  ") + frame.function +
                QStringLiteral(" + 0x%1").arg(frame.offset, 0, 16);
    else
        line += QStringLiteral("  ?");
    if (!frame.file.isEmpty())
        line += QStringLiteral("  (%1 line %2)").arg(frame.file).arg(frame.line);
    return line;
}

} // namespace

QString hexAddress(std::uint64_t address, int digits)
{
    return QStringLiteral("%1").arg(address, digits, 16, QLatin1Char('0'));
}

QString formatThreads(const std::vector<ThreadStack> &threads)
{
    QString text;
    for (const ThreadStack &thread : threads) {
        text += kEol + thread.name;
        if (thread.suspended)
            text += QStringLiteral(" <suspended>");
        if (thread.priority != 0)
            text += QStringLiteral(" <priority:%1>").arg(thread.priority);
        text += QStringLiteral(":") + kEol;
        if (!thread.accessible) {
            text += QStringLiteral(">> stack not accessible") + kEol;
            continue;
        }
        int moduleWidth = 0;
        for (const StackFrame &frame : thread.frames)
            moduleWidth = std::max(moduleWidth, static_cast<int>(frame.module.size()));
        for (const StackFrame &frame : thread.frames)
            text += formatFrame(frame, moduleWidth) + kEol;
    }
    return text;
}

QString formatModules(const std::vector<ModuleInfo> &modules)
{
    qsizetype nameWidth = 0;
    qsizetype versionWidth = 0;
    for (const ModuleInfo &module : modules) {
        nameWidth = std::max(nameWidth, module.fileName.size());
        versionWidth = std::max(versionWidth, module.version.size());
    }
    QString text = kEol + QStringLiteral("modules:") + kEol;
    for (const ModuleInfo &module : modules) {
        const int digits = module.base > 0xffffffffull ? 16 : 8;
        text += hexAddress(module.base, digits) + QLatin1Char(' ') +
                module.fileName.leftJustified(nameWidth + 1) +
                module.version.leftJustified(versionWidth + 1) + module.path + kEol;
    }
    return text;
}

QString formatHardware(const QStringList &devices)
{
    QString text = kEol + QStringLiteral("hardware:") + kEol;
    if (devices.isEmpty())
        text += QStringLiteral("(the system lists no devices)") + kEol;
    for (const QString &device : devices)
        text += device + kEol;
    return text;
}

QString formatDisassembly(const QStringList &lines)
{
    QString text = kEol + QStringLiteral("disassembling:") + kEol;
    for (const QString &line : lines)
        text += line + kEol;
    return text;
}

QString versionFromFileName(const QString &fileName)
{
    static const QRegularExpression soVersion(QStringLiteral("\\.so\\.([0-9][0-9.]*)$"));
    const QRegularExpressionMatch match = soVersion.match(fileName);
    if (match.hasMatch())
        return match.captured(1);
    static const QRegularExpression embedded(QStringLiteral("-([0-9]+(\\.[0-9]+)+)\\.so$"));
    const QRegularExpressionMatch inside = embedded.match(fileName);
    return inside.hasMatch() ? inside.captured(1) : QString();
}

} // namespace vokrin::crashreport
