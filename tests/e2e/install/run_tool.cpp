#include "run_tool.h"

#include <QProcess>

namespace vokrin::e2e {

std::string ToolResult::describe() const
{
    return (QStringLiteral("exit %1\n").arg(exitCode) + QString::fromLocal8Bit(out) +
            QString::fromLocal8Bit(err))
        .toStdString();
}

ToolResult runTool(const QString &program, const QStringList &arguments,
                   const QProcessEnvironment &environment, int timeoutMs, const QString &workingDir)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start(program, arguments);
    ToolResult result;
    if (!process.waitForStarted(30000))
        return result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        return result;
    }
    result.ran = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

} // namespace vokrin::e2e
