#pragma once

#include <filesystem>
#include <string>

namespace vokrin::testing {

// Makes a fresh temporary folder and points XDG_CONFIG_HOME (and the other XDG
// folders the program may write to) at it, so no test reads or writes the real home.
// Returns the folder; it is removed when the process ends normally.
std::filesystem::path isolateUserFolders();

// The source tree and build tree of this checkout (from CTest's environment).
std::filesystem::path sourceDir();
std::filesystem::path binaryDir();

// A fresh empty folder below the process's temporary root.
std::filesystem::path makeTempDir(const std::string &prefix);

} // namespace vokrin::testing
