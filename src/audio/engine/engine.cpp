// Engine lifecycle, the mixer and the decode thread.
#include "engine.h"

#include "engine_config.h"
#include "errors.h"
#include "gains.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace vokrin::engine {

Engine &Engine::instance()
{
    static Engine engine;
    return engine;
}

Engine::~Engine()
{
    free();
}

bool Engine::init(int device, uint32_t freq)
{
    std::lock_guard lock(m_lock);
    if (m_initialised) {
        setLastError(kErrAlready);
        return false;
    }
    if (device < -1 || device > 1) {
        setLastError(kErrDevice);
        return false;
    }
    if (freq == 0)
        freq = 44100;
    if (freq < 8000 || freq > 192000) {
        setLastError(kErrIllParam);
        return false;
    }
    m_rate = static_cast<int>(freq);
    prepareDecoders();
    auto render = [this](float *stereo, int frames) { this->render(stereo, frames); };
    m_manual = false;
    if (device == 0) {
        m_manual = m_manualRequested.load();
        m_device = m_manual ? openManualClock(m_rate) : openRealtimeClock(m_rate, render);
    } else {
        DeviceError why = DeviceError::None;
        m_device = openSdlOutput(m_rate, render, why);
        if (!m_device) {
            setLastError(kErrDevice);
            return false;
        }
    }
    m_published.store(new std::vector<Channel *>());
    m_masterVolume.store(100);
    m_outputHalted.store(false);
    {
        std::lock_guard wake(m_decodeWakeLock);
        m_decodeQuit = false;
    }
    m_decodeThread = std::thread([this] { decodeLoop(); });
    {
        std::lock_guard scan(m_scanLock);
        m_scanQuit = false;
        m_scanQueue.clear();
    }
    m_scanThread = std::thread([this] { scanLoop(); });
    // Output runs from the start, as after BASS_Start.
    if (!m_device->start()) {
        stopDecodeThread();
        stopScanThread();
        m_device.reset();
        delete m_published.exchange(nullptr);
        setLastError(kErrDevice);
        return false;
    }
    m_initialised = true;
    setLastError(kOk);
    return true;
}

bool Engine::free()
{
    std::unique_lock lock(m_lock);
    if (!m_initialised) {
        setLastError(kErrInit);
        return false;
    }
    m_device->pause();
    for (auto &[handle, channel] : m_channels)
        channel->scanCancel.store(true);
    lock.unlock();
    stopDecodeThread(); // it takes m_lock for its snapshots
    stopScanThread();
    lock.lock();
    m_device.reset(); // no mixer runs after this
    m_retired.clear();
    delete m_published.exchange(nullptr);
    m_channels.clear();
    m_initialised = false;
    setLastError(kOk);
    return true;
}

bool Engine::start()
{
    std::lock_guard lock(m_lock);
    if (!m_initialised) {
        setLastError(kErrInit);
        return false;
    }
    if (!m_device->start()) {
        setLastError(kErrStart);
        return false;
    }
    m_outputHalted.store(false);
    setLastError(kOk);
    return true;
}

bool Engine::pause()
{
    std::lock_guard lock(m_lock);
    if (!m_initialised) {
        setLastError(kErrInit);
        return false;
    }
    m_device->pause();
    m_outputHalted.store(true);
    setLastError(kOk);
    return true;
}

bool Engine::stop()
{
    std::lock_guard lock(m_lock);
    if (!m_initialised) {
        setLastError(kErrInit);
        return false;
    }
    m_device->pause();
    m_outputHalted.store(true);
    for (auto &[handle, channel] : m_channels)
        if (!channel->decodeOnly)
            channel->playing.store(false);
    setLastError(kOk);
    return true;
}

bool Engine::setBufferMs(uint32_t ms)
{
    m_bufferMs.store(std::clamp<uint32_t>(ms, 10, 5000));
    setLastError(kOk);
    return true;
}

bool Engine::setVolume(uint32_t volume)
{
    std::lock_guard lock(m_lock);
    if (!m_initialised) {
        setLastError(kErrInit);
        return false;
    }
    if (volume > 100) {
        setLastError(kErrIllParam);
        return false;
    }
    m_masterVolume.store(static_cast<int>(volume));
    setLastError(kOk);
    return true;
}

int Engine::volume() const
{
    std::lock_guard lock(m_lock);
    if (!m_initialised) {
        setLastError(kErrInit);
        return -1;
    }
    setLastError(kOk);
    return m_masterVolume.load();
}

void Engine::publishLocked()
{
    auto *view = new std::vector<Channel *>();
    view->reserve(m_channels.size());
    for (auto &[handle, channel] : m_channels)
        if (!channel->decodeOnly)
            view->push_back(channel.get());
    const std::vector<Channel *> *old = m_published.exchange(view, std::memory_order_seq_cst);
    m_retired.push_back({m_mixCycles.load(std::memory_order_seq_cst),
                         std::unique_ptr<const std::vector<Channel *>>(old), nullptr});
}

void Engine::reclaimLocked()
{
    // An entry retired while the mixer was outside a cycle (even count), or in a cycle
    // that has since ended, can no longer be seen by it.
    const uint64_t now = m_mixCycles.load(std::memory_order_seq_cst);
    std::erase_if(m_retired,
                  [now](const Retired &r) { return (r.cycle & 1) == 0 || now != r.cycle; });
}

