// The engine's channel calls: open, free, play, positions, attributes, data and tags.
#include "engine.h"

#include "errors.h"
#include "spectrum.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace vokrin::engine {

namespace {

int errorFor(OpenError error)
{
    switch (error) {
    case OpenError::FileOpen:
        return kErrFileOpen;
    case OpenError::Memory:
        return kErrMem;
    case OpenError::Format:
    case OpenError::None:
        break;
    }
    return kErrFormat;
}

uint64_t frameBytes(const Channel &channel)
{
    return 2u * static_cast<uint64_t>(channel.channels);
}

} // namespace

std::shared_ptr<Channel> Engine::findLocked(uint32_t handle)
{
    auto it = m_channels.find(handle);
    if (it == m_channels.end()) {
        setLastError(m_initialised ? kErrHandle : kErrInit);
        return nullptr;
    }
    return it->second;
}

uint32_t Engine::addChannel(std::unique_ptr<Decoder> decoder, ChannelKind kind, bool decode,
                            const std::string &path, bool prescan)
{
    std::optional<Id3v1Block> tags;
    if (kind == ChannelKind::Stream)
        tags = readId3v1(path);
    std::lock_guard lock(m_lock);
    if (!m_initialised) {
        setLastError(kErrInit);
        return 0;
    }
    const std::size_t ringFrames =
        static_cast<std::size_t>(m_bufferMs.load()) * static_cast<std::size_t>(m_rate) / 1000;
    const uint32_t handle = m_nextHandle++;
    auto channel = std::make_shared<Channel>(handle, kind, decode, std::move(decoder), m_rate,
                                             ringFrames, tags);
    if (prescan && !channel->lengthExact.load() && channel->lengthScan) {
        // Asked for: the exact length now, on the caller's thread.
        if (const uint64_t exact = channel->lengthScan(channel->scanCancel); exact > 0) {
            channel->lengthFrames.store(exact);
            channel->lengthExact.store(true);
        }
    }
    m_channels.emplace(handle, channel);
    if (!decode) {
        publishLocked();
        wakeDecoder();
    }
    reclaimLocked();
    setLastError(kOk);
    return handle;
}

uint32_t Engine::createStream(const std::string &path, bool decode, bool prescan)
{
    {
        std::lock_guard lock(m_lock);
        if (!m_initialised) {
            setLastError(kErrInit);
            return 0;
        }
    }
    // Opening reads the headers only, outside the API lock.
    OpenError error = OpenError::None;
    std::unique_ptr<Decoder> decoder = openStreamDecoder(path, error);
    if (!decoder) {
        setLastError(errorFor(error));
        return 0;
    }
    return addChannel(std::move(decoder), ChannelKind::Stream, decode, path, prescan);
}

uint32_t Engine::loadMusic(const std::string &path, bool decode, uint32_t freq)
{
    int rate = 0;
    {
        std::lock_guard lock(m_lock);
        if (!m_initialised) {
            setLastError(kErrInit);
            return 0;
        }
        // A played module renders at the device rate; a decoding one at the rate asked
        // for (0: the device's).
        rate = freq == 0 || !decode ? m_rate : static_cast<int>(freq);
    }
    if (rate < 8000 || rate > 192000) {
        setLastError(kErrIllParam);
        return 0;
    }
    OpenError error = OpenError::None;
    std::unique_ptr<Decoder> decoder = openMusicDecoder(path, rate, error);
    if (!decoder) {
        setLastError(errorFor(error));
        return 0;
    }
    return addChannel(std::move(decoder), ChannelKind::Music, decode, path, false);
}

bool Engine::freeChannel(uint32_t handle, ChannelKind kind)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return false;
    if (channel->kind != kind) {
        setLastError(kErrHandle);
        return false;
    }
    m_channels.erase(handle);
    channel->scanCancel.store(true);
    if (!channel->decodeOnly) {
        channel->playing.store(false);
        publishLocked();
        m_retired.push_back({m_mixCycles.load(std::memory_order_seq_cst), nullptr, channel});
    }
    reclaimLocked();
    setLastError(kOk);
    return true;
}

bool Engine::play(uint32_t handle, bool restart)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return false;
    if (channel->decodeOnly) {
        setLastError(kErrDecode);
        return false;
    }
    if (restart)
        channel->requestSeek(0);
    requestScanLocked(channel);
    // The serial first: a mixer that sees it also sees the seek above.
    channel->everPlayed.store(true, std::memory_order_relaxed);
    channel->playSerial.fetch_add(1, std::memory_order_release);
    channel->playing.store(true, std::memory_order_release);
    wakeDecoder();
    setLastError(kOk);
    return true;
}

