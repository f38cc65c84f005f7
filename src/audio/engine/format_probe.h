#pragma once

#include <cstddef>
#include <cstdint>

namespace vokrin::engine {

class SourceFile;

enum class StreamFormat { Unknown, Mpeg, Vorbis, Sndfile };

// Decides which decoder a block of bytes needs (the bytes that follow any ID3v2 tags).
// The extension plays no part. MPEG audio needs two valid frame headers in a row right
// at the start, or three in a row after junk, so random bytes that happen to contain a
// sync word are not taken for MPEG. `at` receives where the audio starts.
StreamFormat probeStreamFormat(const uint8_t *head, std::size_t size, std::size_t *at = nullptr);

// Length in bytes of the MPEG audio frame whose header is at p (4 bytes), or 0 when
// the four bytes are not a valid header. Free-format frames count as invalid.
int mpegFrameLength(const uint8_t *p);

// Where in a file the audio is, and which decoder reads it.
struct ProbedFile
{
    StreamFormat format = StreamFormat::Unknown;
    uint64_t begin = 0; // first byte of the audio (past ID3v2 tags and junk)
    uint64_t end = 0;   // just past the audio (before ID3v1, Lyrics3, APEv2, ID3v2 footer)
};

// Looks at a file: steps over every ID3v2 tag at its start by its header alone (so a tag
// with a large picture costs ten bytes of reading), reads a little of what follows, and,
// for MPEG audio, the tag blocks at the end. Reads well under 64 KiB of a playable file.
ProbedFile probeFile(const SourceFile &file);

// Size of the ID3v2 tag (header, body and footer) whose header is at p (10 bytes), or 0.
uint64_t id3v2TagSize(const uint8_t *p);

// The end of the audio of [begin, end): before every tag block found at its end.
uint64_t audioEndBeforeTrailingTags(const SourceFile &file, uint64_t begin, uint64_t end);

} // namespace vokrin::engine
