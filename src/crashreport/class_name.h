#pragma once

#include <cstring>

namespace vokrin::crashreport {

// The name a report gives an exception's class. The program's own classes are named as
// the program and its users know them ("EIniFileException"), without the folder
// namespaces of the code; other classes keep their full name ("std::runtime_error").
// Points into `demangled`; safe inside a signal handler.
inline const char *reportedClassName(const char *demangled)
{
    constexpr char kOwn[] = "vokrin::";
    if (std::strncmp(demangled, kOwn, sizeof kOwn - 1) != 0)
        return demangled;
    const char *name = demangled;
    for (const char *p = demangled; *p != '\0' && *p != '<'; ++p) {
        if (p[0] == ':' && p[1] == ':')
            name = p + 2;
    }
    return name;
}

} // namespace vokrin::crashreport
