#pragma once

#include <string>
#include <vector>

namespace vokrin::demo {

// Encodes interleaved float samples as an Ogg Vorbis file (quality 0.5). Throws
// std::runtime_error with the path and the reason when it cannot.
void writeOggVorbis(const std::string &path, const std::vector<float> &interleaved, int channels,
                    int rate);

} // namespace vokrin::demo
