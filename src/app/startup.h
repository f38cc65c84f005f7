#pragma once

namespace vokrin::app {

// The whole life of the program: crash reporter, application, splash, main window.
// Returns the process exit code.
int runProgram(int argc, char **argv);

} // namespace vokrin::app
