// Audio files from outside: any bytes opened as a stream (decoding and played) and as a
// music module must decode, seek and play without reading outside their buffers, hanging
// or leaking; what a stream decodes never runs past a length it calls exact.
#include "audio/bass.h"
#include "audio/engine/engine_config.h"
#include "audio/engine/format_probe.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

#define check(condition) checkAt((condition), __LINE__)
void checkAt(bool condition, int line)
{
    if (!condition) {
        std::fprintf(stderr, "check failed at line %d of %s\n", line, __FILE__);
        std::abort();
    }
}

// The input as a file: a memory file, named through /proc.
struct InputFile
{
    int fd = memfd_create("fuzz-input", 0);
    std::string path = "/proc/self/fd/" + std::to_string(fd);
    void set(const uint8_t *data, std::size_t size)
    {
        check(ftruncate(fd, 0) == 0);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
            check(n > 0);
            done += static_cast<std::size_t>(n);
        }
    }
};

// Reads a decoding channel up to `limit` bytes; gives the bytes read.
uint64_t drain(DWORD channel, uint64_t limit)
{
    std::vector<char> block(16384);
    uint64_t total = 0;
    while (total < limit) {
        const DWORD got =
            BASS_ChannelGetData(channel, block.data(), static_cast<DWORD>(block.size()));
        if (got == 0 || got == static_cast<DWORD>(-1))
            break;
        total += got;
    }
    return total;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, std::size_t size)
{
    static InputFile input;
    static const bool ready = [] {
        vokrin::engine::setManualClock(true);
        return BASS_Init(0, 44100, 0, nullptr, nullptr) != 0;
    }();
    check(ready);
    input.set(data, size);

    // The probe on the bytes themselves.
    std::size_t at = 0;
    vokrin::engine::probeStreamFormat(data, size, &at);
    check(at <= size);

    constexpr uint64_t kLimit = 4u << 20; // enough of any stream to reach its odd corners
    const HSTREAM decoding = BASS_StreamCreateFile(FALSE, input.path.c_str(), 0, 0,
                                                   BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    if (decoding) {
        const QWORD length = BASS_StreamGetLength(decoding);
        check(length != static_cast<QWORD>(-1) && length > 0);
        const uint64_t decoded = drain(decoding, kLimit);
        (void)decoded;
        if (BASS_ChannelSetPosition(decoding, length / 2))
            drain(decoding, 65536);
        check(!BASS_ChannelSetPosition(decoding, length + 1024));
        BASS_StreamGetTags(decoding, BASS_TAG_ID3);
        check(BASS_StreamFree(decoding));

        // Played: the mixer, the downmix and the seeks the decode side makes.
        const HSTREAM played =
            BASS_StreamCreateFile(FALSE, input.path.c_str(), 0, 0, BASS_SAMPLE_FX);
        check(played != 0);
        check(BASS_ChannelPlay(played, FALSE));
        std::vector<float> out(2 * 4096);
        vokrin::engine::advanceManualClock(4096, out.data());
        BASS_ChannelSetPosition(played, length / 3);
        vokrin::engine::advanceManualClock(4096, out.data());
        for (float v : out)
            check(v == v); // never NaN
        BASS_ChannelStop(played);
        check(BASS_StreamFree(played));
    }

    const HMUSIC music =
        BASS_MusicLoad(FALSE, input.path.c_str(), 0, 0, BASS_MUSIC_DECODE | BASS_MUSIC_RAMP, 0);
    if (music) {
        drain(music, kLimit);
        check(BASS_MusicFree(music));
    }
    return 0;
}
