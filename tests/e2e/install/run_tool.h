#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace vokrin::e2e {

struct ToolResult
{
    bool ran = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    bool ok() const { return ran && exitCode == 0; }
    std::string describe() const;
};

// Runs a program without a shell and waits for it (up to `timeoutMs`).
ToolResult
runTool(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
        int timeoutMs = 120000, const QString &workingDir = {});

} // namespace vokrin::e2e
