#pragma once

#include <array>
#include <optional>
#include <string>

namespace vokrin::engine {

using Id3v1Block = std::array<char, 128>;

// The file's last 128 bytes when they start with "TAG"; nothing for a shorter file, a
// file without the tag, or one that cannot be read.
std::optional<Id3v1Block> readId3v1(const std::string &path);

} // namespace vokrin::engine
