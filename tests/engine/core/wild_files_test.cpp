// Files as other encoders and taggers leave them: big ID3v2 pictures, tags in a row,
// tag blocks at the end, junk in front, damage, many channels and chained streams.
#include "engine_test_support.h"

#include "tag_writers.h"

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>

namespace vokrin::enginetest {
namespace {

using vokrin::fixtures::garbage;
using vokrin::fixtures::Id3v2Options;
using vokrin::fixtures::id3v2Tag;
using vokrin::fixtures::readBytes;
using vokrin::fixtures::run;
using vokrin::fixtures::writeBytes;
using Bytes = std::vector<uint8_t>;

Bytes cat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes &p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Bytes this process has read so far (every thread, any file).
uint64_t bytesReadSoFar()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value)
        if (key == "rchar:")
            return value;
    return 0;
}

// A noise picture made by ffmpeg, and the source attached to it by ffmpeg as a tagger.
fs::path coverPicture()
{
    static const fs::path path = [] {
        const fs::path p = vokrin::testing::makeTempDir("cover") / "cover.png";
        run({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
             "nullsrc=s=400x400,geq=random(1)*255:128:128", "-frames:v", "1", p.string()});
        return p;
    }();
    return path;
}

Bytes taggedByFfmpeg(const std::string &source, int version)
{
    const fs::path out = vokrin::testing::makeTempDir("ffmpeg-tag") / "tagged.mp3";
    if (!run({"ffmpeg", "-v", "error", "-y", "-i", source, "-i", coverPicture().string(), "-map",
              "0", "-map", "1", "-c", "copy", "-id3v2_version", std::to_string(version),
              "-metadata", "title=Kalinka", out.string()}))
        return {};
    return readBytes(out);
}

struct TagCase
{
    const char *name;
    const char *source;
    std::function<Bytes(const Bytes &audio, const std::string &sourcePath)> build;
};

void PrintTo(const TagCase &c, std::ostream *os)
{
    *os << c.name;
}

Bytes v2(int version, std::size_t picture, bool footer = false, bool unsync = false,
         std::size_t padding = 0)
{
    Id3v2Options o;
    o.version = version;
    o.pictureBytes = picture;
    o.footer = footer;
    o.unsynchronised = unsync;
    o.padding = padding;
    return id3v2Tag(o);
}

