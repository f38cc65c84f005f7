#include "format_probe.h"

#include "source_file.h"

#include <cstring>
#include <vector>

namespace vokrin::engine {

namespace {

bool startsWith(const uint8_t *head, std::size_t size, std::size_t at, const char *magic)
{
    const std::size_t n = std::strlen(magic);
    return size >= at + n && std::memcmp(head + at, magic, n) == 0;
}

bool sameStream(const uint8_t *a, const uint8_t *b)
{
    // Version, layer and sample rate stay the same from frame to frame.
    return (a[1] & 0x1E) == (b[1] & 0x1E) && (a[2] & 0x0C) == (b[2] & 0x0C);
}

// Valid frames in a row from `at`, up to `want`. Runs off the end of the bytes count as
// `want` only when `wholeRest` says the bytes are all there is.
int framesInARow(const uint8_t *head, std::size_t size, std::size_t at, int want, bool wholeRest)
{
    int count = 0;
    const uint8_t *first = head + at;
    while (count < want) {
        if (at + 4 > size)
            return wholeRest && count > 0 && at == size ? want : count;
        const int length = mpegFrameLength(head + at);
        if (length <= 0 || !sameStream(first, head + at))
            return count;
        ++count;
        at += static_cast<std::size_t>(length);
    }
    return count;
}

StreamFormat containerAt(const uint8_t *head, std::size_t size, std::size_t at)
{
    if (startsWith(head, size, at, "OggS"))
        return StreamFormat::Vorbis;
    if ((startsWith(head, size, at, "RIFF") || startsWith(head, size, at, "RIFX") ||
         startsWith(head, size, at, "RF64")) &&
        startsWith(head, size, at + 8, "WAVE"))
        return StreamFormat::Sndfile;
    if (startsWith(head, size, at, "FORM") &&
        (startsWith(head, size, at + 8, "AIFF") || startsWith(head, size, at + 8, "AIFC")))
        return StreamFormat::Sndfile;
    if (startsWith(head, size, at, "fLaC"))
        return StreamFormat::Sndfile;
    return StreamFormat::Unknown;
}

StreamFormat probe(const uint8_t *head, std::size_t size, std::size_t *found, bool wholeRest)
{
    // Padding some taggers leave after a tag.
    std::size_t start = 0;
    while (start < size && start < 4096 && head[start] == 0)
        ++start;
    if (const StreamFormat container = containerAt(head, size, start);
        container != StreamFormat::Unknown) {
        *found = start;
        return container;
    }
    // MPEG audio right here, or after junk.
    for (std::size_t at = start; at + 4 <= size; ++at) {
        if (head[at] != 0xFF)
            continue;
        const int want = at == start ? 2 : 3;
        if (framesInARow(head, size, at, want, wholeRest) >= want) {
            *found = at;
            return StreamFormat::Mpeg;
        }
    }
    return StreamFormat::Unknown;
}

uint32_t le32(const uint8_t *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

bool readExactly(const SourceFile &file, uint64_t at, void *out, std::size_t bytes)
{
    return file.readAt(at, out, bytes) == static_cast<long>(bytes);
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

StreamFormat probeStreamFormat(const uint8_t *head, std::size_t size, std::size_t *at)
{
    std::size_t found = 0;
    const StreamFormat format = probe(head, size, &found, true);
    if (at)
        *at = found;
    return format;
}

uint64_t id3v2TagSize(const uint8_t *p)
{
    if (std::memcmp(p, "ID3", 3) != 0 || p[3] < 2 || p[3] > 4 || p[4] == 0xFF)
        return 0;
    for (int i = 6; i < 10; ++i)
        if (p[i] & 0x80)
            return 0;
    const uint64_t body =
        (uint64_t(p[6]) << 21) | (uint64_t(p[7]) << 14) | (uint64_t(p[8]) << 7) | uint64_t(p[9]);
    const bool footer = p[3] == 4 && (p[5] & 0x10) != 0;
    return 10 + body + (footer ? 10 : 0);
}

uint64_t audioEndBeforeTrailingTags(const SourceFile &file, uint64_t begin, uint64_t end)
{
    for (int round = 0; round < 16; ++round) {
        const uint64_t room = end - begin;
        uint8_t tail[32];
        // ID3v1, and the extended block some taggers put in front of it.
        if (room >= 128 && readExactly(file, end - 128, tail, 3) &&
            std::memcmp(tail, "TAG", 3) == 0) {
            end -= 128;
            if (end - begin >= 227 && readExactly(file, end - 227, tail, 4) &&
                std::memcmp(tail, "TAG+", 4) == 0)
                end -= 227;
            continue;
        }
        // APEv2 (or APEv1) footer: its size counts the items and the footer.
        if (room >= 32 && readExactly(file, end - 32, tail, 32) &&
            std::memcmp(tail, "APETAGEX", 8) == 0) {
            const uint64_t size = le32(tail + 12);
            const bool header = (le32(tail + 20) & 0x80000000u) != 0;
            const uint64_t whole = size + (header ? 32 : 0);
            if (size >= 32 && whole <= room) {
                end -= whole;
                continue;
            }
        }
        // Lyrics3 v2: "LYRICSBEGIN" ... six digits of size, "LYRICS200".
        if (room >= 15 + 11 && readExactly(file, end - 15, tail, 15) &&
            std::memcmp(tail + 6, "LYRICS200", 9) == 0) {
            uint64_t size = 0;
            bool digits = true;
            for (int i = 0; i < 6; ++i) {
                digits &= tail[i] >= '0' && tail[i] <= '9';
                size = size * 10 + static_cast<uint64_t>(tail[i] - '0');
            }
            uint8_t mark[11];
            if (digits && size + 15 <= room && readExactly(file, end - 15 - size, mark, 11) &&
                std::memcmp(mark, "LYRICSBEGIN", 11) == 0) {
                end -= size + 15;
                continue;
            }
        }
        // Lyrics3 v1: "LYRICSBEGIN" somewhere in the 5100 bytes before "LYRICSEND".
        if (room >= 9 + 11 && readExactly(file, end - 9, tail, 9) &&
            std::memcmp(tail, "LYRICSEND", 9) == 0) {
            const uint64_t span = std::min<uint64_t>(room - 9, 5100);
            std::vector<uint8_t> block(static_cast<std::size_t>(span));
            if (readExactly(file, end - 9 - span, block.data(), block.size())) {
                bool found = false;
                for (std::size_t i = 0; i + 11 <= block.size(); ++i)
                    if (std::memcmp(&block[i], "LYRICSBEGIN", 11) == 0) {
                        end = end - 9 - span + i;
                        found = true;
                        break;
                    }
                if (found)
                    continue;
            }
        }
        // An ID3v2 tag appended at the end, found by its footer.
        if (room >= 20 && readExactly(file, end - 10, tail, 10) &&
            std::memcmp(tail, "3DI", 3) == 0) {
            std::memcpy(tail, "ID3", 3);
            const uint64_t whole = id3v2TagSize(tail); // header + body + footer
            if (whole >= 20 && whole <= room) {
                end -= whole;
                continue;
            }
        }
        break;
    }
    return end;
}

ProbedFile probeFile(const SourceFile &file)
{
    ProbedFile result;
    const uint64_t size = file.size();
    uint64_t begin = 0;
    // Tags in a row, each stepped over by its header.
    for (int tags = 0; tags < 64 && begin + 10 <= size; ++tags) {
        uint8_t header[10];
        if (!readExactly(file, begin, header, 10))
            break;
        const uint64_t tag = id3v2TagSize(header);
        if (tag == 0)
            break;
        begin += tag;
    }
    if (begin >= size)
        return result;

    // Audio usually starts right here. A little is read first; only a file that does not
    // show what it is in that gets a longer look (junk in front of the first frame).
    std::vector<uint8_t> head;
    std::size_t found = 0;
    const uint64_t rest = size - begin;
    for (std::size_t look = 16 * 1024;; look *= 2) {
        // Grows what has been read without reading any of it twice.
        const std::size_t had = head.size();
        const std::size_t want = static_cast<std::size_t>(std::min<uint64_t>(rest, look));
        head.resize(want);
        const long got = file.readAt(begin + had, head.data() + had, want - had);
        if (got < 0)
            return result;
        head.resize(had + static_cast<std::size_t>(got));
        result.format = probe(head.data(), head.size(), &found, head.size() == rest);
        if (result.format != StreamFormat::Unknown || head.size() == rest || got == 0 ||
            look >= 1024 * 1024)
            break;
    }
    if (result.format == StreamFormat::Unknown)
        return result;
    result.begin = begin + found;
    result.end = size;
    if (result.format == StreamFormat::Mpeg)
        result.end = audioEndBeforeTrailingTags(file, result.begin, size);
    return result;
}

} // namespace vokrin::engine
