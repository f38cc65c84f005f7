#pragma once

#include "channel.h"
#include "output_device.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vokrin::engine {

// The engine behind the call set: devices, channels, the decode thread and the mixer.
// Every public method may be called from any thread; failures set lastError().
class Engine
{
public:
    static Engine &instance();

    bool init(int device, uint32_t freq);
    bool free();
    bool start();
    bool pause();
    bool stop();
    bool setBufferMs(uint32_t ms);
    uint32_t bufferMs() const { return m_bufferMs.load(); }
    bool setVolume(uint32_t volume);
    int volume() const; // -1 when not initialised

    // flags: decode (read, not played). Handles are never reused.
    // prescan: the exact length is found now, on the calling thread, where the file's
    // header does not give it; otherwise the engine's scan thread finds it.
    uint32_t createStream(const std::string &path, bool decode, bool prescan = false);
    uint32_t loadMusic(const std::string &path, bool decode, uint32_t freq);
    bool freeChannel(uint32_t handle, ChannelKind kind);

    bool play(uint32_t handle, bool restart);
    bool stopChannel(uint32_t handle);
    uint32_t isActive(uint32_t handle);
    uint64_t lengthBytes(uint32_t handle);   // UINT64_MAX on error
    uint64_t positionBytes(uint32_t handle); // UINT64_MAX on error
    bool setPositionBytes(uint32_t handle, uint64_t bytes);
    double bytesToSeconds(uint32_t handle, uint64_t bytes); // negative on error
    uint64_t secondsToBytes(uint32_t handle, double seconds);
    bool setAttributes(uint32_t handle, int freq, int volume, int pan);
    bool getAttributes(uint32_t handle, uint32_t *freq, uint32_t *volume, int *pan);
    // PCM from a decoding channel (asFloat: 32-bit floats, else 16-bit) or an FFT.
    uint32_t readData(uint32_t handle, void *buffer, uint32_t bytes, bool asFloat);
    uint32_t fft1024(uint32_t handle, float *magnitudes512);
    const char *id3v1Tag(uint32_t handle);
    bool withEffectChain(uint32_t handle, const std::function<void(EffectChain &)> &fn);

    void setManualClock(bool manual) { m_manualRequested = manual; }
    bool advanceManualClock(int frames, float *stereoOut);

private:
    Engine() = default;
    ~Engine();

    std::shared_ptr<Channel> findLocked(uint32_t handle);
    uint32_t addChannel(std::unique_ptr<Decoder> decoder, ChannelKind kind, bool decode,
                        const std::string &path, bool prescan);
    // Queues the scan of a channel (its exact length where that is still an estimate,
    // and the seek index of an MP3) on the scan thread.
    void requestScanLocked(const std::shared_ptr<Channel> &channel);
    void scanLoop();
    void stopScanThread();
    void publishLocked();
    void reclaimLocked();
    uint64_t heardFrameLocked(Channel &channel);
    void render(float *stereo, int frames) noexcept;
    void decodeLoop();
    void stopDecodeThread();
    void wakeDecoder();

    mutable std::mutex m_lock; // the API lock
    bool m_initialised = false;
    bool m_manual = false;
    std::atomic<bool> m_manualRequested{false};
    std::unique_ptr<OutputDevice> m_device;
    int m_rate = 44100;
    std::atomic<bool> m_outputHalted{false};
    std::atomic<int> m_masterVolume{100};
    std::atomic<uint32_t> m_bufferMs{500};
    uint32_t m_nextHandle = 0x10001;
    std::map<uint32_t, std::shared_ptr<Channel>> m_channels;

    // The mixer's view of the played channels, swapped whole; old views and freed
    // channels wait in m_retired until the mixer has left the cycle that could see them.
    std::atomic<const std::vector<Channel *> *> m_published{nullptr};
    std::atomic<uint64_t> m_mixCycles{0}; // odd while the mixer runs
    struct Retired
    {
        uint64_t cycle;
        std::unique_ptr<const std::vector<Channel *>> view;
        std::shared_ptr<Channel> channel;
    };
    std::vector<Retired> m_retired;

    std::thread m_decodeThread;
    std::mutex m_decodeWakeLock;
    std::condition_variable m_decodeWake;
    bool m_decodeQuit = false;
    bool m_decodeKick = false;

    std::thread m_scanThread;
    std::mutex m_scanLock;
    std::condition_variable m_scanWake;
    std::vector<std::weak_ptr<Channel>> m_scanQueue;
    bool m_scanQuit = false;
};

} // namespace vokrin::engine
