#pragma once

#include <cstddef>
#include <cstdint>

namespace vokrin::engine {

enum class StreamFormat { Unknown, Mpeg, Vorbis, Sndfile };

// Decides which decoder a file needs from its first bytes (callers pass up to the first
// 64 KiB). The extension plays no part. MPEG audio needs two consecutive valid frame
// headers (after an optional ID3v2 tag), so random bytes that happen to contain a sync
// word are not taken for MPEG.
StreamFormat probeStreamFormat(const uint8_t *head, std::size_t size);

// Length in bytes of the MPEG audio frame whose header is at p (4 bytes), or 0 when
// the four bytes are not a valid header. Free-format frames count as invalid.
int mpegFrameLength(const uint8_t *p);

} // namespace vokrin::engine
