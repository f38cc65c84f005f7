// Device 0: no sound. Positions advance by a clock, real or manual.
#include "output_device.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace vokrin::engine {

namespace {

class RealtimeClock final : public OutputDevice
{
public:
    RealtimeClock(int rate, RenderFn render) : m_rate(rate), m_render(std::move(render)) {}
    ~RealtimeClock() override { pause(); }

    int rate() const override { return m_rate; }
    uint64_t latencyFrames() const override { return 0; }

    bool start() override
    {
        if (m_thread.joinable())
            return true;
        {
            std::lock_guard lock(m_mutex);
            m_quit = false;
        }
        m_thread = std::thread([this] { run(); });
        return true;
    }

    void pause() override
    {
        if (!m_thread.joinable())
            return;
        {
            std::lock_guard lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }

private:
    void run()
    {
        using Clock = std::chrono::steady_clock;
        std::vector<float> scratch(2 * 4096);
        const Clock::time_point begin = Clock::now();
        uint64_t done = 0;
        std::unique_lock lock(m_mutex);
        while (!m_quit) {
            m_wake.wait_for(lock, std::chrono::milliseconds(10));
            if (m_quit)
                break;
            const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
            const uint64_t due = static_cast<uint64_t>(seconds * m_rate);
            lock.unlock();
            while (done < due) {
                const int n = static_cast<int>(std::min<uint64_t>(due - done, 4096));
                m_render(scratch.data(), n);
                done += static_cast<uint64_t>(n);
            }
            lock.lock();
        }
    }

    const int m_rate;
    RenderFn m_render;
    std::thread m_thread;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_quit = false;
};

class ManualClock final : public OutputDevice
{
public:
    explicit ManualClock(int rate) : m_rate(rate) {}
    int rate() const override { return m_rate; }
    bool start() override { return true; }
    void pause() override {}
    uint64_t latencyFrames() const override { return 0; }

private:
    const int m_rate;
};

} // namespace

std::unique_ptr<OutputDevice> openRealtimeClock(int rate, RenderFn render)
{
    return std::make_unique<RealtimeClock>(rate, std::move(render));
}

std::unique_ptr<OutputDevice> openManualClock(int rate)
{
    return std::make_unique<ManualClock>(rate);
}

} // namespace vokrin::engine