const TagCase kTagCases[] = {
    {"none", "ramp_cbr.mp3", [](const Bytes &a, const std::string &) { return a; }},
    {"v23_picture_30k", "ramp_cbr.mp3",
     [](const Bytes &a, const std::string &) {
         return cat({v2(3, 30000), a});
     }},
    {"v24_picture_200k_footer", "ramp_cbr.mp3",
     [](const Bytes &a, const std::string &) {
         return cat({v2(4, 200000, true), a});
     }},
    {"v23_picture_1m", "ramp_cbr.mp3",
     [](const Bytes &a, const std::string &) {
         return cat({v2(3, 1000000), a});
     }},
    {"v24_picture_1m_unsynchronised", "ramp_cbr.mp3",
     [](const Bytes &a, const std::string &) {
         return cat({v2(4, 1000000, false, true), a});
     }},
    {"v22_picture_200k", "ramp_cbr.mp3",
     [](const Bytes &a, const std::string &) {
         return cat({v2(2, 200000), a});
     }},
    {"three_tags_in_a_row_and_padding", "ramp_cbr.mp3",
     [](const Bytes &a, const std::string &) {
         return cat({v2(3, 70000, false, false, 4096), v2(4, 200000, true), v2(2, 100),
                     Bytes(1500, 0), a});
     }},
    {"ape_lyrics3_id3v1_at_the_end", "ramp_cbr.mp3",
     [](const Bytes &a, const std::string &) {
         return cat({v2(3, 30000), a, vokrin::fixtures::apev2Tag("Kalinka"),
                     vokrin::fixtures::lyrics3v2Block("Kalinka, kalinka, kalinka moya"),
                     vokrin::fixtures::id3v1Block("Kalinka")});
     }},
    {"id3v2_appended_at_the_end", "ramp_cbr.mp3",
     [](const Bytes &a, const std::string &) {
         return cat({a, v2(4, 20000, true)});
     }},
    {"junk_in_front", "ramp_cbr.mp3",
     [](const Bytes &a, const std::string &) {
         return cat({garbage(3000, 77), a});
     }},
    {"tag_then_junk", "ramp_cbr.mp3",
     [](const Bytes &a, const std::string &) {
         return cat({v2(4, 200000), garbage(20000, 78), a});
     }},
    {"ffmpeg_v23_cover", "ramp_cbr.mp3",
     [](const Bytes &, const std::string &path) { return taggedByFfmpeg(path, 3); }},
    {"ffmpeg_v24_cover", "ramp_cbr.mp3",
     [](const Bytes &, const std::string &path) { return taggedByFfmpeg(path, 4); }},
    {"vbr_without_header_and_big_tag", "ramp_vbr_notag.mp3",
     [](const Bytes &a, const std::string &) {
         return cat({v2(3, 300000), a});
     }},
    {"float_wav_by_sox", "ramp_44100_stereo.wav",
     [](const Bytes &, const std::string &path) {
         const fs::path out = vokrin::testing::makeTempDir("float") / "float.wav";
         return run({"sox", path, "-e", "floating-point", "-b", "32", out.string()})
                    ? readBytes(out)
                    : Bytes{};
     }},
    {"ogg_behind_an_id3v2_tag", "ramp.ogg",
     [](const Bytes &a, const std::string &) {
         return cat({v2(3, 200000), a});
     }},
    {"wav_behind_an_id3v2_tag", "ramp_44100_stereo.wav",
     [](const Bytes &a, const std::string &) {
         return cat({v2(4, 200000), a});
     }},
};

class TaggedFileTest : public ManualClockTest, public ::testing::WithParamInterface<TagCase>
{
};

TEST_P(TaggedFileTest, OpensWithTheLengthAndSamplesOfTheUntaggedFile)
{
    const TagCase &c = GetParam();
    const std::string source = fixture(c.source);
    const Bytes bytes = c.build(readBytes(source), source);
    ASSERT_FALSE(bytes.empty());
    // The extension says nothing: each one is named as something else.
    const fs::path path = vokrin::testing::makeTempDir("tagged") / (std::string(c.name) + ".wav");
    ASSERT_TRUE(writeBytes(path, bytes));

    const HSTREAM reference = BASS_StreamCreateFile(FALSE, source.c_str(), 0, 0,
                                                    BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    ASSERT_NE(reference, 0u);
    const QWORD length = BASS_StreamGetLength(reference);
    const std::vector<int16_t> samples = readAll(reference);

    // Opening as the catalogue does (open, read the ID3v1 block, free) reads little of
    // the file, however big its tag.
    const uint64_t before = bytesReadSoFar();
    const HSTREAM peek = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_SAMPLE_FX);
    ASSERT_NE(peek, 0u) << BASS_ErrorGetCode();
    BASS_StreamGetTags(peek, BASS_TAG_ID3);
    BASS_StreamFree(peek);
    // (libvorbisfile reads the last 64 KiB of a file to find its length: OGG is exempt.)
    if (!std::string(c.source).ends_with(".ogg")) {
        EXPECT_LE(bytesReadSoFar() - before, 64u * 1024) << "bytes read to open " << c.name;
    }

    const HSTREAM decoding =
        BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE | BASS_STREAM_PRESCAN);
    ASSERT_NE(decoding, 0u) << BASS_ErrorGetCode();
    EXPECT_EQ(BASS_StreamGetLength(decoding), length);
    const std::vector<int16_t> got = readAll(decoding);
    EXPECT_EQ(got.size(), samples.size());
    EXPECT_TRUE(got == samples) << "the samples differ";
}

