// The engine's own threads at work: device 0 on its real-time clock, with API calls
// coming from several threads while the mixer and the decoder run. Run under the tsan
// preset, these are the tests that show the hand-offs are race-free.
#include "engine_test_support.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace vokrin::enginetest {
namespace {

class RealtimeClockTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        BASS_Free();
        vokrin::engine::setManualClock(false);
        ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    }
    void TearDown() override { BASS_Free(); }
};

TEST_F(RealtimeClockTest, PositionAdvancesWithTheWallClock)
{
    const HSTREAM s = BASS_StreamCreateFile(FALSE, fixture("ramp_cbr.mp3").c_str(), 0, 0, 0x80);
    ASSERT_NE(s, 0u);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const double heard = BASS_ChannelBytes2Seconds(s, BASS_ChannelGetPosition(s));
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // Never ahead of the clock; behind it by no more than a loaded machine's hiccup.
    EXPECT_LE(heard, elapsed + 0.001);
    EXPECT_GT(heard, 0.1);
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_PLAYING));
    ASSERT_TRUE(BASS_Pause());
    const QWORD paused = BASS_ChannelGetPosition(s);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(BASS_ChannelGetPosition(s), paused);
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_PAUSED));
}

TEST_F(RealtimeClockTest, CallsFromManyThreadsWhileEverythingRuns)
{
    const std::vector<std::string> files = {"ramp_cbr.mp3", "ramp.ogg", "tone1k_48000_stereo.wav",
                                            "tone1k_22050_mono.wav"};
    std::atomic<bool> stop{false};
    std::atomic<int> failures{0};
    auto player = [&](int seed) {
        uint32_t rng = static_cast<uint32_t>(seed) * 2654435761u;
        while (!stop.load()) {
            const std::string &file = files[rng % files.size()];
            const HSTREAM s = BASS_StreamCreateFile(FALSE, fixture(file).c_str(), 0, 0, 0x80);
            if (s == 0) {
                ++failures;
                return;
            }
            const QWORD length = BASS_StreamGetLength(s);
            BASS_ChannelPlay(s, FALSE);
            for (int i = 0; i < 20 && !stop.load(); ++i) {
                rng = rng * 1664525u + 1013904223u;
                switch (rng % 6) {
                case 0:
                    BASS_ChannelSetPosition(s, (rng % length) & ~QWORD{3});
                    break;
                case 1:
                    BASS_ChannelSetAttributes(s, -1, static_cast<int>(rng % 101),
                                              static_cast<int>(rng % 201) - 100);
                    break;
                case 2: {
                    float fft[513];
                    BASS_ChannelGetData(s, fft, BASS_DATA_FFT1024);
                    break;
                }
                case 3:
                    BASS_ChannelStop(s);
                    break;
                case 4:
                    BASS_ChannelPlay(s, (rng & 64) != 0);
                    break;
                default:
                    if (BASS_ChannelGetPosition(s) > length)
                        ++failures;
                    BASS_ChannelIsActive(s);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
            if (!BASS_StreamFree(s))
                ++failures;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t)
        threads.emplace_back(player, t + 1);
    std::thread volume([&] {
        for (DWORD v = 0; !stop.load(); v = (v + 7) % 101)
            BASS_SetVolume(v);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    stop.store(true);
    for (auto &t : threads)
        t.join();
    volume.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST_F(RealtimeClockTest, ErrorCodesBelongToTheThreadThatFailed)
{
    EXPECT_EQ(BASS_StreamCreateFile(FALSE, fixture("garbage.mp3").c_str(), 0, 0, 0), 0u);
    ASSERT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
    int other = 0;
    std::thread([&] {
        BASS_StreamCreateFile(FALSE, "/nonexistent/file.mp3", 0, 0, 0);
        other = BASS_ErrorGetCode();
    }).join();
    EXPECT_EQ(other, BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT) << "another thread's failure is not ours";
    EXPECT_NE(BASS_GetVolume(), static_cast<DWORD>(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK) << "a success clears the code";
}

TEST_F(RealtimeClockTest, FreeingTheEngineWhilePlayingIsClean)
{
    for (int round = 0; round < 5; ++round) {
        const HSTREAM s = BASS_StreamCreateFile(FALSE, fixture("ramp.ogg").c_str(), 0, 0, 0x80);
        ASSERT_NE(s, 0u);
        ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        ASSERT_TRUE(BASS_Free());
        EXPECT_FALSE(BASS_ChannelPlay(s, FALSE)) << "a freed engine knows no channel";
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
        ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    }
}

} // namespace
} // namespace vokrin::enginetest
