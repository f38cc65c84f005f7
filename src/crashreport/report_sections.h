#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace vokrin::crashreport {

struct StackFrame
{
    std::uint64_t address = 0;
    QString module;           // file name of the module holding the address
    QString function;         // demangled; empty when unknown
    std::uint64_t offset = 0; // from the function's start
    QString file;             // source file; empty when unknown
    int line = 0;
};

struct ThreadStack
{
    int id = 0;
    QString name; // "main thread" for the process's first thread
    bool suspended = false;
    int priority = 0; // nice value; 0 is normal
    bool accessible = true;
    std::vector<StackFrame> frames;
};

struct ModuleInfo
{
    std::uint64_t base = 0;
    QString fileName;
    QString version;
    QString path;
};

// The sections after the header, each line ended by CR LF:
// threads, each after an empty line: "<name>[ <suspended>][ <priority:N>]:" and its frames
// or ">> stack not accessible";
QString formatThreads(const std::vector<ThreadStack> &threads);
// an empty line, "modules:" and per module the base as 8 or more hex digits, the file
// name and the version each padded to the longest of its column plus one blank, the path;
QString formatModules(const std::vector<ModuleInfo> &modules);
// an empty line, "hardware:" and the device lines;
QString formatHardware(const QStringList &devices);
// an empty line, "disassembling:" and the code lines.
QString formatDisassembly(const QStringList &lines);

// The version in a shared library's file name ("libQt6Core.so.6.4.2" gives "6.4.2");
// empty when the name carries none.
QString versionFromFileName(const QString &fileName);

// "0000555555554000": an address as at least 16 hex digits.
QString hexAddress(std::uint64_t address, int digits = 16);

} // namespace vokrin::crashreport
