#include "id3v1.h"

#include <cstdio>
#include <cstring>

namespace vokrin::engine {

std::optional<Id3v1Block> readId3v1(const std::string &path)
{
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (!file)
        return std::nullopt;
    Id3v1Block block{};
    const bool ok = std::fseek(file, -128, SEEK_END) == 0 &&
                    std::fread(block.data(), 1, block.size(), file) == block.size();
    std::fclose(file);
    if (!ok || std::memcmp(block.data(), "TAG", 3) != 0)
        return std::nullopt;
    return block;
}

} // namespace vokrin::engine
