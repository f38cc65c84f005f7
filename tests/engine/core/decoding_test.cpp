// What the engine decodes: exact lengths, seeking, formats by content, tags and bad input.
#include "engine_test_support.h"

#include "audio/engine/format_probe.h"

#include <cstring>

namespace vokrin::enginetest {
namespace {

using vokrin::fixtures::readBytes;

// Counts MPEG audio frames by walking the headers (after any ID3v2 tag).
uint64_t countMpegFrames(const std::vector<uint8_t> &bytes)
{
    std::size_t at = 0;
    if (bytes.size() > 10 && std::memcmp(bytes.data(), "ID3", 3) == 0)
        at = 10 + ((bytes[6] << 21) | (bytes[7] << 14) | (bytes[8] << 7) | bytes[9]);
    uint64_t frames = 0;
    while (at + 4 <= bytes.size()) {
        const int length = vokrin::engine::mpegFrameLength(&bytes[at]);
        if (length <= 0)
            break;
        ++frames;
        at += static_cast<std::size_t>(length);
    }
    return frames;
}

struct LengthCase
{
    const char *file;
    uint64_t frames; // 0: the count of MPEG frames x samplesPerFrame
    int channels;
    int samplesPerFrame;
};

void PrintTo(const LengthCase &c, std::ostream *os)
{
    *os << c.file;
}

class LengthTest : public ManualClockTest, public ::testing::WithParamInterface<LengthCase>
{
};

TEST_P(LengthTest, LengthIsExactAndMatchesWhatDecodes)
{
    const LengthCase &c = GetParam();
    uint64_t frames = c.frames;
    if (frames == 0)
        frames =
            countMpegFrames(readBytes(fixture(c.file))) * static_cast<uint64_t>(c.samplesPerFrame);
    const uint64_t expected = frames * static_cast<uint64_t>(c.channels) * 2;

    // Without a header that gives it, the exact length comes from the engine's scan.
    const HSTREAM played =
        BASS_StreamCreateFile(FALSE, fixture(c.file).c_str(), 0, 0, BASS_SAMPLE_FX);
    ASSERT_NE(played, 0u) << BASS_ErrorGetCode();
    EXPECT_EQ(lengthOnceScanned(played, expected), expected);

    const HSTREAM decoding = BASS_StreamCreateFile(FALSE, fixture(c.file).c_str(), 0, 0,
                                                   BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    ASSERT_NE(decoding, 0u);
    EXPECT_EQ(readAll(decoding).size() * 2, expected) << "the data must end where the length says";
    EXPECT_EQ(BASS_ChannelGetPosition(decoding), expected);
    EXPECT_EQ(BASS_ChannelIsActive(decoding), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
}

INSTANTIATE_TEST_SUITE_P(
    Formats, LengthTest,
    ::testing::Values(LengthCase{"tone1k_44100_stereo.wav", 88200, 2, 0},
                      LengthCase{"tone1k_22050_mono.wav", 44100, 1, 0},
                      LengthCase{"ramp.ogg", 132300, 2, 0},
                      // lame's gapless tag: exactly the samples that went in
                      LengthCase{"ramp_cbr.mp3", 132300, 2, 0},
                      LengthCase{"ramp_vbr.mp3", 132300, 2, 0},
                      LengthCase{"ramp_cbr_id3v1.mp3", 132300, 2, 0},
                      // no Xing/LAME frame: every frame counts, found only by scanning
                      LengthCase{"ramp_vbr_notag.mp3", 0, 2, 1152},
                      LengthCase{"ramp.mp2", 0, 2, 1152}, LengthCase{"tone.mp1", 100 * 384, 1, 0}),
    [](const auto &param) { return caseName(param.param.file); });

class SeekTest : public ManualClockTest, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(SeekTest, ReadingFromASeekGivesTheSamplesOfAReadFromTheStart)
{
    const std::string path = fixture(GetParam());
    const HSTREAM whole = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(whole, 0u);
    const std::vector<int16_t> reference = readAll(whole);
    const HSTREAM seeking =
        BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    ASSERT_NE(seeking, 0u);
    const uint64_t length = BASS_StreamGetLength(seeking);
    ASSERT_EQ(length, reference.size() * 2);

    // Byte positions: inside the first frame, odd frames, across codec block edges,
    // backwards, and close to the end.
    for (uint64_t frame : {uint64_t{1}, uint64_t{577}, uint64_t{1152 * 7 + 3}, uint64_t{44100},
                           uint64_t{12345}, uint64_t{100000}, length / 4 - 500}) {
        const uint64_t bytes = frame * 4;
        ASSERT_TRUE(BASS_ChannelSetPosition(seeking, bytes)) << frame;
        EXPECT_EQ(BASS_ChannelGetPosition(seeking), bytes);
        std::vector<int16_t> got(2 * 400);
        const DWORD n =
            BASS_ChannelGetData(seeking, got.data(), static_cast<DWORD>(got.size() * 2));
        ASSERT_EQ(n, got.size() * 2) << frame;
        const auto from = reference.begin() + static_cast<std::ptrdiff_t>(frame * 2);
        EXPECT_TRUE(std::equal(got.begin(), got.end(), from)) << "at frame " << frame;
    }
    // A position inside a frame means that frame; past the end is refused.
    ASSERT_TRUE(BASS_ChannelSetPosition(seeking, 4 * 1000 + 3));
    EXPECT_EQ(BASS_ChannelGetPosition(seeking), 4u * 1000);
    EXPECT_FALSE(BASS_ChannelSetPosition(seeking, length + 4));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_POSITION);
}

INSTANTIATE_TEST_SUITE_P(Formats, SeekTest,
                         ::testing::Values("ramp_44100_stereo.wav", "ramp_cbr.mp3",
                                           "ramp_vbr_notag.mp3", "ramp.ogg"),
                         [](const auto &param) { return caseName(param.param); });

TEST_F(ManualClockTest, FormatIsChosenByContentNotByName)
{
    const fs::path dir = vokrin::testing::makeTempDir("misnamed");
    struct
    {
        const char *source;
        const char *disguise;
        uint64_t bytes;
    } cases[] = {{"ramp.ogg", "song.wav", 132300 * 4},
                 {"tone1k_44100_stereo.wav", "song.mp3", 88200 * 4},
                 {"ramp_cbr.mp3", "song.ogg", 132300 * 4},
                 {"tone.mp1", "song", 38400 * 2}};
    for (const auto &c : cases) {
        fs::copy_file(fixture(c.source), dir / c.disguise);
        const HSTREAM s = BASS_StreamCreateFile(FALSE, (dir / c.disguise).c_str(), 0, 0, 0);
        ASSERT_NE(s, 0u) << c.source << " as " << c.disguise;
        EXPECT_EQ(BASS_StreamGetLength(s), c.bytes) << c.source;
        BASS_StreamFree(s);
    }
}

TEST_F(ManualClockTest, BadFilesAreRefusedWithTheRightError)
{
    const fs::path dir = vokrin::testing::makeTempDir("bad");
    std::vector<uint8_t> ogg = readBytes(fixture("ramp.ogg"));
    vokrin::fixtures::writeBytes(dir / "truncated.ogg", {ogg.begin(), ogg.begin() + 60});
    std::vector<uint8_t> mp3 = readBytes(fixture("ramp_cbr.mp3"));
    vokrin::fixtures::writeBytes(dir / "three_bytes.mp3", {mp3.begin(), mp3.begin() + 3});
    std::vector<uint8_t> text(5000, 'a');
    vokrin::fixtures::writeBytes(dir / "lyrics.txt", text);

    struct
    {
        std::string path;
        int error;
    } cases[] = {{(dir / "missing.mp3").string(), BASS_ERROR_FILEOPEN},
                 {dir.string(), BASS_ERROR_FORMAT}, // a folder
                 {fixture("empty.wav"), BASS_ERROR_FORMAT},
                 {fixture("garbage.mp3"), BASS_ERROR_FORMAT},
                 {fixture("truncated_header.wav"), BASS_ERROR_FORMAT},
                 {(dir / "truncated.ogg").string(), BASS_ERROR_FORMAT},
                 {(dir / "three_bytes.mp3").string(), BASS_ERROR_FORMAT},
                 {(dir / "lyrics.txt").string(), BASS_ERROR_FORMAT}};
    for (const auto &c : cases) {
        EXPECT_EQ(BASS_StreamCreateFile(FALSE, c.path.c_str(), 0, 0, BASS_SAMPLE_FX), 0u) << c.path;
        EXPECT_EQ(BASS_ErrorGetCode(), c.error) << c.path;
        EXPECT_EQ(BASS_MusicLoad(FALSE, c.path.c_str(), 0, 0, BASS_MUSIC_RAMP | BASS_SAMPLE_FX, 0),
                  0u)
            << c.path;
        EXPECT_EQ(BASS_ErrorGetCode(), c.error) << c.path;
    }
}

TEST_F(ManualClockTest, Id3v1TagIsTheLast128BytesOrNothing)
{
    const HSTREAM tagged =
        BASS_StreamCreateFile(FALSE, fixture("ramp_cbr_id3v1.mp3").c_str(), 0, 0, 0x80);
    ASSERT_NE(tagged, 0u);
    const char *tag = BASS_StreamGetTags(tagged, BASS_TAG_ID3);
    ASSERT_NE(tag, nullptr);
    const std::vector<uint8_t> bytes = readBytes(fixture("ramp_cbr_id3v1.mp3"));
    EXPECT_EQ(0, std::memcmp(tag, bytes.data() + bytes.size() - 128, 128));
    EXPECT_EQ(std::string(tag + 3, 7), "Kalinka");

    for (const char *plain : {"ramp_cbr.mp3", "ramp.ogg", "tone1k_44100_stereo.wav"}) {
        const HSTREAM s = BASS_StreamCreateFile(FALSE, fixture(plain).c_str(), 0, 0, 0x80);
        ASSERT_NE(s, 0u);
        EXPECT_EQ(BASS_StreamGetTags(s, BASS_TAG_ID3), nullptr) << plain;
    }
}

TEST_F(ManualClockTest, FreeingWithTheOtherKindFailsAndLeavesTheChannel)
{
    const HMUSIC music = BASS_MusicLoad(FALSE, fixture("song.mod").c_str(), 0, 0, 0x280, 0);
    const HSTREAM stream = BASS_StreamCreateFile(FALSE, fixture("ramp.ogg").c_str(), 0, 0, 0x80);
    ASSERT_NE(music, 0u);
    ASSERT_NE(stream, 0u);
    EXPECT_FALSE(BASS_StreamFree(music));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_MusicFree(stream));
    EXPECT_NE(BASS_StreamGetLength(music), static_cast<QWORD>(-1));
    EXPECT_NE(BASS_StreamGetLength(stream), static_cast<QWORD>(-1));
    EXPECT_TRUE(BASS_MusicFree(music));
    EXPECT_TRUE(BASS_StreamFree(stream));
    // Handles stay dead; 0 is never a channel.
    for (DWORD h : {music, stream, 0u}) {
        EXPECT_FALSE(BASS_StreamFree(h));
        EXPECT_FALSE(BASS_MusicFree(h));
        EXPECT_FALSE(BASS_ChannelPlay(h, FALSE));
        EXPECT_EQ(BASS_ChannelIsActive(h), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    }
    const HSTREAM again = BASS_StreamCreateFile(FALSE, fixture("ramp.ogg").c_str(), 0, 0, 0x80);
    EXPECT_NE(again, stream);
    EXPECT_NE(again, music);
}

TEST(FormatProbe, NeedsMpegFramesInARow)
{
    std::vector<uint8_t> bytes = vokrin::fixtures::garbage(4096, 3);
    // One stray sync word with a valid-looking header is not MPEG audio.
    const uint8_t header[4] = {0xFF, 0xFB, 0x90, 0x64}; // MPEG-1 Layer III 128k 44.1k
    std::memcpy(&bytes[100], header, 4);
    EXPECT_EQ(vokrin::engine::probeStreamFormat(bytes.data(), bytes.size()),
              vokrin::engine::StreamFormat::Unknown);
    const int length = vokrin::engine::mpegFrameLength(header);
    EXPECT_EQ(length, 417);
    // After junk, two in a row are not enough either; three are.
    std::memcpy(&bytes[100 + static_cast<std::size_t>(length)], header, 4);
    EXPECT_EQ(vokrin::engine::probeStreamFormat(bytes.data(), bytes.size()),
              vokrin::engine::StreamFormat::Unknown);
    std::memcpy(&bytes[100 + 2 * static_cast<std::size_t>(length)], header, 4);
    std::size_t at = 0;
    EXPECT_EQ(vokrin::engine::probeStreamFormat(bytes.data(), bytes.size(), &at),
              vokrin::engine::StreamFormat::Mpeg);
    EXPECT_EQ(at, 100u);
    // Right at the start, two are.
    EXPECT_EQ(vokrin::engine::probeStreamFormat(bytes.data() + 100, bytes.size() - 100),
              vokrin::engine::StreamFormat::Mpeg);
}

} // namespace
} // namespace vokrin::enginetest
