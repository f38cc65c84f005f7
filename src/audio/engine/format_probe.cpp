#include "format_probe.h"

#include <cstring>

namespace vokrin::engine {

namespace {

bool startsWith(const uint8_t *head, std::size_t size, std::size_t at, const char *magic)
{
    const std::size_t n = std::strlen(magic);
    return size >= at + n && std::memcmp(head + at, magic, n) == 0;
}

// Size of an ID3v2 tag at the start of the data (header + body + footer), 0 when none.
std::size_t id3v2Size(const uint8_t *head, std::size_t size)
{
    if (size < 10 || !startsWith(head, size, 0, "ID3"))
        return 0;
    for (int i = 6; i < 10; ++i)
        if (head[i] & 0x80)
            return 0;
    std::size_t body = (std::size_t(head[6]) << 21) | (std::size_t(head[7]) << 14) |
                       (std::size_t(head[8]) << 7) | std::size_t(head[9]);
    const bool footer = (head[5] & 0x10) != 0;
    return 10 + body + (footer ? 10 : 0);
}

bool sameStream(const uint8_t *a, const uint8_t *b)
{
    // Version, layer and sample rate stay the same from frame to frame.
    return (a[1] & 0x1E) == (b[1] & 0x1E) && (a[2] & 0x0C) == (b[2] & 0x0C);
}

} // namespace

int mpegFrameLength(const uint8_t *p)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return 0;
    const int version = (p[1] >> 3) & 3; // 0: 2.5, 1: reserved, 2: 2, 3: 1
    const int layer = (p[1] >> 1) & 3;   // 1: III, 2: II, 3: I
    const int bitrateIndex = (p[2] >> 4) & 15;
    const int rateIndex = (p[2] >> 2) & 3;
    const int padding = (p[2] >> 1) & 1;
    if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return 0;
    static const int kBitrates[2][3][15] = {
        // MPEG 1: layer I, II, III
        {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
         {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
         {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
        // MPEG 2 and 2.5: layer I, II, III
        {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
         {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
    static const int kRates[3] = {44100, 48000, 32000};
    const bool mpeg1 = version == 3;
    const int layerNumber = 4 - layer; // 1, 2 or 3
    const int rate = kRates[rateIndex] >> (mpeg1 ? 0 : (version == 2 ? 1 : 2));
    const int bitrate = kBitrates[mpeg1 ? 0 : 1][layerNumber - 1][bitrateIndex] * 1000;
    if (layerNumber == 1)
        return (12 * bitrate / rate + padding) * 4;
    if (layerNumber == 3 && !mpeg1)
        return 72 * bitrate / rate + padding;
    return 144 * bitrate / rate + padding;
}

StreamFormat probeStreamFormat(const uint8_t *head, std::size_t size)
{
    if (startsWith(head, size, 0, "OggS"))
        return StreamFormat::Vorbis;
    if ((startsWith(head, size, 0, "RIFF") || startsWith(head, size, 0, "RIFX") ||
         startsWith(head, size, 0, "RF64")) &&
        startsWith(head, size, 8, "WAVE"))
        return StreamFormat::Sndfile;
    if (startsWith(head, size, 0, "FORM") &&
        (startsWith(head, size, 8, "AIFF") || startsWith(head, size, 8, "AIFC")))
        return StreamFormat::Sndfile;
    if (startsWith(head, size, 0, "fLaC"))
        return StreamFormat::Sndfile;

    // MPEG audio: look for two frames in a row, after any ID3v2 tag.
    std::size_t start = id3v2Size(head, size);
    for (std::size_t at = start; at + 4 <= size; ++at) {
        const int length = mpegFrameLength(head + at);
        if (length <= 0)
            continue;
        const std::size_t next = at + static_cast<std::size_t>(length);
        if (next + 4 <= size) {
            if (mpegFrameLength(head + next) > 0 && sameStream(head + at, head + next))
                return StreamFormat::Mpeg;
        } else if (at == start) {
            // A file of a single frame right where the audio should begin.
            return StreamFormat::Mpeg;
        }
    }
    return StreamFormat::Unknown;
}

} // namespace vokrin::engine
