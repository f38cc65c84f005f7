// Damaged files that still open: cut short, or with garbage in the middle. Whatever the
// decoder makes of them, the channel must end where the data ends, with no crash or hang.
#include "engine_test_support.h"

namespace vokrin::enginetest {
namespace {

using vokrin::fixtures::garbage;
using vokrin::fixtures::readBytes;
using vokrin::fixtures::writeBytes;

struct Damage
{
    const char *name;
    const char *source;
    double keep;       // fraction of the file kept (cut short)
    std::size_t noise; // bytes of garbage written over the middle
};

void PrintTo(const Damage &d, std::ostream *os)
{
    *os << d.name;
}

class DamagedFileTest : public ManualClockTest, public ::testing::WithParamInterface<Damage>
{
};

TEST_P(DamagedFileTest, EndsWhereTheDataEnds)
{
    const Damage &d = GetParam();
    std::vector<uint8_t> bytes = readBytes(fixture(d.source));
    bytes.resize(static_cast<std::size_t>(static_cast<double>(bytes.size()) * d.keep));
    if (d.noise > 0) {
        const std::vector<uint8_t> junk = garbage(d.noise, 99);
        std::copy(junk.begin(), junk.end(),
                  bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
    }
    const fs::path path = vokrin::testing::makeTempDir("damaged") / d.name;
    ASSERT_TRUE(writeBytes(path, bytes));

    const HSTREAM decoding =
        BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    if (decoding == 0) {
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
        return;
    }
    const QWORD length = BASS_StreamGetLength(decoding);
    const QWORD decoded = readAll(decoding).size() * 2;
    EXPECT_GT(decoded, 0u);
    EXPECT_LE(decoded, length);
    EXPECT_EQ(BASS_ChannelIsActive(decoding), static_cast<DWORD>(BASS_ACTIVE_STOPPED));

    // Played: it stops by itself, and the position stays where the sound ended.
    const HSTREAM played = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_SAMPLE_FX);
    ASSERT_NE(played, 0u);
    ASSERT_TRUE(BASS_ChannelPlay(played, FALSE));
    const QWORD frameBytes = 4; // every source here is 16-bit stereo
    vokrin::engine::advanceManualClock(static_cast<int>(length / frameBytes) + 44100);
    EXPECT_EQ(BASS_ChannelIsActive(played), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ChannelGetPosition(played), decoded);
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedFileTest,
                         ::testing::Values(Damage{"half.wav", "ramp_44100_stereo.wav", 0.5, 0},
                                           Damage{"half.mp3", "ramp_cbr.mp3", 0.5, 0},
                                           Damage{"half.ogg", "ramp.ogg", 0.5, 0},
                                           Damage{"half.mp2", "ramp.mp2", 0.5, 0},
                                           Damage{"noisy.mp3", "ramp_vbr_notag.mp3", 1.0, 5000},
                                           Damage{"noisy.ogg", "ramp.ogg", 1.0, 5000},
                                           Damage{"noisy.wav", "ramp_44100_stereo.wav", 1.0, 5000}),
                         [](const auto &param) { return caseName(param.param.name); });

} // namespace
} // namespace vokrin::enginetest
