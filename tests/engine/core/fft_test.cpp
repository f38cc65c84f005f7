// FFT1024: a Hann window over the frames heard last, channels averaged, 2·|X[k]|/1024.
#include "engine_test_support.h"

#include "audio/engine/spectrum.h"

#include <cmath>
#include <numbers>

namespace vokrin::enginetest {
namespace {

constexpr double kBin24Hz = 24.0 * 44100.0 / 1024.0;

std::string writeTone(const std::string &name, int channels, double frequency, double amplitude)
{
    static const fs::path dir = vokrin::testing::makeTempDir("fft");
    const fs::path path = dir / name;
    if (!fs::exists(path))
        vokrin::fixtures::writeWav(
            path, vokrin::fixtures::sine(44100, channels, 1.0, frequency, amplitude));
    return path.string();
}

float largestOutside(const std::vector<float> &fft, int bin, int halfWidth)
{
    float largest = 0;
    for (int k = 0; k < 512; ++k)
        if (std::abs(k - bin) > halfWidth)
            largest = std::max(largest, fft[static_cast<std::size_t>(k)]);
    return largest;
}

TEST(Fft1024, FullScaleSineAtABinCentreReadsHalf)
{
    std::vector<float> samples(1024);
    for (int i = 0; i < 1024; ++i)
        samples[static_cast<std::size_t>(i)] =
            static_cast<float>(std::sin(2 * std::numbers::pi * 24 * i / 1024.0));
    std::vector<float> fft(512);
    vokrin::engine::fft1024Magnitudes(samples.data(), fft.data());
    EXPECT_NEAR(fft[24], 0.5f, 0.001f);
    EXPECT_NEAR(fft[23], 0.25f, 0.001f); // the Hann window's neighbours
    EXPECT_LT(largestOutside(fft, 24, 1), 1e-5f);

    std::fill(samples.begin(), samples.end(), 0.0f);
    vokrin::engine::fft1024Magnitudes(samples.data(), fft.data());
    EXPECT_LT(*std::max_element(fft.begin(), fft.end()), 1e-6f);
}

struct FftCase
{
    const char *name;
    int channels;
    double amplitude;
    DWORD flags;
    float bin24;
};

void PrintTo(const FftCase &c, std::ostream *os)
{
    *os << c.name;
}

class ChannelFftTest : public ManualClockTest, public ::testing::WithParamInterface<FftCase>
{
};

TEST_P(ChannelFftTest, PeakInElement24)
{
    const FftCase &c = GetParam();
    const std::string path = writeTone(c.name, c.channels, kBin24Hz, c.amplitude);
    const HSTREAM s = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, c.flags);
    ASSERT_NE(s, 0u);
    std::vector<float> fft(513, -1.0f);
    if (!(c.flags & BASS_STREAM_DECODE)) {
        ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
        vokrin::engine::advanceManualClock(5000);
    }
    ASSERT_NE(BASS_ChannelGetData(s, fft.data(), BASS_DATA_FFT1024), static_cast<DWORD>(-1));
    EXPECT_NEAR(fft[24], c.bin24, 0.02f);
    EXPECT_LT(largestOutside(fft, 24, 1), c.amplitude > 0 ? 1e-3f : 1e-6f);
    EXPECT_EQ(fft[512], -1.0f) << "512 elements are filled, not 513";
}

INSTANTIATE_TEST_SUITE_P(Channels, ChannelFftTest,
                         ::testing::Values(FftCase{"stereo.wav", 2, 1.0, BASS_SAMPLE_FX, 0.5f},
                                           FftCase{"mono.wav", 1, 1.0, BASS_SAMPLE_FX, 0.5f},
                                           FftCase{"decoding.wav", 2, 1.0, BASS_STREAM_DECODE,
                                                   0.5f},
                                           FftCase{"half.wav", 2, 0.5, BASS_SAMPLE_FX, 0.25f},
                                           FftCase{"silence.wav", 2, 0.0, BASS_SAMPLE_FX, 0.0f}),
                         [](const auto &param) { return caseName(param.param.name); });

TEST_F(ManualClockTest, FftFollowsWhatIsHeardNotWhatIsDecoded)
{
    // Silence for the first second, then a tone: the spectrum stays dark while the
    // heard position is in the silence, though the decoder is far ahead.
    const fs::path dir = vokrin::testing::makeTempDir("fft-heard");
    vokrin::fixtures::Pcm pcm = vokrin::fixtures::silence(44100, 2, 1.0);
    const vokrin::fixtures::Pcm tone = vokrin::fixtures::sine(44100, 2, 1.0, kBin24Hz, 1.0);
    pcm.samples.insert(pcm.samples.end(), tone.samples.begin(), tone.samples.end());
    ASSERT_TRUE(vokrin::fixtures::writeWav(dir / "late.wav", pcm));
    const HSTREAM s = BASS_StreamCreateFile(FALSE, (dir / "late.wav").c_str(), 0, 0, 0x80);
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    std::vector<float> fft(513);
    vokrin::engine::advanceManualClock(40000);
    ASSERT_NE(BASS_ChannelGetData(s, fft.data(), BASS_DATA_FFT1024), static_cast<DWORD>(-1));
    EXPECT_LT(fft[24], 1e-6f);
    vokrin::engine::advanceManualClock(6000);
    ASSERT_NE(BASS_ChannelGetData(s, fft.data(), BASS_DATA_FFT1024), static_cast<DWORD>(-1));
    EXPECT_NEAR(fft[24], 0.5f, 0.02f);
}

} // namespace
} // namespace vokrin::enginetest
