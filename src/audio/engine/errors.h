#pragma once

namespace vokrin::engine {

// The error code of the last engine call on the calling thread (BASS numbering).
int lastError();
void setLastError(int code);

// The codes the engine itself raises.
enum ErrorCode : int {
    kOk = 0,
    kErrMem = 1,
    kErrFileOpen = 2,
    kErrHandle = 5,
    kErrFormat = 6,
    kErrPosition = 7,
    kErrInit = 8,
    kErrStart = 9,
    kErrAlready = 14,
    kErrIllType = 19,
    kErrIllParam = 20,
    kErrDevice = 23,
    kErrNotAvail = 37,
    kErrDecode = 38,
    kErrUnknown = -1,
};

} // namespace vokrin::engine
