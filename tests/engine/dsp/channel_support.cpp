#include "channel_support.h"

#include <algorithm>
#include <cmath>

#include "audio/engine/engine_config.h"
#include "fixture_writers.h"
#include "test_env.h"

namespace vokrin::fxtest {

namespace {
const std::filesystem::path &folder()
{
    static const std::filesystem::path dir = vokrin::testing::makeTempDir("fx-channels");
    return dir;
}

int16_t toPcm(float v)
{
    return static_cast<int16_t>(std::clamp(std::lround(v * 32768.0f), -32768L, 32767L));
}
} // namespace

std::filesystem::path writeWavFile(const Audio &audio, const std::string &name)
{
    fixtures::Pcm pcm;
    pcm.rate = audio.rate;
    pcm.channels = audio.channels;
    pcm.samples.reserve(audio.samples.size());
    for (float v : audio.samples)
        pcm.samples.push_back(toPcm(v));
    const std::filesystem::path path = folder() / (name + ".wav");
    EXPECT_TRUE(fixtures::writeWav(path, pcm)) << path;
    return path;
}

Audio quantised(const Audio &in)
{
    Audio out = in;
    for (float &v : out.samples)
        v = static_cast<float>(toPcm(v)) / 32768.0f;
    return out;
}

HSTREAM openDecoding(const std::filesystem::path &file)
{
    return BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_STREAM_DECODE | BASS_SAMPLE_FX);
}

Audio readAllFloat(HSTREAM stream, int rate, int channels)
{
    Audio out{rate, channels, {}};
    std::vector<float> block(4096 * static_cast<std::size_t>(channels));
    for (;;) {
        const DWORD got =
            BASS_ChannelGetData(stream, block.data(),
                                static_cast<DWORD>(block.size() * sizeof(float)) | BASS_DATA_FLOAT);
        if (got == static_cast<DWORD>(-1) || got == 0)
            break;
        out.samples.insert(out.samples.end(), block.begin(), block.begin() + got / sizeof(float));
    }
    return out;
}

void EngineTest::SetUp()
{
    BASS_Free();
    vokrin::engine::setManualClock(true);
    ASSERT_TRUE(BASS_Init(0, 44100, 0, nullptr, nullptr));
}

void EngineTest::TearDown()
{
    BASS_Free();
}

} // namespace vokrin::fxtest
