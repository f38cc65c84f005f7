#include "platform.h"

#include "qt_platform.h"

namespace vokrin::platform {
namespace {
Platform *g_replacement = nullptr;
}

Platform &platform()
{
    static QtPlatform qtPlatform;
    return g_replacement != nullptr ? *g_replacement : qtPlatform;
}

void setPlatform(Platform *replacement)
{
    g_replacement = replacement;
}

} // namespace vokrin::platform
