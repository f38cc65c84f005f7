#pragma once
// Audio rendered through the engine's channels: generated WAV files opened as decoding
// streams and read back as floats, effects applied by the engine.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "audio/bass.h"
#include "signal_tools.h"

namespace vokrin::fxtest {

// Writes the audio as a 16-bit WAV in this process's temporary folder.
std::filesystem::path writeWavFile(const Audio &audio, const std::string &name);

// A decoding stream of the file (0 on failure).
HSTREAM openDecoding(const std::filesystem::path &file);

// Reads a decoding channel to its end as float samples.
Audio readAllFloat(HSTREAM stream, int rate, int channels);

// Writes `in`, opens it as a decoding stream, lets `attach` set effects on it and
// returns what the channel gives.
template <typename Attach>
Audio renderThroughChannel(const Audio &in, const std::string &name, Attach attach)
{
    const HSTREAM s = openDecoding(writeWavFile(in, name));
    EXPECT_NE(s, 0u) << BASS_ErrorGetCode();
    attach(s);
    Audio out = readAllFloat(s, in.rate, in.channels);
    BASS_StreamFree(s);
    return out;
}

// The input as the channel gives it without effects (16-bit quantised).
Audio quantised(const Audio &in);

// Each test runs on a fresh engine: device 0 on the manual clock.
class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace vokrin::fxtest
