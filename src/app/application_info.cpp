#include "app/application_info.h"

namespace vokrin::app {

namespace {

ApplicationInfo &current()
{
    static ApplicationInfo info{QStringLiteral("ВОКРИН"), QStringLiteral("vokrin.hlp")};
    return info;
}

} // namespace

const ApplicationInfo &applicationInfo()
{
    return current();
}

void setApplicationInfo(const ApplicationInfo &info)
{
    current() = info;
}

} // namespace vokrin::app
