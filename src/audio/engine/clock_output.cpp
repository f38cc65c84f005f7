// Device 0: no sound. Positions advance by a clock, real or manual.
#include "output_device.h"

#include <algorithm>
#include <atomic>
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

    // A batch is mixed at once when its time has passed, so a channel started within
    // the batch's span got the whole batch: count the batch as still to be heard, less
    // the time since it was mixed. That keeps the heard position at or just behind the
    // clock, by at most one period.
    uint64_t latencyFrames() const override
    {
        const int64_t stamp = m_lastBatchNs.load(std::memory_order_acquire);
        const uint64_t batch = m_lastBatchFrames.load(std::memory_order_relaxed);
        if (stamp == 0)
            return 0;
        const int64_t now = nowNs();
        const uint64_t elapsed = static_cast<uint64_t>(std::max<int64_t>(now - stamp, 0)) *
                                 static_cast<uint64_t>(m_rate) / 1000000000u;
        return elapsed >= batch ? 0 : batch - elapsed;
    }

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
        // Halted: what was mixed counts as heard, and the position holds still.
        m_lastBatchNs.store(0, std::memory_order_release);
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
            m_wake.wait_for(lock, std::chrono::milliseconds(kPeriodMs));
            if (m_quit)
                break;
            const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
            const uint64_t due = static_cast<uint64_t>(seconds * m_rate);
            lock.unlock();
            const uint64_t batch = due - done;
            while (done < due) {
                const int n = static_cast<int>(std::min<uint64_t>(due - done, 4096));
                m_render(scratch.data(), n);
                done += static_cast<uint64_t>(n);
            }
            m_lastBatchFrames.store(batch, std::memory_order_relaxed);
            m_lastBatchNs.store(nowNs(), std::memory_order_release);
            lock.lock();
        }
    }

    static constexpr int kPeriodMs = 5;
    static int64_t nowNs()
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    const int m_rate;
    RenderFn m_render;
    std::atomic<int64_t> m_lastBatchNs{0};
    std::atomic<uint64_t> m_lastBatchFrames{0};
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
