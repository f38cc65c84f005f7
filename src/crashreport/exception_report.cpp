#include "exception_report.h"

#include "class_name.h"
#include "helper_process.h"
#include "process_inspector.h"
#include "reporter_state.h"

#include <QGuiApplication>
#include <cxxabi.h>
#include <sys/syscall.h>
#include <typeinfo>
#include <unistd.h>
#include <vector>

namespace vokrin::crashreport {
namespace {

QString demangledName(const char *mangled)
{
    int status = 0;
    char *plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    const QString name =
        QString::fromUtf8(reportedClassName(status == 0 && plain ? plain : mangled));
    std::free(plain);
    return name;
}

QString sectionsFromHelper(const ReporterState &state, int thread, std::uint64_t address,
                           const ThrowSite &site)
{
    if (state.helperPath[0] == '\0' || ::access(state.helperPath, X_OK) != 0)
        return {};
    std::vector<QByteArray> args{state.helperPath,
                                 "sections",
                                 QByteArray::number(::getpid()),
                                 QByteArray::number(thread),
                                 QByteArray::number(address, 16),
                                 "1",
                                 state.programVersion};
    for (int i = 0; i < site.count; ++i)
        args.push_back(QByteArray::number(site.frames[i], 16));
    std::vector<const char *> argv;
    for (const QByteArray &arg : args)
        argv.push_back(arg.constData());
    argv.push_back(nullptr);
    std::vector<char> output(768 * 1024);
    std::size_t length = 0;
    const int status = runHelper(state.helperPath, argv.data(), "go\n", 3, output.data(),
                                 output.size(), &length, 60000);
    if (status != 0 || length == 0)
        return {};
    return QString::fromUtf8(output.data(), static_cast<qsizetype>(length));
}

} // namespace

ExceptionDescription describeException(std::exception_ptr error)
{
    ExceptionDescription description;
    if (!error) {
        description.className = QStringLiteral("(none)");
        return description;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        description.className = demangledName(typeid(e).name());
        description.message = QString::fromUtf8(e.what());
    } catch (...) {
        const std::type_info *type = abi::__cxa_current_exception_type();
        description.className =
            type != nullptr ? demangledName(type->name()) : QStringLiteral("unknown exception");
        description.message = QStringLiteral("(an exception without a message)");
    }
    return description;
}

QString composeExceptionReport(const ExceptionDescription &exception, const ThrowSite &site)
{
    return composeExceptionReport(exception, site, [&site] {
        const ReporterState &state = reporterState();
        const int thread = static_cast<int>(::syscall(SYS_gettid));
        const std::uint64_t address = site.count > 0 ? site.frames[0] : 0;
        QString sections = sectionsFromHelper(state, thread, address, site);
        if (sections.isEmpty()) {
            // Without the helper this process can still name its own throw stack, modules
            // and code; the other threads' stacks need the helper.
            std::vector<std::uint64_t> stack(site.frames, site.frames + site.count);
            sections = composeSections(::getpid(), thread, address, stack, false,
                                       QString::fromUtf8(state.programVersion));
        }
        return sections;
    });
}

QString composeExceptionReport(const ExceptionDescription &exception, const ThrowSite &,
                               const std::function<QString()> &sections)
{
    ReporterState &state = reporterState();
    QString report;
    try {
        collectDynamicHeader(state.header, state.facts);
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr)
            collectDisplayMode(state.header);
        state.header.set(ExceptionClass, exception.className.toUtf8().constData());
        state.header.set(ExceptionMessage, exception.message.toUtf8().constData());
        std::vector<char> storage(HeaderFieldCount * (kHeaderValueCapacity + 32));
        SafeBuffer header(storage.data(), storage.size());
        writeHeader(header, state.header);
        report = QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size()));

        report += sections();
    } catch (...) {
        const ThrowSite &failure = lastThrowOnThisThread();
        const std::uint64_t failingAddress = failure.count > 0 ? failure.frames[0] : 0;
        if (!report.isEmpty() && !report.endsWith(QStringLiteral("\r\n")))
            report += QStringLiteral("\r\n");
        report += QStringLiteral("\r\nAn exception occurred during composing the bug report.\r\n") +
                  QStringLiteral("%1\r\n").arg(failingAddress, 16, 16, QLatin1Char('0'));
    }
    return report;
}

} // namespace vokrin::crashreport
