#include "channel.h"

#include "gains.h"

#include <algorithm>
#include <cstring>

namespace vokrin::engine {

namespace {

soxr_t makeResampler(int from, int to, int channels)
{
    if (from == to)
        return nullptr;
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_error_t error = nullptr;
    soxr_t resampler =
        soxr_create(from, to, static_cast<unsigned>(channels), &error, &io, &quality, nullptr);
    return error ? nullptr : resampler;
}

} // namespace

Channel::Channel(uint32_t handle_, ChannelKind kind_, bool decodeOnly_,
                 std::unique_ptr<Decoder> decoder_, int outRate_, std::size_t ringFrames,
                 std::optional<Id3v1Block> tags_)
    : handle(handle_), kind(kind_), decodeOnly(decodeOnly_), srcRate(decoder_->sampleRate()),
      channels(decoder_->channels()), lengthFrames(decoder_->lengthFrames()),
      outRate(decodeOnly_ ? decoder_->sampleRate() : outRate_), tags(tags_),
      chain(decodeOnly_ ? decoder_->sampleRate() : outRate_, decoder_->channels()),
      decoder(std::move(decoder_))
{
    const std::size_t ch = static_cast<std::size_t>(channels);
    pcm.resize(kDecodeChunk * ch);
    floats.resize(kDecodeChunk * ch);
    if (!decodeOnly) {
        resampler = makeResampler(srcRate, outRate, channels);
        // Room for one resampled chunk at any ratio we accept (up to 1:16), plus the
        // resampler's tail at the end.
        const std::size_t ratio = static_cast<std::size_t>(outRate / srcRate + 1);
        pending.resize((kDecodeChunk * ratio + 8192) * ch);
        ring = std::make_unique<SampleRing>(std::max<std::size_t>(ringFrames, kMaxBlock * 2),
                                            channels);
        mixScratch.resize(kMaxBlock * ch);
        history.reset(new std::atomic<float>[kHistory]);
        for (std::size_t i = 0; i < kHistory; ++i)
            history[i].store(0.0f, std::memory_order_relaxed);
    }
}

Channel::~Channel()
{
    if (resampler)
        soxr_delete(resampler);
}

void Channel::produce()
{
    const std::size_t ch = static_cast<std::size_t>(channels);
    for (;;) {
        if (pendingOffset < pendingFrames) {
            pendingOffset +=
                ring->write(&pending[pendingOffset * ch], pendingFrames - pendingOffset);
            if (pendingOffset < pendingFrames)
                return; // the ring is full
        }
        pendingOffset = pendingFrames = 0;
        if (sourceEnded) {
            if (!endPublished) {
                endIndex.store(ring->writeIndex(), std::memory_order_release);
                endPublished = true;
            }
            return;
        }
        if (ring->writableFrames() == 0)
            return;

        const long got = decoder->read(pcm.data(), kDecodeChunk);
        if (got <= 0) {
            // The end, or a decoding error: either way the channel ends here.
            sourceEnded = true;
            endFrame.store(decodedFrame, std::memory_order_relaxed);
            if (resampler) {
                std::size_t out = 0;
                soxr_process(resampler, nullptr, 0, nullptr, pending.data(), pending.size() / ch,
                             &out);
                pendingFrames = out;
            }
            continue;
        }
        decodedFrame += static_cast<uint64_t>(got);
        const std::size_t samples = static_cast<std::size_t>(got) * ch;
        for (std::size_t i = 0; i < samples; ++i)
            floats[i] = static_cast<float>(pcm[i]) * (1.0f / 32768.0f);
        if (!resampler) {
            std::memcpy(pending.data(), floats.data(), samples * sizeof(float));
            pendingFrames = static_cast<std::size_t>(got);
            continue;
        }
        std::size_t used = 0;
        std::size_t made = 0;
        soxr_process(resampler, floats.data(), static_cast<std::size_t>(got), &used, pending.data(),
                     pending.size() / ch, &made);
        pendingFrames = made;
    }
}

bool Channel::seekLocked(uint64_t frame)
{
    if (frame > lengthFrames)
        return false;
    if (!decoder->seek(frame))
        return false;
    decodedFrame = frame;
    sourceEnded = false;
    endPublished = false;
    pendingFrames = pendingOffset = 0;
    if (decodeOnly) {
        readFrame = frame;
        readEnded = false;
        return true;
    }
    if (resampler)
        soxr_clear(resampler);
    // Tell the mixer: whatever sits in the ring before its current write index is stale.
    // A sequence lock: odd while written. The payload is stored with release so a mixer
    // that reads a new value also sees the odd count and tries again later.
    const uint64_t seq = flushSeq.load(std::memory_order_relaxed);
    flushSeq.store(seq + 1, std::memory_order_relaxed);
    endIndex.store(UINT64_MAX, std::memory_order_release);
    flushIndex.store(ring->writeIndex(), std::memory_order_release);
    flushFrame.store(frame, std::memory_order_release);
    flushSeq.store(seq + 2, std::memory_order_release);
    return true;
}

long Channel::readDecoded(float *out, long frames)
{
    const std::size_t ch = static_cast<std::size_t>(channels);
    long done = 0;
    while (done < frames && !readEnded) {
        const long want = std::min<long>(frames - done, kDecodeChunk);
        const long got = decoder->read(pcm.data(), want);
        if (got <= 0) {
            readEnded = true;
            break;
        }
        float *dst = out + static_cast<std::size_t>(done) * ch;
        const std::size_t samples = static_cast<std::size_t>(got) * ch;
        for (std::size_t i = 0; i < samples; ++i)
            dst[i] = static_cast<float>(pcm[i]) * (1.0f / 32768.0f);
        chain.process(dst, static_cast<int>(got));
        done += got;
        readFrame += static_cast<uint64_t>(got);
    }
    return done;
}

bool Channel::takeFlush() noexcept
{
    const uint64_t seq = flushSeq.load(std::memory_order_acquire);
    if (seq == mixSeq || (seq & 1) != 0)
        return false;
    const uint64_t index = flushIndex.load(std::memory_order_acquire);
    const uint64_t frame = flushFrame.load(std::memory_order_acquire);
    if (flushSeq.load(std::memory_order_relaxed) != seq)
        return false; // being rewritten: take it up next time
    // Never backwards: if two seeks raced one mixer pass, a few frames of the newer
    // place may already have been played, which is better than replaying stale ones.
    if (index > ring->readIndex())
        ring->skipTo(index);
    mixSeq = seq;
    mixBase = frame;
    mixOutFrames = 0;
    mixedFrame.store(frame, std::memory_order_relaxed);
    ackBase.store(frame, std::memory_order_relaxed);
    ackSeq.store(seq, std::memory_order_release);
    return true;
}

void Channel::mixInto(float *out, int frames) noexcept
{
    // Order matters: the play serial, then the ring's write index, then the flush. A write
    // index seen here was published before any flush we have not seen yet, so reading up
    // to it never crosses into data that belongs after a seek.
    const uint32_t serial = playSerial.load(std::memory_order_acquire);
    uint64_t limit = ring->publishedWriteIndex();
    if (takeFlush()) {
        // Only now may frames written after the seek be read.
        limit = ring->publishedWriteIndex();
    }

    if (!playing.load(std::memory_order_acquire) ||
        endedSerial.load(std::memory_order_relaxed) == serial)
        return;

    const std::size_t ch = static_cast<std::size_t>(channels);
    const uint64_t available = limit - ring->readIndex();
    const int n = static_cast<int>(std::min<uint64_t>(available, static_cast<uint64_t>(frames)));
    if (n > 0) {
        ring->read(mixScratch.data(), static_cast<std::size_t>(n));
        chain.process(mixScratch.data(), n);

        uint64_t written = historyCount.load(std::memory_order_relaxed);
        const float share = 1.0f / static_cast<float>(ch);
        for (int i = 0; i < n; ++i) {
            float sum = 0.0f;
            for (std::size_t c = 0; c < ch; ++c)
                sum += mixScratch[static_cast<std::size_t>(i) * ch + c];
            history[(written + static_cast<uint64_t>(i)) % kHistory].store(
                sum * share, std::memory_order_relaxed);
        }
        historyCount.store(written + static_cast<uint64_t>(n), std::memory_order_release);

        const float gain = channelGain(volume.load(std::memory_order_relaxed));
        const BalanceGains balance = balanceGains(pan.load(std::memory_order_relaxed));
        const float gl = gain * balance.left;
        const float gr = gain * balance.right;
        for (int i = 0; i < n; ++i) {
            const float *s = &mixScratch[static_cast<std::size_t>(i) * ch];
            const float left = s[0];
            const float right = ch > 1 ? s[1] : s[0];
            out[2 * i] += left * gl;
            out[2 * i + 1] += right * gr;
        }
        mixOutFrames += static_cast<uint64_t>(n);
        const uint64_t at = mixBase + mixOutFrames * static_cast<uint64_t>(srcRate) /
                                          static_cast<uint64_t>(outRate);
        mixedFrame.store(std::min(at, lengthFrames), std::memory_order_relaxed);
    }
    if (n < frames) {
        if (ring->readIndex() == endIndex.load(std::memory_order_acquire)) {
            mixedFrame.store(endFrame.load(std::memory_order_relaxed), std::memory_order_relaxed);
            stalled.store(false, std::memory_order_relaxed);
            endedSerial.store(serial, std::memory_order_release);
        } else {
            stalled.store(true, std::memory_order_relaxed);
        }
    } else {
        stalled.store(false, std::memory_order_relaxed);
    }
}

} // namespace vokrin::engine