bool Engine::stopChannel(uint32_t handle)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return false;
    if (channel->decodeOnly) {
        setLastError(kErrDecode);
        return false;
    }
    const bool wasActive =
        channel->playing.load() && channel->endedSerial.load() != channel->playSerial.load();
    const uint64_t heard = heardFrameLocked(*channel);
    channel->playing.store(false, std::memory_order_release);
    // What the device still held was never heard: resume exactly where the listener was.
    if (wasActive && heard != channel->mixedFrame.load()) {
        channel->requestSeek(heard);
        wakeDecoder();
    }
    setLastError(kOk);
    return true;
}

uint32_t Engine::isActive(uint32_t handle)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return 0;
    setLastError(kOk);
    if (channel->decodeOnly) {
        std::lock_guard decode(channel->decodeLock);
        return channel->readEnded || (channel->lengthExact.load() &&
                                      channel->readFrame >= channel->lengthFrames.load())
                   ? 0
                   : 1;
    }
    if (!channel->playing.load() || channel->endedSerial.load() == channel->playSerial.load())
        return 0;
    if (m_outputHalted.load())
        return 3;
    return channel->stalled.load() ? 2 : 1;
}

uint64_t Engine::lengthBytes(uint32_t handle)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return UINT64_MAX;
    requestScanLocked(channel);
    setLastError(kOk);
    return channel->lengthFrames.load() * frameBytes(*channel);
}

uint64_t Engine::heardFrameLocked(Channel &channel)
{
    if (channel.decodeOnly) {
        std::lock_guard decode(channel.decodeLock);
        return channel.readFrame;
    }
    if (channel.seekPending())
        return channel.seekTarget.load(); // a seek not made or not taken up yet
    const uint64_t seq = channel.flushSeq.load(std::memory_order_acquire);
    if (seq != channel.ackSeq.load(std::memory_order_acquire))
        return channel.flushFrame.load(); // a seek the mixer has not taken up yet
    const uint64_t mixed = channel.mixedFrame.load();
    const bool ended = channel.endedSerial.load() == channel.playSerial.load();
    if (!channel.playing.load() || ended)
        return mixed;
    const uint64_t latency = m_device->latencyFrames() * static_cast<uint64_t>(channel.srcRate) /
                             static_cast<uint64_t>(channel.outRate);
    const uint64_t base = channel.ackBase.load();
    return mixed > base + latency ? mixed - latency : base;
}

uint64_t Engine::positionBytes(uint32_t handle)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return UINT64_MAX;
    setLastError(kOk);
    return heardFrameLocked(*channel) * frameBytes(*channel);
}

bool Engine::setPositionBytes(uint32_t handle, uint64_t bytes)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return false;
    // A position inside a frame means that frame. Past the end is refused; while the
    // length is still an estimate, the decoder decides where the end is.
    const uint64_t frame = bytes / frameBytes(*channel);
    if (channel->lengthExact.load() && frame > channel->lengthFrames.load()) {
        setLastError(kErrPosition);
        return false;
    }
    if (channel->decodeOnly) {
        std::lock_guard decode(channel->decodeLock);
        if (!channel->seekLocked(frame)) {
            setLastError(kErrPosition);
            return false;
        }
    } else {
        channel->requestSeek(frame);
        requestScanLocked(channel);
        wakeDecoder();
    }
    setLastError(kOk);
    return true;
}

double Engine::bytesToSeconds(uint32_t handle, uint64_t bytes)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return -1.0;
    setLastError(kOk);
    return static_cast<double>(bytes) /
           (static_cast<double>(channel->srcRate) * static_cast<double>(frameBytes(*channel)));
}

uint64_t Engine::secondsToBytes(uint32_t handle, double seconds)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return UINT64_MAX;
    if (!(seconds >= 0.0) || !std::isfinite(seconds)) {
        setLastError(kErrIllParam);
        return UINT64_MAX;
    }
    setLastError(kOk);
    return static_cast<uint64_t>(seconds * channel->srcRate) * frameBytes(*channel);
}

bool Engine::setAttributes(uint32_t handle, int freq, int volume, int pan)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return false;
    // Changing the playback rate is not something this engine does; asking for the
    // channel's own rate (or 0, meaning that) is fine.
    const bool freqOk = freq == -1 || freq == 0 || freq == channel->srcRate;
    const bool volumeOk = volume == -1 || (volume >= 0 && volume <= 100);
    const bool panOk = pan == -101 || (pan >= -100 && pan <= 100);
    if (!freqOk || !volumeOk || !panOk) {
        setLastError(freqOk ? kErrIllParam : kErrNotAvail);
        return false;
    }
    if (volume != -1)
        channel->volume.store(volume);
    if (pan != -101)
        channel->pan.store(pan);
    setLastError(kOk);
    return true;
}

