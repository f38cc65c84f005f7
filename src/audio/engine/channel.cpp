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

std::vector<StereoGains> downmixFor(const Decoder &decoder)
{
    std::vector<Speaker> layout = decoder.layout();
    if (static_cast<int>(layout.size()) != decoder.channels())
        layout = waveLayout(decoder.channels());
    if (static_cast<int>(layout.size()) != decoder.channels())
        layout.assign(static_cast<std::size_t>(decoder.channels()), Speaker::Unknown);
    return stereoDownmix(layout);
}

} // namespace

Channel::Channel(uint32_t handle_, ChannelKind kind_, bool decodeOnly_,
                 std::unique_ptr<Decoder> decoder_, int outRate_, std::size_t ringFrames,
                 std::optional<Id3v1Block> tags_)
    : handle(handle_), kind(kind_), decodeOnly(decodeOnly_), srcRate(decoder_->sampleRate()),
      channels(decoder_->channels()), lengthFrames(decoder_->lengthFrames()),
      lengthExact(decoder_->lengthExact()), lengthScan(decoder_->lengthScan()),
      downmix(downmixFor(*decoder_)), outRate(decodeOnly_ ? decoder_->sampleRate() : outRate_),
      tags(tags_), chain(decodeOnly_ ? decoder_->sampleRate() : outRate_, decoder_->channels()),
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
    scanCancel.store(true);
    if (resampler)
        soxr_delete(resampler);
}

void Channel::produce()
{
    const std::size_t ch = static_cast<std::size_t>(channels);
    for (;;) {
        // A seek the API asked for comes before anything else.
        const uint64_t request = seekRequested.load(std::memory_order_acquire);
        if (request != seekServiced) {
            seekServiced = request;
            seekLocked(seekTarget.load(std::memory_order_relaxed), request);
        }
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

bool Channel::seekLocked(uint64_t frame, uint64_t request)
{
    if (lengthExact.load() && frame > lengthFrames.load())
        return false;
    const bool reached = decoder->seek(frame);
    if (decodeOnly) {
        if (!reached)
            return false;
        decodedFrame = frame;
        readFrame = frame;
        readEnded = false;
        return true;
    }
    // A place the decoder cannot reach (past the end of a stream whose length is still
    // an estimate) ends the channel there.
    decodedFrame = frame;
    sourceEnded = !reached;
    endPublished = false;
    endFrame.store(frame, std::memory_order_relaxed);
    pendingFrames = pendingOffset = 0;
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
    flushRequest.store(request, std::memory_order_release);
    flushSeq.store(seq + 2, std::memory_order_release);
    return reached;
}

void Channel::requestSeek(uint64_t frame) noexcept
{
    seekTarget.store(frame, std::memory_order_relaxed);
    seekRequested.fetch_add(1, std::memory_order_release);
}

bool Channel::seekPending() const noexcept
{
    return seekRequested.load(std::memory_order_acquire) !=
           ackRequest.load(std::memory_order_acquire);
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
    const uint64_t request = flushRequest.load(std::memory_order_acquire);
    if (flushSeq.load(std::memory_order_relaxed) != seq)
        return false; // being rewritten: take it up next time
    // Never backwards: if two seeks raced one mixer pass, a few frames of the newer
    // place may already have been played, which is better than replaying stale ones.
    if (index > ring->readIndex())
        ring->skipTo(index);
    mixSeq = seq;
    mixRequest = request;
    mixBase = frame;
    mixOutFrames = 0;
    mixedFrame.store(frame, std::memory_order_relaxed);
    ackBase.store(frame, std::memory_order_relaxed);
    ackRequest.store(request, std::memory_order_relaxed);
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
    // A seek the decoder has not made yet: what the ring holds is from the old place.
    if (seekRequested.load(std::memory_order_acquire) != mixRequest)
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
        if (ch == 2 && downmix[0].left == 1.0f && downmix[1].right == 1.0f) {
            for (int i = 0; i < n; ++i) {
                out[2 * i] += mixScratch[2 * static_cast<std::size_t>(i)] * gl;
                out[2 * i + 1] += mixScratch[2 * static_cast<std::size_t>(i) + 1] * gr;
            }
        } else {
            for (int i = 0; i < n; ++i) {
                const float *s = &mixScratch[static_cast<std::size_t>(i) * ch];
                float left = 0.0f;
                float right = 0.0f;
                for (std::size_t c = 0; c < ch; ++c) {
                    left += s[c] * downmix[c].left;
                    right += s[c] * downmix[c].right;
                }
                out[2 * i] += left * gl;
                out[2 * i + 1] += right * gr;
            }
        }
        mixOutFrames += static_cast<uint64_t>(n);
        const uint64_t at = mixBase + mixOutFrames * static_cast<uint64_t>(srcRate) /
                                          static_cast<uint64_t>(outRate);
        mixedFrame.store(lengthExact.load(std::memory_order_relaxed)
                             ? std::min(at, lengthFrames.load(std::memory_order_relaxed))
                             : at,
                         std::memory_order_relaxed);
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