INSTANTIATE_TEST_SUITE_P(Tags, TaggedFileTest, ::testing::ValuesIn(kTagCases),
                         [](const auto &param) { return caseName(param.param.name); });

// A ten-minute MP3 encoded by ffmpeg (its own Xing/LAME header), written once per build.
const fs::path &longMp3()
{
    static const fs::path path = [] {
        const fs::path final = fixtureDir() / "tone_10min.mp3";
        if (fs::exists(final))
            return final;
        const fs::path scratch = vokrin::testing::makeTempDir("long") / "tone_10min.mp3";
        // A tone that rises through the song: any lost stretch shifts the pitch found later.
        run({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
             "aevalsrc=0.4*sin(2*PI*(200+t)*t)|0.4*sin(2*PI*(300+t)*t):s=44100:d=600", "-c:a",
             "libmp3lame", "-b:a", "96k", scratch.string()});
        std::error_code error;
        fs::rename(scratch, final, error);
        if (error)
            fs::copy_file(scratch, final, fs::copy_options::overwrite_existing, error);
        return final;
    }();
    return path;
}

TEST_F(ManualClockTest, DamageInTheMiddleOfALongMp3CostsOnlyTheDamagedStretch)
{
    ASSERT_TRUE(fs::exists(longMp3()));
    const HSTREAM whole = BASS_StreamCreateFile(FALSE, longMp3().c_str(), 0, 0, 0x80);
    ASSERT_NE(whole, 0u);
    const QWORD length = BASS_StreamGetLength(whole);
    EXPECT_NEAR(BASS_ChannelBytes2Seconds(whole, length), 600.0, 0.1);

    Bytes bytes = readBytes(longMp3());
    const Bytes junk = garbage(4096, 5);
    std::copy(junk.begin(), junk.end(),
              bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2));
    const fs::path path = vokrin::testing::makeTempDir("damaged-long") / "damaged.mp3";
    ASSERT_TRUE(writeBytes(path, bytes));

    const HSTREAM damaged = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(damaged, 0u);
    // The header's length still holds, and decoding goes on past the damage to the end.
    EXPECT_EQ(BASS_StreamGetLength(damaged), length);
    uint64_t decoded = 0;
    std::vector<int16_t> block(2 * 44100);
    std::vector<int16_t> last;
    for (;;) {
        const DWORD got = BASS_ChannelGetData(damaged, block.data(), block.size() * 2);
        if (got == 0 || got == static_cast<DWORD>(-1))
            break;
        decoded += got;
        if (got == block.size() * 2)
            last = block;
    }
    const double lost = BASS_ChannelBytes2Seconds(damaged, length - std::min(decoded, length));
    EXPECT_LT(lost, 1.0) << "seconds lost to 4 KB of damage";
    // The last full second is still the song, not silence.
    double energy = 0;
    for (int16_t s : last)
        energy += double(s) * s;
    EXPECT_GT(std::sqrt(energy / double(std::max<std::size_t>(last.size(), 1))), 3000.0);
}

// One tone in one channel of a 6-channel file; the rest silent.
vokrin::fixtures::Pcm toneInChannel(int channels, int which)
{
    vokrin::fixtures::Pcm pcm = vokrin::fixtures::silence(44100, channels, 1.0);
    for (std::size_t i = 0; i < pcm.frames(); ++i)
        pcm.samples[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(which)] =
            static_cast<int16_t>(
                std::lrint(16384.0 * std::sin(2.0 * M_PI * 1000.0 * double(i) / 44100.0)));
    return pcm;
}

struct SurroundCase
{
    const char *format; // "wav" (plain), "wavext" (sox, with a channel mask), "ogg"
    int channel;        // in the WAV order FL FR FC LFE BL BR
    double left;        // expected gains into the output
    double right;
};

void PrintTo(const SurroundCase &c, std::ostream *os)
{
    *os << c.format << " channel " << c.channel;
}

class SurroundTest : public ManualClockTest, public ::testing::WithParamInterface<SurroundCase>
{
};

