// Device 1: the system's default output through SDL2's audio subsystem.
#include "output_device.h"

#include <SDL2/SDL.h>

#include <atomic>
#include <chrono>
#include <mutex>

namespace vokrin::engine {

namespace {

using Clock = std::chrono::steady_clock;

class SdlOutput final : public OutputDevice
{
public:
    SdlOutput(int rate, RenderFn render) : m_rate(rate), m_render(std::move(render)) {}
    ~SdlOutput() override
    {
        if (m_device)
            SDL_CloseAudioDevice(m_device);
        if (m_subsystemUp)
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    bool open(DeviceError &error)
    {
        // The audio subsystem brings up SDL's events, which would take SIGINT and SIGTERM
        // for a quit event nobody reads: the host program would no longer end on them.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = DeviceError::Driver;
            return false;
        }
        m_subsystemUp = true;
        SDL_AudioSpec want{};
        want.freq = m_rate;
        want.format = AUDIO_F32SYS;
        want.channels = 2;
        want.samples = 1024;
        want.callback = &SdlOutput::callback;
        want.userdata = this;
        SDL_AudioSpec have{};
        // No changes allowed: SDL converts if the hardware wants another format, so the
        // mixer always runs at the rate the program asked for.
        m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (m_device == 0) {
            error = DeviceError::NoDevice;
            return false;
        }
        m_blockFrames = have.samples > 0 ? have.samples : 1024;
        return true;
    }

    int rate() const override { return m_rate; }
    bool start() override
    {
        SDL_PauseAudioDevice(m_device, 0);
        return SDL_GetAudioDeviceStatus(m_device) != SDL_AUDIO_STOPPED;
    }
    void pause() override { SDL_PauseAudioDevice(m_device, 1); }

    uint64_t latencyFrames() const override
    {
        // Two blocks are in flight: the one the device plays and the one just mixed.
        // Between callbacks the played block advances with the clock.
        const int64_t stamp = m_lastCallbackNs.load(std::memory_order_acquire);
        const int64_t now =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
                .count();
        const uint64_t full = 2 * static_cast<uint64_t>(m_blockFrames);
        if (stamp == 0)
            return full;
        uint64_t elapsed =
            static_cast<uint64_t>((now - stamp) / 1000) * static_cast<uint64_t>(m_rate) / 1000000u;
        if (elapsed > m_blockFrames)
            elapsed = m_blockFrames;
        return full - elapsed;
    }

private:
    static void callback(void *user, Uint8 *stream, int len)
    {
        auto *self = static_cast<SdlOutput *>(user);
        auto *out = reinterpret_cast<float *>(stream);
        const int frames = len / static_cast<int>(2 * sizeof(float));
        self->m_render(out, frames);
        self->m_lastCallbackNs.store(
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
                .count(),
            std::memory_order_release);
    }

    const int m_rate;
    RenderFn m_render;
    SDL_AudioDeviceID m_device = 0;
    bool m_subsystemUp = false;
    uint32_t m_blockFrames = 1024;
    std::atomic<int64_t> m_lastCallbackNs{0};
};

} // namespace

std::unique_ptr<OutputDevice> openSdlOutput(int rate, RenderFn render, DeviceError &error)
{
    error = DeviceError::None;
    auto device = std::make_unique<SdlOutput>(rate, std::move(render));
    if (!device->open(error))
        return nullptr;
    return device;
}

} // namespace vokrin::engine
