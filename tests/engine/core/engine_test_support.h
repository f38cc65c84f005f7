#pragma once

#include "audio/bass.h"
#include "audio/engine/engine_config.h"
#include "fixture_writers.h"
#include "test_env.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vokrin::enginetest {

namespace fs = std::filesystem;

// The standard fixture set, written once per test process.
inline const fs::path &fixtureDir()
{
    static const fs::path dir = [] {
        fs::path d = vokrin::testing::makeTempDir("engine-fixtures");
        if (!vokrin::fixtures::writeStandardSet(d))
            ADD_FAILURE() << "the fixture set could not be written in " << d;
        return d;
    }();
    return dir;
}

inline std::string fixture(const std::string &name) { return (fixtureDir() / name).string(); }

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

// Renders `frames` device frames on the manual clock.
inline std::vector<float> render(int frames)
{
    std::vector<float> out(2 * static_cast<std::size_t>(frames));
    vokrin::engine::advanceManualClock(frames, out.data());
    return out;
}

} // namespace vokrin::enginetest
