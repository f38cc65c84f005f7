#pragma once

#include "throw_capture.h"

#include <QString>
#include <exception>
#include <functional>

namespace vokrin::crashreport {

struct ExceptionDescription
{
    QString className; // demangled C++ type
    QString message;
};

// The type and message of `error`; the message of a type that is not a std::exception
// says so.
ExceptionDescription describeException(std::exception_ptr error);

// The full report of an exception caught on this thread: the header, then the stacks,
// modules, hardware and code. `site` is where it was thrown (count 0 when unknown).
// When composing fails, the text so far is followed by an empty line, "An exception
// occurred during composing the bug report." and the failing address.
QString composeExceptionReport(const ExceptionDescription &exception, const ThrowSite &site);

// The same with the sections after the header made by `sections` (tests make it fail).
QString composeExceptionReport(const ExceptionDescription &exception, const ThrowSite &site,
                               const std::function<QString()> &sections);

} // namespace vokrin::crashreport
