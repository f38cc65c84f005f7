#include "errors.h"

namespace vokrin::engine {

namespace {
thread_local int t_lastError = kOk;
}

int lastError()
{
    return t_lastError;
}
void setLastError(int code)
{
    t_lastError = code;
}

} // namespace vokrin::engine
