// Decode throughput per format, in multiples of real time, beside the command-line
// decoders on the same files in the same run; and the cost of opening streams the way
// the catalogue does (open, read the ID3v1 tag, free). Prints figures; asserts nothing.
#include "audio/bass.h"
#include "audio/engine/engine_config.h"
#include "fixture_writers.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
namespace fx = vokrin::fixtures;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Seconds our engine needs to decode the whole file through a decoding channel.
double ourDecode(const fs::path &file, double &audioSeconds)
{
    const auto start = Clock::now();
    const HSTREAM s = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_STREAM_DECODE);
    if (!s)
        return -1;
    audioSeconds = BASS_ChannelBytes2Seconds(s, BASS_StreamGetLength(s));
    std::vector<char> block(65536);
    while (BASS_ChannelGetData(s, block.data(), static_cast<DWORD>(block.size())) + 1 > 1) {
    }
    BASS_StreamFree(s);
    return secondsSince(start);
}

double peer(const std::vector<std::string> &argv)
{
    const auto start = Clock::now();
    if (!fx::run(argv))
        return -1;
    return secondsSince(start);
}

void printCell(double audioSeconds, double took)
{
    if (took <= 0)
        std::printf(" %10s", "-");
    else
        std::printf(" %9.0fx", audioSeconds / took);
}

} // namespace

int main()
{
    char pattern[] = "/tmp/vokrin-bench-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const fs::path dir = pattern;
    const fs::path wav = dir / "ramp.wav";
    std::printf("writing 60 s of test audio in %s ...\n", dir.c_str());
    fx::writeWav(wav, fx::ramp(44100, 2, 60.0));
    fx::encodeMp3(wav, dir / "ramp.mp3", fx::Mp3Mode::Cbr);
    fx::encodeMp3(wav, dir / "ramp_vbr.mp3", fx::Mp3Mode::VbrWithoutTag);
    fx::encodeMp2(wav, dir / "ramp.mp2");
    fx::encodeOgg(wav, dir / "ramp.ogg");
    fx::writeMp1(dir / "tone.mp1", 60 * 48000 / 384);
    fx::run({"sox", wav.string(), (dir / "ramp.flac").string()});

    vokrin::engine::setManualClock(true);
    if (!BASS_Init(0, 44100, 0, nullptr, nullptr))
        return 1;

    std::printf("\ndecode speed, multiples of real time (higher is faster)\n");
    std::printf("%-14s %10s %10s %10s %10s\n", "file", "vokrin", "mpg123 -t", "sox", "ffmpeg");
    for (const char *name : {"ramp.wav", "ramp.flac", "ramp.ogg", "ramp.mp3", "ramp_vbr.mp3",
                             "ramp.mp2", "tone.mp1"}) {
        const fs::path file = dir / name;
        if (!fs::exists(file))
            continue;
        double audio = 0;
        const double ours = ourDecode(file, audio);
        const bool mpeg =
            file.extension() == ".mp3" || file.extension() == ".mp2" || file.extension() == ".mp1";
        const double mpg123 = mpeg ? peer({"mpg123", "-q", "-t", file.string()}) : -1;
        const double sox = peer({"sox", "-q", file.string(), "-n"});
        const double ffmpeg =
            peer({"ffmpeg", "-nostdin", "-v", "quiet", "-i", file.string(), "-f", "null", "-"});
        std::printf("%-14s", name);
        printCell(audio, ours);
        printCell(audio, mpg123);
        printCell(audio, sox);
        printCell(audio, ffmpeg);
        std::printf("\n");
    }
    std::printf("(peers include their process start-up; '-' = tool missing or format not read)\n");

    std::printf("\nopening streams as the catalogue does (open + ID3v1 tag + free)\n");
    fx::copyWithId3v1(dir / "ramp.mp3", dir / "tagged.mp3", "Kalinka");
    for (const char *name : {"tagged.mp3", "ramp.ogg", "ramp.wav"}) {
        const fs::path file = dir / name;
        const auto start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        int tags = 0;
        for (int i = 0; i < 1000; ++i) {
            const HSTREAM s = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_SAMPLE_FX);
            tags += BASS_StreamGetTags(s, BASS_TAG_ID3) != nullptr;
            BASS_StreamFree(s);
        }
        const double took = secondsSince(start);
        const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
        // 1000 opens: seconds in total are milliseconds each.
        std::printf("%-14s 1000 opens: %.3f s wall, %.3f s CPU (%.2f ms each), %d with a tag\n",
                    name, took, cpu, took, tags);
    }
    BASS_Free();
    fs::remove_all(dir);
    return 0;
}
