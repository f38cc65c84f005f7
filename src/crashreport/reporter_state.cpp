#include "reporter_state.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <unistd.h>

namespace vokrin::crashreport {

ReporterState &reporterState()
{
    static ReporterState state;
    return state;
}

QString defaultReportFile(const QString &programFolder)
{
    const QString inProgramFolder = QDir(programFolder).filePath(QStringLiteral("bugreport.txt"));
    const QFileInfo existing(inProgramFolder);
    const bool writable = existing.exists()
                              ? ::access(QFile::encodeName(inProgramFolder).constData(), W_OK) == 0
                              : ::access(QFile::encodeName(programFolder).constData(), W_OK) == 0;
    if (writable)
        return inProgramFolder;
    // An installed program's folder belongs to the system: keep reports per user.
    QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    if (stateHome.isEmpty() || QDir::isRelativePath(stateHome))
        stateHome = QDir::homePath() + QStringLiteral("/.local/state");
    const QString folder = stateHome + QStringLiteral("/vokrin");
    QDir().mkpath(folder);
    return folder + QStringLiteral("/bugreport.txt");
}

QString helperPathFor(const QString &programFolder)
{
    const QDir folder(programFolder);
    const QString beside = folder.filePath(QLatin1String(kHelperName));
    if (QFileInfo(beside).isExecutable())
        return beside;
    const QString installed = QDir::cleanPath(folder.filePath(
        QStringLiteral(VOKRIN_HELPER_DIR_FROM_PROGRAM "/") + QLatin1String(kHelperName)));
    if (QFileInfo(installed).isExecutable())
        return installed;
    return beside;
}

void setReportFile(const QString &fileName)
{
    ReporterState &state = reporterState();
    const QString path =
        QDir(QString::fromLocal8Bit(state.programFolder)).absoluteFilePath(fileName);
    safeCopy(state.reportFile, sizeof state.reportFile, QFile::encodeName(path).constData());
}

void prepareReporter(int argc, char **argv)
{
    ReporterState &state = reporterState();
    state.argumentText.assign(argv, argv + std::max(argc, 0));
    state.argumentPointers.clear();
    for (std::string &argument : state.argumentText)
        state.argumentPointers.push_back(argument.data());
    state.argumentPointers.push_back(nullptr);
    state.argc = static_cast<int>(state.argumentText.size());
    state.argv = state.argumentPointers.data();
    collectStaticHeader(state.header, state.facts, state.argc, state.argv);
    const QFileInfo program(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
    safeCopy(state.programPath, sizeof state.programPath,
             QFile::encodeName(program.absoluteFilePath()).constData());
    safeCopy(state.programFolder, sizeof state.programFolder,
             QFile::encodeName(program.absolutePath()).constData());
    safeCopy(state.programName, sizeof state.programName,
             QFile::encodeName(program.fileName()).constData());
    safeCopy(state.helperPath, sizeof state.helperPath,
             QFile::encodeName(helperPathFor(program.absolutePath())).constData());
    safeCopy(state.programVersion, sizeof state.programVersion, VOKRIN_VERSION);
    setReportFile(defaultReportFile(program.absolutePath()));
}

QStringList startArguments()
{
    const ReporterState &state = reporterState();
    QStringList arguments;
    for (int i = 1; i < state.argc; ++i)
        arguments << QString::fromLocal8Bit(state.argv[i]);
    return arguments;
}

} // namespace vokrin::crashreport