double rmsOf(const std::vector<float> &stereo, int side, std::size_t from)
{
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = 2 * from + static_cast<std::size_t>(side); i < stereo.size(); i += 2, ++n)
        sum += double(stereo[i]) * stereo[i];
    return std::sqrt(sum / double(std::max<std::size_t>(n, 1)));
}

TEST_P(SurroundTest, EachChannelReachesItsSidesAtTheUsualLevel)
{
    const SurroundCase &c = GetParam();
    const fs::path dir = vokrin::testing::makeTempDir("surround");
    const fs::path plain = dir / "plain.wav";
    ASSERT_TRUE(vokrin::fixtures::writeWav(plain, toneInChannel(6, c.channel)));
    fs::path file = plain;
    const std::string format = c.format;
    if (format == "wavext") {
        file = dir / "ext.wav";
        ASSERT_TRUE(run({"sox", plain.string(), "-e", "signed-integer", file.string()}));
        // sox writes WAVE_FORMAT_EXTENSIBLE for more than two channels.
        const Bytes b = readBytes(file);
        ASSERT_GT(b.size(), 22u);
        ASSERT_EQ(b[20] | (b[21] << 8), 0xFFFE);
    } else if (format == "ogg") {
        file = dir / "surround.ogg";
        ASSERT_TRUE(vokrin::fixtures::encodeOgg(plain, file));
    }
    const HSTREAM s = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_SAMPLE_FX);
    ASSERT_NE(s, 0u) << BASS_ErrorGetCode();
    ASSERT_TRUE(BASS_ChannelPlay(s, FALSE));
    const std::vector<float> out = render(30000);
    // Position and length stay in the file's own six channels.
    EXPECT_EQ(BASS_StreamGetLength(s), 44100u * 6 * 2);

    const double tone = 0.5 / std::sqrt(2.0); // RMS of the tone in its own channel
    const double sides[2] = {c.left, c.right};
    for (int side = 0; side < 2; ++side) {
        const double level = rmsOf(out, side, 5000);
        if (sides[side] == 0.0)
            EXPECT_LT(level, tone * 0.01) << "side " << side;
        else
            EXPECT_NEAR(20 * std::log10(level / (tone * sides[side])), 0.0, 0.5) << "side " << side;
    }
}

constexpr double kHalfPower = 0.70710678;
INSTANTIATE_TEST_SUITE_P(
    FivePointOne, SurroundTest,
    ::testing::Values(SurroundCase{"wav", 0, 1, 0}, SurroundCase{"wav", 1, 0, 1},
                      SurroundCase{"wav", 2, kHalfPower, kHalfPower}, SurroundCase{"wav", 3, 0, 0},
                      SurroundCase{"wav", 4, kHalfPower, 0}, SurroundCase{"wav", 5, 0, kHalfPower},
                      SurroundCase{"wavext", 2, kHalfPower, kHalfPower},
                      SurroundCase{"wavext", 4, kHalfPower, 0},
                      SurroundCase{"wavext", 5, 0, kHalfPower}, SurroundCase{"ogg", 0, 1, 0},
                      SurroundCase{"ogg", 1, 0, 1}, SurroundCase{"ogg", 2, kHalfPower, kHalfPower},
                      SurroundCase{"ogg", 3, 0, 0}, SurroundCase{"ogg", 4, kHalfPower, 0},
                      SurroundCase{"ogg", 5, 0, kHalfPower}),
    [](const auto &param) {
        return std::string(param.param.format) + "_channel_" + std::to_string(param.param.channel);
    });