bool Engine::getAttributes(uint32_t handle, uint32_t *freq, uint32_t *volume, int *pan)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return false;
    if (freq)
        *freq = static_cast<uint32_t>(channel->srcRate);
    if (volume)
        *volume = static_cast<uint32_t>(channel->volume.load());
    if (pan)
        *pan = channel->pan.load();
    setLastError(kOk);
    return true;
}

uint32_t Engine::readData(uint32_t handle, void *buffer, uint32_t bytes, bool asFloat)
{
    // Decoding happens on the caller's thread, under the channel's own lock only: other
    // calls never wait for it.
    std::unique_lock lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return UINT32_MAX;
    if (!channel->decodeOnly) {
        setLastError(kErrNotAvail);
        return UINT32_MAX;
    }
    if (!buffer && bytes > 0) {
        setLastError(kErrIllParam);
        return UINT32_MAX;
    }
    const std::size_t ch = static_cast<std::size_t>(channel->channels);
    const std::size_t sampleSize = asFloat ? sizeof(float) : sizeof(int16_t);
    const long frames = static_cast<long>(bytes / (ch * sampleSize));
    std::vector<float> scratch(static_cast<std::size_t>(frames) * ch);
    lock.unlock();
    long got = 0;
    {
        std::lock_guard decode(channel->decodeLock);
        got = channel->readDecoded(scratch.data(), frames);
    }
    const std::size_t samples = static_cast<std::size_t>(got) * ch;
    if (asFloat) {
        std::memcpy(buffer, scratch.data(), samples * sizeof(float));
    } else {
        auto *out = static_cast<int16_t *>(buffer);
        for (std::size_t i = 0; i < samples; ++i) {
            const float v = std::clamp(scratch[i] * 32768.0f, -32768.0f, 32767.0f);
            out[i] = static_cast<int16_t>(std::lrint(v));
        }
    }
    setLastError(kOk);
    return static_cast<uint32_t>(samples * sampleSize);
}

uint32_t Engine::fft1024(uint32_t handle, float *magnitudes)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return UINT32_MAX;
    if (!magnitudes) {
        setLastError(kErrIllParam);
        return UINT32_MAX;
    }
    std::array<float, 1024> mono{};
    const std::size_t ch = static_cast<std::size_t>(channel->channels);
    if (channel->decodeOnly) {
        // A decoding channel is read: the next 1024 frames, through its effects.
        std::vector<float> frames(1024 * ch);
        long got = 0;
        {
            std::lock_guard decode(channel->decodeLock);
            got = channel->readDecoded(frames.data(), 1024);
        }
        for (long i = 0; i < got; ++i) {
            float sum = 0.0f;
            for (std::size_t c = 0; c < ch; ++c)
                sum += frames[static_cast<std::size_t>(i) * ch + c];
            mono[static_cast<std::size_t>(i)] = sum / static_cast<float>(ch);
        }
    } else {
        // The 1024 frames the listener has heard last: the mixer's history, minus what
        // is still on its way through the device.
        const uint64_t written = channel->historyCount.load(std::memory_order_acquire);
        const uint64_t latency = m_device->latencyFrames();
        const uint64_t end = written > latency ? written - latency : 0;
        for (std::size_t i = 0; i < 1024; ++i) {
            const uint64_t at = end - 1024 + i; // wraps below zero: checked next
            if (end >= 1024 - i && written - at <= Channel::kHistory)
                mono[i] = channel->history[at % Channel::kHistory].load(std::memory_order_relaxed);
        }
    }
    fft1024Magnitudes(mono.data(), magnitudes);
    setLastError(kOk);
    return static_cast<uint32_t>(1024 * ch * 2);
}

const char *Engine::id3v1Tag(uint32_t handle)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return nullptr;
    if (!channel->tags) {
        setLastError(kErrNotAvail);
        return nullptr;
    }
    setLastError(kOk);
    return channel->tags->data();
}

bool Engine::withEffectChain(uint32_t handle, const std::function<void(EffectChain &)> &fn)
{
    std::lock_guard lock(m_lock);
    auto channel = findLocked(handle);
    if (!channel)
        return false;
    fn(channel->chain);
    return true;
}

} // namespace vokrin::engine
