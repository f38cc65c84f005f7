#pragma once

#include <cstddef>

namespace vokrin::crashreport {

// Runs `path` with `argv` (nullptr-terminated) as a child process without a shell and
// without the fork handlers of the C library (a crash may have happened inside malloc,
// whose locks those handlers take). The child may trace this process. `input` is written
// to the child's standard input, then closed; its standard output is read into `output`
// (zero-terminated, cut when full). A child still running after `timeoutMs` (-1: no
// limit) is killed. Returns the child's exit status, or -1 when it could not be started,
// was killed or did not exit normally. Only system calls: safe in a signal handler.
int runHelper(const char *path, const char *const *argv, const char *input, std::size_t inputLength,
              char *output, std::size_t outputCapacity, std::size_t *outputLength,
              int timeoutMs = -1);

} // namespace vokrin::crashreport
