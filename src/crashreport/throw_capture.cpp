#include "throw_capture.h"

#include <dlfcn.h>
#include <execinfo.h>

namespace vokrin::crashreport {
namespace {

using ThrowFunction = void (*)(void *, std::type_info *, void (*)(void *));

thread_local ThrowSite t_lastThrow;

ThrowFunction realThrow()
{
    static const auto function = reinterpret_cast<ThrowFunction>(dlsym(RTLD_NEXT, "__cxa_throw"));
    return function;
}

} // namespace

const ThrowSite &lastThrowOnThisThread()
{
    return t_lastThrow;
}

void prepareThrowCapture()
{
    realThrow();
    void *frames[2];
    backtrace(frames, 2);
}

} // namespace vokrin::crashreport

// Every throw of the program passes here: remember its stack, then throw as usual.
extern "C" [[noreturn]] void __cxa_throw(void *object, std::type_info *type,
                                         void (*destructor)(void *));
extern "C" [[noreturn]] void __cxa_throw(void *object, std::type_info *type,
                                         void (*destructor)(void *))
{
    using namespace vokrin::crashreport;
    void *frames[65];
    const int count = backtrace(frames, 65);
    ThrowSite &site = t_lastThrow;
    site.type = type;
    site.object = object;
    site.count = 0;
    // The stack starts at the thrower: skip this function and anything a sanitizer's
    // wrapper of backtrace() adds above it.
    const void *thrower = __builtin_return_address(0);
    int first = 1;
    for (int i = 0; i < count; ++i) {
        if (frames[i] == thrower) {
            first = i;
            break;
        }
    }
    for (int i = first; i < count; ++i)
        site.frames[site.count++] = reinterpret_cast<std::uint64_t>(frames[i]);
    realThrow()(object, type, destructor);
    __builtin_unreachable();
}