void Engine::render(float *stereo, int frames) noexcept
{
    m_mixCycles.fetch_add(1, std::memory_order_seq_cst);
    const std::vector<Channel *> *view = m_published.load(std::memory_order_seq_cst);
    std::memset(stereo, 0, sizeof(float) * 2 * static_cast<std::size_t>(frames));
    if (view) {
        for (int done = 0; done < frames;) {
            const int n = std::min(frames - done, Channel::kMaxBlock);
            for (Channel *channel : *view)
                channel->mixInto(stereo + 2 * done, n);
            done += n;
        }
    }
    const float gain = masterGain(m_masterVolume.load(std::memory_order_relaxed));
    if (gain != 1.0f)
        for (int i = 0; i < 2 * frames; ++i)
            stereo[i] *= gain;
    m_mixCycles.fetch_add(1, std::memory_order_seq_cst);
}

void Engine::wakeDecoder()
{
    {
        std::lock_guard wake(m_decodeWakeLock);
        m_decodeKick = true;
    }
    m_decodeWake.notify_one();
}

void Engine::stopDecodeThread()
{
    if (!m_decodeThread.joinable())
        return;
    {
        std::lock_guard wake(m_decodeWakeLock);
        m_decodeQuit = true;
    }
    m_decodeWake.notify_one();
    m_decodeThread.join();
}

void Engine::decodeLoop()
{
    std::vector<std::shared_ptr<Channel>> work;
    bool seekInFlight = false;
    for (;;) {
        {
            // Right after a seek the ring still holds the old place until the mixer has
            // dropped it: look again soon, so the new place is heard without delay.
            const auto wait = std::chrono::milliseconds(seekInFlight ? 1 : 10);
            std::unique_lock wake(m_decodeWakeLock);
            m_decodeWake.wait_for(wake, wait, [this] { return m_decodeQuit || m_decodeKick; });
            if (m_decodeQuit)
                return;
            m_decodeKick = false;
        }
        work.clear();
        {
            std::lock_guard lock(m_lock);
            // Only channels that have been played decode ahead: a stream opened just
            // to read its tag costs no decoding at all.
            for (auto &[handle, channel] : m_channels)
                if (!channel->decodeOnly && channel->everPlayed.load(std::memory_order_relaxed))
                    work.push_back(channel);
        }
        seekInFlight = false;
        for (auto &channel : work) {
            std::lock_guard decode(channel->decodeLock);
            channel->produce();
            seekInFlight |= channel->flushSeq.load(std::memory_order_relaxed) !=
                            channel->ackSeq.load(std::memory_order_acquire);
        }
        work.clear(); // a channel freed meanwhile dies here, off the audio thread
    }
}

void Engine::requestScanLocked(const std::shared_ptr<Channel> &channel)
{
    if (!channel->lengthScan || channel->scanRequested.exchange(true))
        return;
    {
        std::lock_guard scan(m_scanLock);
        m_scanQueue.push_back(channel);
    }
    m_scanWake.notify_one();
}

void Engine::stopScanThread()
{
    if (!m_scanThread.joinable())
        return;
    {
        std::lock_guard scan(m_scanLock);
        m_scanQuit = true;
    }
    m_scanWake.notify_one();
    m_scanThread.join();
}

void Engine::scanLoop()
{
    for (;;) {
        std::shared_ptr<Channel> channel;
        {
            std::unique_lock scan(m_scanLock);
            m_scanWake.wait(scan, [this] { return m_scanQuit || !m_scanQueue.empty(); });
            if (m_scanQuit)
                return;
            channel = m_scanQueue.front().lock();
            m_scanQueue.erase(m_scanQueue.begin());
        }
        if (!channel || channel->scanCancel.load())
            continue;
        // Reads the whole file on a reader of its own; freeing the channel cancels it.
        const uint64_t exact = channel->lengthScan(channel->scanCancel);
        if (exact > 0 && !channel->scanCancel.load() && !channel->lengthExact.load()) {
            channel->lengthFrames.store(exact);
            channel->lengthExact.store(true);
        }
        // A channel freed meanwhile may die here, off the audio thread.
    }
}

bool Engine::advanceManualClock(int frames, float *stereoOut)
{
    std::lock_guard lock(m_lock);
    if (!m_initialised || !m_manual || frames < 0) {
        setLastError(kErrInit);
        return false;
    }
    std::vector<float> scratch;
    if (!stereoOut) {
        scratch.resize(2 * static_cast<std::size_t>(std::min(frames, 1024)));
    }
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, 1024);
        float *out = stereoOut ? stereoOut + 2 * done : scratch.data();
        if (m_outputHalted.load()) {
            std::memset(out, 0, sizeof(float) * 2 * static_cast<std::size_t>(n));
        } else {
            for (auto &[handle, channel] : m_channels) {
                if (channel->decodeOnly || !channel->playing.load())
                    continue;
                // The clock is the consumer here: the decoder makes any seek asked
                // for, the seek is taken up, and the decoder fills the whole ring
                // from the new place.
                std::lock_guard decode(channel->decodeLock);
                channel->produce();
                if (channel->takeFlush())
                    channel->produce();
            }
            render(out, n);
        }
        done += n;
    }
    reclaimLocked();
    setLastError(kOk);
    return true;
}

void setManualClock(bool manual)
{
    Engine::instance().setManualClock(manual);
}

bool advanceManualClock(int frames, float *stereoOut)
{
    return Engine::instance().advanceManualClock(frames, stereoOut);
}

} // namespace vokrin::engine
