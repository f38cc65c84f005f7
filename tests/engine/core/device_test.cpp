// The real output: SDL2 into a private PulseAudio server, recorded from the sink's monitor.
#include "engine_test_support.h"
#include "pulse_server.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <thread>

// libpulse hands packets between its threads with its own lock-free ring, which
// ThreadSanitizer cannot see into (the library is not instrumented). Only reports whose
// stacks pass through libpulse are hidden; the engine's own hand-offs are checked by the
// manual- and real-time-clock tests, which never load it.
extern "C" const char *__tsan_default_suppressions();
extern "C" const char *__tsan_default_suppressions()
{
    return "race:libpulsecommon-*.so\n"
           "race:libpulse.so*\n";
}

// libpulse keeps a few small blocks of its own past the end of the process.
extern "C" const char *__lsan_default_suppressions();
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libpulse.so*\n";
}

namespace vokrin::enginetest {
namespace {

// Amplitude of `frequency` in a mono signal (a single-bin DFT), as a fraction of full scale.
double toneAmplitude(const std::vector<double> &x, double frequency, int rate)
{
    double re = 0, im = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double phase = 2 * std::numbers::pi * frequency * static_cast<double>(i) / rate;
        re += x[i] * std::cos(phase);
        im -= x[i] * std::sin(phase);
    }
    return 2 * std::hypot(re, im) / static_cast<double>(x.size());
}

TEST(RealDevice, ToneIsRecordedAtItsFrequencyAndLevel)
{
    PulseServer server;
    if (!server.running())
        GTEST_SKIP() << "no private PulseAudio server here: " << server.why();
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    setenv("PULSE_SERVER", server.serverAddress().c_str(), 1);

    vokrin::engine::setManualClock(false);
    ASSERT_TRUE(BASS_Init(1, 44100, 0, nullptr, nullptr)) << BASS_ErrorGetCode();
    // Opening the output leaves the host's signals alone: a program that uses the engine
    // still ends on SIGTERM and SIGINT.
    for (const int signalNumber : {SIGTERM, SIGINT}) {
        struct sigaction current
        {
        };
        ASSERT_EQ(sigaction(signalNumber, nullptr, &current), 0);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << "signal " << signalNumber;
    }
    ASSERT_TRUE(BASS_Start());
    ASSERT_TRUE(BASS_SetConfig(BASS_CONFIG_BUFFER, 1000));
    const fs::path raw = vokrin::testing::makeTempDir("rec") / "out.raw";
    ASSERT_TRUE(server.startRecording(raw));

    const HSTREAM s =
        BASS_StreamCreateFile(FALSE, fixture("tone1k_44100_stereo.wav").c_str(), 0, 0, 0x80);
    ASSERT_NE(s, 0u);
    const auto played = std::chrono::steady_clock::now();
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    // Until the end of the 2 s tone (generously, for a loaded machine): the heard
    // position never goes back, and never gets ahead of the time since Play.
    const auto deadline = played + std::chrono::seconds(30);
    double last = 0;
    double worstLead = -1;

    while (BASS_ChannelIsActive(s) != BASS_ACTIVE_STOPPED &&
           std::chrono::steady_clock::now() < deadline) {
        const double heard = BASS_ChannelBytes2Seconds(s, BASS_ChannelGetPosition(s));
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - played).count();
        EXPECT_GE(heard, last);
        last = heard;
        worstLead = std::max(worstLead, heard - elapsed);

        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::printf("heard position ahead of the time since Play by at most %.1f ms\n",
                worstLead * 1000);
    EXPECT_LT(worstLead, 0.005) << "the heard position ran ahead of real time";
    EXPECT_EQ(BASS_ChannelIsActive(s), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ChannelGetPosition(s), BASS_StreamGetLength(s));
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // the device's tail
    server.stopRecording();
    BASS_Free();

    const std::vector<uint8_t> bytes = vokrin::fixtures::readBytes(raw);
    std::vector<double> left;
    for (std::size_t i = 0; i + 3 < bytes.size(); i += 4)
        left.push_back(static_cast<int16_t>(bytes[i] | (bytes[i + 1] << 8)) / 32768.0);
    // The loudest 0.5 s of the recording is inside the tone.
    ASSERT_GT(left.size(), 44100u) << "the recording is too short";
    std::size_t start = 0;
    double best = 0;
    for (std::size_t at = 0; at + 22050 <= left.size(); at += 2205) {
        double sum = 0;
        for (std::size_t i = at; i < at + 22050; ++i)
            sum += left[i] * left[i];
        if (sum > best) {
            best = sum;
            start = at;
        }
    }
    const std::vector<double> window(left.begin() + static_cast<std::ptrdiff_t>(start),
                                     left.begin() + static_cast<std::ptrdiff_t>(start + 22050));
    EXPECT_NEAR(toneAmplitude(window, 1000.0, 44100), 0.5, 0.05) << "level";
    EXPECT_LT(toneAmplitude(window, 900.0, 44100), 0.02) << "frequency";
    EXPECT_LT(toneAmplitude(window, 1100.0, 44100), 0.02) << "frequency";
}

TEST(RealDevice, InitFailsWithADeviceErrorWhenNoServerAnswers)
{
    const fs::path dir = vokrin::testing::makeTempDir("nopulse");
    {
        std::ofstream(dir / "client.conf") << "autospawn = no\n";
    }
    setenv("PULSE_CLIENTCONFIG", (dir / "client.conf").c_str(), 1);
    setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
    setenv("PULSE_SERVER", ("unix:" + (dir / "nobody-here").string()).c_str(), 1);
    vokrin::engine::setManualClock(false);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(BASS_Init(1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    EXPECT_FALSE(BASS_Init(-1, 44100, 0, nullptr, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_DEVICE);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60)) << "no hang";
    // The engine is still usable afterwards.
    EXPECT_FALSE(BASS_Start());
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_INIT);
    EXPECT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
    EXPECT_TRUE(BASS_Free());
}

} // namespace
} // namespace vokrin::enginetest
