#pragma once

#include "audio/engine/dsp/effect_chain.h"
#include "decoder.h"
#include "id3v1.h"
#include "sample_ring.h"

#include <soxr.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace vokrin::engine {

enum class ChannelKind { Stream, Music };

// One open stream or music module. Three parties touch it, each through its own fields:
// the API (under the engine's lock), the producer (decoding, under decodeLock) and the
// mixer (lock-free, on the audio thread). Fields are grouped by who writes them.
struct Channel
{
    Channel(uint32_t handle, ChannelKind kind, bool decodeOnly, std::unique_ptr<Decoder> decoder,
            int outRate, std::size_t ringFrames, std::optional<Id3v1Block> tags);
    ~Channel();
    Channel(const Channel &) = delete;
    Channel &operator=(const Channel &) = delete;

    const uint32_t handle;
    const ChannelKind kind;
    const bool decodeOnly; // read by BASS_ChannelGetData, never played
    const int srcRate;     // the decoded data's rate: positions count frames of it
    const int channels;
    // Exact once lengthExact; until then the decoder's estimate, made exact by the scan.
    std::atomic<uint64_t> lengthFrames;
    std::atomic<bool> lengthExact;
    const LengthScan lengthScan; // empty when the length is exact from the start
    std::atomic<bool> scanCancel{false};
    std::atomic<bool> scanRequested{false};
    const std::vector<StereoGains> downmix; // each channel's share of left and right
    const int outRate; // rate the effects run at: the device's, or srcRate when decoding
    const std::optional<Id3v1Block> tags;
    EffectChain chain;

    // ---- producer: everything below is guarded by decodeLock ----
    std::mutex decodeLock;
    std::unique_ptr<Decoder> decoder;
    soxr_t resampler = nullptr;
    uint64_t decodedFrame = 0; // next source frame the decoder gives
    bool sourceEnded = false;
    bool endPublished = false;
    std::vector<int16_t> pcm;
    std::vector<float> floats;
    std::vector<float> pending; // resampled frames not yet in the ring
    std::size_t pendingFrames = 0;
    std::size_t pendingOffset = 0;
    std::unique_ptr<SampleRing> ring; // null for decoding channels

    // Decodes until the ring is full or the source has ended; a seek the API asked for
    // is made first.
    void produce();
    // Moves the decoder to `frame` and tells the mixer to drop what is queued. Caller
    // holds decodeLock.
    bool seekLocked(uint64_t frame, uint64_t request = 0);
    uint64_t seekServiced = 0; // the last seek request made
    // Decoding channels: reads up to `frames` frames through the effects into `out`
    // (interleaved floats). Caller holds decodeLock.
    long readDecoded(float *out, long frames);

    // ---- API → producer: a seek to make (played channels). The API never waits for
    // the decoder: it leaves the request, and positions read the target until the mixer
    // has taken up the flush that answers it.
    std::atomic<uint64_t> seekTarget{0};
    std::atomic<uint64_t> seekRequested{0};
    // Asks for a seek. Callers are serialised by the engine's lock.
    void requestSeek(uint64_t frame) noexcept;
    bool seekPending() const noexcept;

    // ---- API → mixer ----
    std::atomic<bool> playing{false};
    std::atomic<bool> everPlayed{false}; // from then on it decodes ahead
    std::atomic<uint32_t> playSerial{0};
    std::atomic<int> volume{100};
    std::atomic<int> pan{0};
    // A flush: "drop everything before ring index flushIndex; it holds source frame
    // flushFrame". flushSeq is odd while the API writes it (a sequence lock).
    std::atomic<uint64_t> flushSeq{0};
    std::atomic<uint64_t> flushIndex{0};
    std::atomic<uint64_t> flushFrame{0};
    std::atomic<uint64_t> flushRequest{0}; // the seek request the flush answers

    // ---- producer → mixer ----
    std::atomic<uint64_t> endIndex{UINT64_MAX}; // ring index just past the last frame
    std::atomic<uint64_t> endFrame{0};          // source frame where the data ended

    // ---- mixer's own ----
    uint64_t mixSeq = 0;
    uint64_t mixRequest = 0;
    uint64_t mixBase = 0;
    uint64_t mixOutFrames = 0;
    std::vector<float> mixScratch;

    // ---- mixer → API ----
    std::atomic<uint64_t> ackSeq{0};
    std::atomic<uint64_t> ackBase{0};
    std::atomic<uint64_t> ackRequest{0};
    std::atomic<uint64_t> mixedFrame{0}; // source frame just past what the mixer has output
    std::atomic<uint32_t> endedSerial{UINT32_MAX};
    std::atomic<bool> stalled{false};
    static constexpr std::size_t kHistory = 16384; // mono, at outRate, for the FFT
    std::unique_ptr<std::atomic<float>[]> history;
    std::atomic<uint64_t> historyCount{0};

    // Takes up a seek the API has published: drops the stale frames from the ring.
    // Consumer side only (the mixer, or the manual clock before it decodes).
    // true when it did (the ring's contents changed meaning).
    bool takeFlush() noexcept;
    // Mixes up to `frames` frames into the stereo buffer `out`. Audio thread only.
    void mixInto(float *out, int frames) noexcept;

    // Decoding channels: frames handed out so far (guarded by decodeLock).
    uint64_t readFrame = 0;
    bool readEnded = false;

    static constexpr int kMaxBlock = 4096;
    static constexpr int kDecodeChunk = 2048;
};

} // namespace vokrin::engine