TEST_F(ManualClockTest, ChainedOggPlaysItsLinksAndEndsCleanlyWhereTheRateChanges)
{
    const fs::path dir = vokrin::testing::makeTempDir("chained");
    struct Link
    {
        const char *name;
        int rate;
    } links[] = {{"a", 44100}, {"b", 44100}, {"c", 22050}};
    std::vector<Bytes> oggs;
    for (const Link &l : links) {
        const fs::path wav = dir / (std::string(l.name) + ".wav");
        const fs::path ogg = dir / (std::string(l.name) + ".ogg");
        ASSERT_TRUE(vokrin::fixtures::writeWav(wav, vokrin::fixtures::ramp(l.rate, 2, 1.0)));
        ASSERT_TRUE(vokrin::fixtures::encodeOgg(wav, ogg));
        oggs.push_back(readBytes(ogg));
    }
    const fs::path chained = dir / "chained.ogg";
    ASSERT_TRUE(writeBytes(chained, cat({oggs[0], oggs[1], oggs[2]})));

    auto decodeAll = [](const fs::path &p) {
        const HSTREAM h = BASS_StreamCreateFile(FALSE, p.c_str(), 0, 0, BASS_STREAM_DECODE);
        EXPECT_NE(h, 0u);
        return readAll(h);
    };
    std::vector<int16_t> expected = decodeAll(dir / "a.ogg");
    const std::vector<int16_t> second = decodeAll(dir / "b.ogg");
    expected.insert(expected.end(), second.begin(), second.end());

    const HSTREAM h = BASS_StreamCreateFile(FALSE, chained.c_str(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(h, 0u);
    // The two links at 44.1 kHz play as one stream; the 22.05 kHz one is not played at
    // the wrong speed: the stream ends where it starts.
    EXPECT_EQ(BASS_StreamGetLength(h), expected.size() * 2);
    const std::vector<int16_t> got = readAll(h);
    EXPECT_EQ(got.size(), expected.size());
    EXPECT_TRUE(got == expected);

    // Played, it stops by itself at that point.
    const HSTREAM played = BASS_StreamCreateFile(FALSE, chained.c_str(), 0, 0, 0x80);
    ASSERT_TRUE(BASS_ChannelPlay(played, FALSE));
    render(3 * 44100);
    EXPECT_EQ(BASS_ChannelIsActive(played), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ChannelGetPosition(played), expected.size() * 2);
}

TEST_F(ManualClockTest, Mp3WhoseRateChangesEndsCleanlyAtTheChange)
{
    const fs::path dir = vokrin::testing::makeTempDir("rate-change");
    const int rates[2] = {44100, 48000};
    std::vector<Bytes> parts;
    for (int rate : rates) {
        const fs::path wav = dir / (std::to_string(rate) + ".wav");
        const fs::path mp3 = dir / (std::to_string(rate) + ".mp3");
        ASSERT_TRUE(vokrin::fixtures::writeWav(wav, vokrin::fixtures::ramp(rate, 2, 1.0)));
        ASSERT_TRUE(run({"lame", "--quiet", "-t", "-b", "128", wav.string(), mp3.string()}));
        parts.push_back(readBytes(mp3));
    }
    const fs::path joined = dir / "joined.mp3";
    ASSERT_TRUE(writeBytes(joined, cat({parts[0], parts[1]})));

    const HSTREAM first =
        BASS_StreamCreateFile(FALSE, (dir / "44100.mp3").c_str(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(first, 0u);
    const std::vector<int16_t> expected = readAll(first);
    const HSTREAM h = BASS_StreamCreateFile(FALSE, joined.c_str(), 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(h, 0u);
    const std::vector<int16_t> got = readAll(h);
    // The 44.1 kHz part, whole, and nothing of the 48 kHz part played at the wrong speed.
    ASSERT_GE(got.size(), expected.size() - 2 * 1152);
    EXPECT_LE(got.size(), expected.size());
    EXPECT_TRUE(std::equal(got.begin(), got.end(), expected.begin()));

    const HSTREAM played = BASS_StreamCreateFile(FALSE, joined.c_str(), 0, 0, 0x80);
    ASSERT_TRUE(BASS_ChannelPlay(played, FALSE));
    render(3 * 44100);
    EXPECT_EQ(BASS_ChannelIsActive(played), static_cast<DWORD>(BASS_ACTIVE_STOPPED));
    EXPECT_EQ(BASS_ChannelGetPosition(played), got.size() * 2);
}

} // namespace
} // namespace vokrin::enginetest
