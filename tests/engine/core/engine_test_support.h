#pragma once

#include "audio/bass.h"
#include "audio/engine/engine_config.h"
#include "fixture_writers.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace vokrin::enginetest {

namespace fs = std::filesystem;

// The standard fixture set, written once per build tree (in the build folder, so
// the encoders do not run again for every test process). Two processes starting at once
// each write a private copy and the first to rename it into place wins.
inline const fs::path &fixtureDir()
{
    static const fs::path dir = [] {
        // <build>/bin/<test> -> <build>/engine-fixtures
        const fs::path final =
            fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "engine-fixtures";
        if (fs::exists(final / "complete"))
            return final;
        const fs::path scratch = vokrin::testing::makeTempDir("engine-fixtures");
        if (!vokrin::fixtures::writeStandardSet(scratch)) {
            ADD_FAILURE() << "the fixture set could not be written in " << scratch;
            return scratch;
        }
        vokrin::fixtures::writeBytes(scratch / "complete", {});
        std::error_code error;
        fs::rename(scratch, final, error);
        if (error && !fs::exists(final / "complete")) {
            fs::remove_all(final, error); // a half-finished folder from a killed run
            fs::rename(scratch, final, error);
        }
        return fs::exists(final / "complete") ? final : scratch;
    }();
    return dir;
}

// A name for a parameterised case, from a file name.
inline std::string caseName(std::string text)
{
    for (char &ch : text)
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    return text;
}

inline std::string fixture(const std::string &name)
{
    return (fixtureDir() / name).string();
}

// Each test runs on a fresh engine: device 0 on the manual clock at `rate`.
class ManualClockTest : public ::testing::Test
{
protected:
    void SetUp() override { initAt(44100); }
    void TearDown() override { BASS_Free(); }
    void initAt(int rate)
    {
        BASS_Free();
        vokrin::engine::setManualClock(true);
        ASSERT_TRUE(BASS_Init(0, static_cast<DWORD>(rate), 0, nullptr, nullptr));
    }
};

// Reads a decoding channel to its end as 16-bit samples.
inline std::vector<int16_t> readAll(DWORD channel)
{
    std::vector<int16_t> all;
    std::vector<int16_t> block(8192);
    for (;;) {
        const DWORD got = BASS_ChannelGetData(channel, block.data(), 8192 * 2);
        if (got == static_cast<DWORD>(-1) || got == 0)
            break;
        all.insert(all.end(), block.begin(), block.begin() + got / 2);
    }
    return all;
}

// The length of a stream once the engine's scan has made it exact: waits (up to 20 s)
// for it to become `expected`, and gives whatever it is then.
inline QWORD lengthOnceScanned(DWORD stream, QWORD expected)
{
    QWORD length = BASS_StreamGetLength(stream);
    for (int i = 0; i < 2000 && length != expected; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        length = BASS_StreamGetLength(stream);
    }
    return length;
}

// Renders `frames` device frames on the manual clock.
inline std::vector<float> render(int frames)
{
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    vokrin::engine::advanceManualClock(frames, out.data());
    return out;
}

} // namespace vokrin::enginetest
