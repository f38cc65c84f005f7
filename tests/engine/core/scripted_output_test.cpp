// The engine on an output whose clock the test scripts: the reported latency, a lost
// server and its return, with the mixer pulled by the test itself.
#include "audio/engine/engine.h"
#include "audio/engine/errors.h"
#include "engine_test_support.h"

#include <chrono>
#include <thread>

namespace vokrin::enginetest {
namespace {

using vokrin::engine::Engine;
using vokrin::engine::OutputDevice;
using vokrin::engine::RenderFn;

constexpr int kRate = 44100;
constexpr uint64_t kFramesPerMs = kRate / 1000;

// An output that pulls only when told to, and hears what the script says.
class ScriptedOutput final : public OutputDevice
{
public:
    explicit ScriptedOutput(RenderFn render) : m_render(std::move(render)) {}
    int rate() const override { return kRate; }
    bool start() override { return true; }
    void pause() override {}
    uint64_t heardFrames() const override
    {
        if (m_lostNow.load())
            return m_heardAtLoss.load();
        const uint64_t pulled = m_pulled.load();
        const uint64_t latency = m_latency.load();
        return std::max(pulled > latency ? pulled - latency : 0, m_base.load());
    }
    bool lost() const override { return m_lostNow.load(); }
    uint64_t losses() const override { return m_losses.load(); }

    // Pulls `frames` from the mixer; what it mixed (stereo).
    std::vector<float> pull(uint64_t frames)
    {
        std::vector<float> out(2 * frames);
        for (uint64_t done = 0; done < frames;) {
            const uint64_t n = std::min<uint64_t>(frames - done, 441);
            m_render(out.data() + 2 * done, static_cast<int>(n));
            m_pulled.fetch_add(n);
            done += n;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        return out;
    }
    void setLatency(uint64_t frames) { m_latency.store(frames); }
    void loseServer()
    {
        m_heardAtLoss.store(heardFrames());
        m_lostNow.store(true);
        m_losses.fetch_add(1);
    }
    // A new server: what was pulled before counts as gone, the new stream starts empty.
    void serverBack()
    {
        m_base.store(m_pulled.load());
        m_latency.store(0);
        m_lostNow.store(false);
    }

private:
    RenderFn m_render;
    std::atomic<uint64_t> m_pulled{0};
    std::atomic<uint64_t> m_latency{0};
    std::atomic<uint64_t> m_base{0};
    std::atomic<uint64_t> m_heardAtLoss{0};
    std::atomic<bool> m_lostNow{false};
    std::atomic<uint64_t> m_losses{0};
};

// An engine of the test's own, on a scripted output, playing a 3 s click song (a click
// every 0.25 s) with a decode-ahead buffer longer than anything the test pulls.
class ScriptedEngine
{
public:
    ScriptedEngine()
        : engine([this](int, RenderFn render) {
              auto device = std::make_unique<ScriptedOutput>(std::move(render));
              output = device.get();
              return device;
          })
    {
        EXPECT_TRUE(engine.setBufferMs(3000));
        EXPECT_TRUE(engine.init(1, kRate));
        std::vector<uint64_t> at;
        for (uint64_t f = kRate / 4; f < 3 * kRate; f += kRate / 4)
            at.push_back(f);
        const fs::path song = vokrin::testing::makeTempDir("scripted") / "clicks.wav";
        EXPECT_TRUE(vokrin::fixtures::writeWav(song, vokrin::fixtures::clicks(kRate, 2, 3.0, at)));
        stream = engine.createStream(song.string(), false);
        EXPECT_NE(stream, 0u);
        EXPECT_TRUE(engine.play(stream, false));
        waitForDecoder();
    }
    ~ScriptedEngine() { engine.free(); }

    // Positions in frames of the song (16-bit stereo: 4 bytes a frame).
    uint64_t position() { return engine.positionBytes(stream) / 4; }
    // The decode thread fills the buffer (or makes a seek) within a few milliseconds.
    static void waitForDecoder() { std::this_thread::sleep_for(std::chrono::milliseconds(300)); }

    ScriptedOutput *output = nullptr;
    Engine engine;
    uint32_t stream = 0;
};

TEST(ScriptedOutput, ReportedLatencyMovesTheHeardPositionByAsMuch)
{
    // What the sound server reports as still on its way is not heard yet.
    for (const uint64_t latencyMs : {0, 20, 200}) {
        SCOPED_TRACE(latencyMs);
        ScriptedEngine e;
        e.output->setLatency(latencyMs * kFramesPerMs);
        e.output->pull(kRate);
        EXPECT_EQ(e.position(), kRate - latencyMs * kFramesPerMs);
        EXPECT_EQ(e.engine.isActive(e.stream), 1u);
    }
}

TEST(ScriptedOutput, ALatencyThatGrowsHoldsThePositionUntilTheSoundCatchesUp)
{
    ScriptedEngine e;
    e.output->pull(kRate);
    EXPECT_EQ(e.position(), static_cast<uint64_t>(kRate));
    // A Bluetooth sink takes over: 200 ms more on the way. The position does not go back
    // to 0.8 s; it waits at 1 s until the sound reaches it.
    e.output->setLatency(200 * kFramesPerMs);
    EXPECT_EQ(e.position(), static_cast<uint64_t>(kRate));
    e.output->pull(150 * kFramesPerMs);
    EXPECT_EQ(e.position(), static_cast<uint64_t>(kRate));
    e.output->pull(100 * kFramesPerMs);
    EXPECT_EQ(e.position(), kRate + 50 * kFramesPerMs);
    // Back to a short latency: the position jumps forward to what is heard.
    e.output->setLatency(10 * kFramesPerMs);
    EXPECT_EQ(e.position(), kRate + 240 * kFramesPerMs);
}

TEST(ScriptedOutput, ALostServerStallsTheChannelWhichGoesOnFromTheHeardFrame)
{
    ScriptedEngine e;
    e.output->setLatency(100 * kFramesPerMs);
    e.output->pull(kRate);
    const uint64_t heard = kRate - 100 * kFramesPerMs; // 0.9 s
    ASSERT_EQ(e.position(), heard);

    e.output->loseServer();
    EXPECT_EQ(e.engine.isActive(e.stream), 2u) << "stalled";
    ScriptedEngine::waitForDecoder(); // the engine notices and goes back to what was heard
    EXPECT_EQ(e.position(), heard);
    EXPECT_EQ(e.engine.isActive(e.stream), 2u);
    // Pause and play work meanwhile; paused is paused, playing again is still stalled.
    EXPECT_TRUE(e.engine.pause());
    EXPECT_EQ(e.engine.isActive(e.stream), 3u);
    EXPECT_EQ(e.position(), heard);
    EXPECT_TRUE(e.engine.start());
    EXPECT_EQ(e.engine.isActive(e.stream), 2u);
    EXPECT_EQ(e.position(), heard);

    // The server answers again: the first frame played is the one after the last heard,
    // so the click at 1 s comes 0.1 s into the new stream.
    e.output->serverBack();
    EXPECT_EQ(e.engine.isActive(e.stream), 1u);
    const std::vector<float> out = e.output->pull(200 * kFramesPerMs);
    std::size_t click = 0;
    while (click < out.size() / 2 && out[2 * click] < 0.5f)
        ++click;
    EXPECT_EQ(click, 100 * kFramesPerMs);
    EXPECT_EQ(e.position(), heard + 200 * kFramesPerMs);
}

} // namespace
} // namespace vokrin::enginetest
