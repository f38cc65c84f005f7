// Which frame the listener hears now, measured on a private sound server: clicks at known
// places of a song are recorded from the sink's monitor, and the position the engine
// reports at the moment each click is played is compared with the click's place.
#include "engine_test_support.h"
#include "monitor_recorder.h"
#include "pulse_server.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <numeric>
#include <thread>

namespace vokrin::enginetest {
namespace {

constexpr int kRate = 44100;

// Under ThreadSanitizer every call is many times slower and the machine is loaded: the
// bounds below are for the plain build; there these tests look for races, and a constant
// offset of a few milliseconds in the server's or the recorder's clock is let pass.
#if defined(__SANITIZE_THREAD__)
constexpr double kSanitizerSlackMs = 20.0;
#else
constexpr double kSanitizerSlackMs = 0.0;
#endif

// The song: silence with clicks at irregular places from 1 s on.
std::vector<uint64_t> clickFrames()
{
    std::vector<uint64_t> at;
    for (int i = 0; i < 14; ++i)
        at.push_back(static_cast<uint64_t>(kRate) + static_cast<uint64_t>(i) * 15001u +
                     static_cast<uint64_t>((i * 7919) % 3001));
    return at;
}

std::string writeClickSong(const std::vector<uint64_t> &at)
{
    const fs::path path = vokrin::testing::makeTempDir("clicks") / "clicks.wav";
    const double seconds = static_cast<double>(at.back()) / kRate + 1.0;
    EXPECT_TRUE(vokrin::fixtures::writeWav(path, vokrin::fixtures::clicks(kRate, 2, seconds, at)));
    return path.string();
}

// The engine's position sampled every millisecond with the monotonic clock.
class PositionSampler
{
public:
    explicit PositionSampler(DWORD stream) : m_stream(stream)
    {
        m_samples.reserve(200000);
        m_thread = std::thread([this] { run(); });
    }
    ~PositionSampler() { stop(); }
    void stop()
    {
        m_quit.store(true);
        if (m_thread.joinable())
            m_thread.join();
    }
    // The position (s) at `t`, between the samples around it; NaN outside them.
    double positionAt(double t) const
    {
        std::lock_guard lock(m_lock);
        auto after = std::lower_bound(m_samples.begin(), m_samples.end(), t,
                                      [](const Sample &s, double v) { return s.t < v; });
        if (after == m_samples.begin() || after == m_samples.end())
            return std::nan("");
        const auto before = after - 1;
        const double f = (t - before->t) / (after->t - before->t);
        return before->position + f * (after->position - before->position);
    }
    // Whether the position ever went back.
    bool monotonic() const
    {
        std::lock_guard lock(m_lock);
        for (std::size_t i = 1; i < m_samples.size(); ++i)
            if (m_samples[i].position < m_samples[i - 1].position)
                return false;
        return true;
    }

private:
    struct Sample
    {
        double t;
        double position;
    };
    void run()
    {
        auto next = std::chrono::steady_clock::now();
        while (!m_quit.load()) {
            const QWORD bytes = BASS_ChannelGetPosition(m_stream);
            const double t = monotonicSeconds();
            const double position = BASS_ChannelBytes2Seconds(m_stream, bytes);
            {
                std::lock_guard lock(m_lock);
                m_samples.push_back({t, position});
            }
            next += std::chrono::milliseconds(1);
            std::this_thread::sleep_until(next);
        }
    }
    const DWORD m_stream;
    mutable std::mutex m_lock;
    std::vector<Sample> m_samples;
    std::atomic<bool> m_quit{false};
    std::thread m_thread;
};

struct Errors
{
    std::vector<double> ms; // position at each click's played moment minus the click's place
    bool monotonic = true;
};

void printErrors(const char *what, const Errors &e)
{
    if (e.ms.empty())
        return;
    const double mean = std::accumulate(e.ms.begin(), e.ms.end(), 0.0) / e.ms.size();
    double var = 0;
    for (double v : e.ms)
        var += (v - mean) * (v - mean);
    const auto [lo, hi] = std::minmax_element(e.ms.begin(), e.ms.end());
    std::printf("%s: position at the heard click minus the click, over %zu clicks: mean %+.2f "
                "ms, spread %.2f ms (min %+.2f, max %+.2f)\n",
                what, e.ms.size(), mean, std::sqrt(var / e.ms.size()), *lo, *hi);
}

// Plays the click song through the default sink of the engine's server while `recorder`
// records where it is heard.
Errors playAndMeasure(MonitorRecorder &recorder)
{
    Errors result;
    const std::vector<uint64_t> at = clickFrames();
    const std::string song = writeClickSong(at);
    vokrin::engine::setManualClock(false);
    EXPECT_TRUE(BASS_Init(1, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    const HSTREAM s = BASS_StreamCreateFile(FALSE, song.c_str(), 0, 0, 0);
    EXPECT_NE(s, 0u);
    const uint64_t recordedBefore = recorder.frames();
    PositionSampler sampler(s);
    const double played = monotonicSeconds();
    EXPECT_TRUE(BASS_ChannelPlay(s, FALSE));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (BASS_ChannelIsActive(s) != BASS_ACTIVE_STOPPED &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // the sink's tail
    sampler.stop();
    BASS_Free();

    std::vector<uint64_t> heard;
    for (uint64_t frame : recorder.clicks())
        if (frame >= recordedBefore)
            heard.push_back(frame);
    EXPECT_EQ(heard.size(), at.size()) << "every click is recorded once";
    if (!heard.empty())
        std::printf("from Play to the first click heard, less its place: %.1f ms\n",
                    (recorder.playedAt(heard[0]) - played - static_cast<double>(at[0]) / kRate) *
                        1000);
    for (std::size_t i = 0; i < std::min(heard.size(), at.size()); ++i) {
        const double position = sampler.positionAt(recorder.playedAt(heard[i]));
        result.ms.push_back((position - static_cast<double>(at[i]) / kRate) * 1000.0);
    }
    result.monotonic = sampler.monotonic();
    return result;
}

TEST(HeardPosition, IsTheFrameTheSinkPlaysNow)
{
    PulseServer server;
    if (!server.running())
        GTEST_SKIP() << "no private PulseAudio server here: " << server.why();
    setenv("PULSE_SERVER", server.serverAddress().c_str(), 1);
    MonitorRecorder recorder(server.serverAddress(), PulseServer::sinkName() + ".monitor");
    ASSERT_TRUE(recorder.running());
    const Errors e = playAndMeasure(recorder);
    printErrors("null sink", e);
    EXPECT_TRUE(e.monotonic);
    for (double ms : e.ms)
        EXPECT_NEAR(ms, 0.0, 3.0 + kSanitizerSlackMs);
}

TEST(HeardPosition, FollowsAnOutputWithALongLatency)
{
    PulseServer far;
    if (!far.running())
        GTEST_SKIP() << "no private PulseAudio server here: " << far.why();
    // A tunnel into a second private server: its sink reports the far sink's latency and
    // the tunnel's own 200 ms, as a Bluetooth sink reports its link's. What the listener
    // hears is what the far sink plays.
    PulseServer near(PulseServer::tunnelScript(far, 200));
    ASSERT_TRUE(near.running()) << near.why();
    double reported = -1;
    for (int i = 0; i < 100 && reported < 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        reported = near.sinkLatencyMs("vokrin_tunnel");
    }
    ASSERT_GE(reported, 0) << "the tunnel did not reach the far server";
    setenv("PULSE_SERVER", near.serverAddress().c_str(), 1);
    setenv("PULSE_SINK", "vokrin_tunnel", 1);
    MonitorRecorder recorder(far.serverAddress(), PulseServer::sinkName() + ".monitor");
    ASSERT_TRUE(recorder.running());
    const Errors e = playAndMeasure(recorder);
    unsetenv("PULSE_SINK");
    reported = near.sinkLatencyMs("vokrin_tunnel");
    std::printf("the tunnel reports %.1f ms of latency\n", reported);
    EXPECT_GE(reported, 150.0);
    printErrors("tunnel", e);
    EXPECT_TRUE(e.monotonic);
    for (double ms : e.ms)
        EXPECT_NEAR(ms, 0.0, 5.0 + kSanitizerSlackMs);
}

// Waits up to `seconds` for `condition`; whether it came.
template <typename Condition> bool waitFor(double seconds, Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

TEST(SoundServerLoss, PlaybackStallsAndGoesOnFromTheHeardFrameWhenTheServerReturns)
{
    PulseServer server;
    if (!server.running())
        GTEST_SKIP() << "no private PulseAudio server here: " << server.why();
    setenv("PULSE_SERVER", server.serverAddress().c_str(), 1);
    const std::vector<uint64_t> at = clickFrames();
    const std::string song = writeClickSong(at);
    vokrin::engine::setManualClock(false);
    ASSERT_TRUE(BASS_Init(1, kRate, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    const HSTREAM s = BASS_StreamCreateFile(FALSE, song.c_str(), 0, 0, 0);
    ASSERT_NE(s, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    auto seconds = [s] { return BASS_ChannelBytes2Seconds(s, BASS_ChannelGetPosition(s)); };
    ASSERT_TRUE(waitFor(30, [&] { return seconds() >= 2.0; }));

    server.kill();
    const double killed = monotonicSeconds();
    ASSERT_TRUE(waitFor(5, [&] { return BASS_ChannelIsActive(s) == BASS_ACTIVE_STALLED; }));
    const double noticed = monotonicSeconds() - killed;
    std::printf("the lost server was noticed after %.0f ms\n", noticed * 1000);
    EXPECT_LT(noticed, 1.0);
    // Nothing is heard, so the position stands still; pause and play keep working.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const double frozen = seconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(seconds(), frozen);
    EXPECT_TRUE(BASS_Pause());
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_PAUSED));
    EXPECT_TRUE(BASS_Start());
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_STALLED));
    EXPECT_EQ(seconds(), frozen);

    ASSERT_TRUE(server.restart()) << server.why();
    const double back = monotonicSeconds();
    MonitorRecorder recorder(server.serverAddress(), PulseServer::sinkName() + ".monitor");
    ASSERT_TRUE(recorder.running());
    PositionSampler sampler(s);
    EXPECT_TRUE(waitFor(2, [&] { return BASS_ChannelIsActive(s) == BASS_ACTIVE_PLAYING; }))
        << "playing again within 2 s of the server's return";
    std::printf("playing again %.0f ms after the server returned\n",
                (monotonicSeconds() - back) * 1000);
    EXPECT_TRUE(waitFor(30, [&] { return BASS_ChannelIsActive(s) == BASS_ACTIVE_STOPPED; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    sampler.stop();
    EXPECT_TRUE(sampler.monotonic());
    BASS_Free();

    // The recording after the return holds every click from the frozen place on, and
    // each where the position says.
    std::vector<uint64_t> expected;
    for (uint64_t f : at)
        if (static_cast<double>(f) / kRate >= frozen)
            expected.push_back(f);
    const std::vector<uint64_t> heard = recorder.clicks();
    ASSERT_EQ(heard.size(), expected.size()) << "the song goes on from the heard place";
    const double firstSound = recorder.playedAt(heard.front());
    EXPECT_LT(firstSound - back, 2.0 + (static_cast<double>(expected.front()) / kRate - frozen));
    Errors e;
    for (std::size_t i = 0; i < heard.size(); ++i)
        e.ms.push_back((sampler.positionAt(recorder.playedAt(heard[i])) -
                        static_cast<double>(expected[i]) / kRate) *
                       1000.0);
    printErrors("after the server's return", e);
    for (double ms : e.ms)
        EXPECT_NEAR(ms, 0.0, 5.0 + kSanitizerSlackMs);
}

} // namespace
} // namespace vokrin::enginetest
