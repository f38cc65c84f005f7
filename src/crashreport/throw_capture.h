#pragma once

#include <cstdint>
#include <typeinfo>

namespace vokrin::crashreport {

// Where the newest exception of a thread was thrown: by the time an exception reaches
// the application's handler its stack is unwound, so the stack is recorded at the throw.
struct ThrowSite
{
    const std::type_info *type = nullptr;
    void *object = nullptr;
    int count = 0;
    std::uint64_t frames[64] = {}; // return addresses, the throwing function first
};

// The newest throw on the calling thread (count 0 when none was seen).
const ThrowSite &lastThrowOnThisThread();

// Resolves the C++ runtime's throw and loads the unwinder once, so that the first throw
// after a failure does not have to.
void prepareThrowCapture();

} // namespace vokrin::crashreport
