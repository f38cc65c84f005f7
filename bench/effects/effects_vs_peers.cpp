// The program's 13-effect chain beside SoX and ffmpeg on one 5-minute stereo 44.1 kHz
// file. Prints each as "x real time" (seconds of audio per second of work) and our
// ratio to each peer. Usage: effects_vs_peers [seconds of audio, default 300]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#include "audio/bass.h"
#include "fixture_writers.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = 44100;
// The program's bands, with gains mixed as a user would set them.
constexpr float kCentres[10] = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
constexpr float kGains[10] = {6, 4, -3, 2, -5, 3, -2, 5, -4, 7};

// Music-like test audio: a chord with slowly moving levels, a kick-like thump and noise,
// different on both sides.
vokrin::fixtures::Pcm makeProgramme(double seconds)
{
    vokrin::fixtures::Pcm pcm;
    pcm.rate = kRate;
    pcm.channels = 2;
    const std::size_t frames = static_cast<std::size_t>(seconds * kRate);
    pcm.samples.resize(frames * 2);
    uint32_t noise = 1;
    const double freqs[] = {110.0, 138.6, 164.8, 220.0, 659.3, 1318.5};
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double chord = 0;
        for (double f : freqs)
            chord += std::sin(2 * std::numbers::pi * f * t) / 6.0;
        const double swell = 0.5 + 0.4 * std::sin(2 * std::numbers::pi * 0.1 * t);
        const double beat = std::fmod(t, 0.5);
        const double kick = std::exp(-beat * 30) * std::sin(2 * std::numbers::pi * 60 * beat);
        for (int c = 0; c < 2; ++c) {
            noise = noise * 1664525u + 1013904223u;
            const double n = ((noise >> 8) / 8388608.0 - 1.0) * 0.05;
            const double v = 0.45 * swell * chord + 0.4 * kick + n * (c ? 1.0 : 0.5);
            pcm.samples[i * 2 + c] =
                static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32000));
        }
    }
    return pcm;
}

struct Cost
{
    double wall = -1; // seconds
    double cpu = -1;  // seconds of processor time, all threads (ours or the child's)
};

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + t.tv_nsec * 1e-9;
}

double childrenCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_CHILDREN, &u);
    const auto sec = [](const timeval &tv) { return tv.tv_sec + tv.tv_usec * 1e-6; };
    return sec(u.ru_utime) + sec(u.ru_stime);
}

// Best of `runs` of fn; processor time is what a loaded machine distorts least, so the
// ratios use it. Negative figures when fn fails.
Cost bestOf(int runs, bool child, const std::function<bool()> &fn)
{
    Cost best;
    for (int r = 0; r < runs; ++r) {
        const double cpu0 = child ? childrenCpuSeconds() : processCpuSeconds();
        const auto start = Clock::now();
        if (!fn())
            return {};
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        const double cpu = (child ? childrenCpuSeconds() : processCpuSeconds()) - cpu0;
        if (best.cpu < 0 || cpu < best.cpu)
            best.cpu = cpu;
        if (best.wall < 0 || wall < best.wall)
            best.wall = wall;
    }
    return best;
}

bool renderThroughEngine(const fs::path &wav, bool withEffects)
{
    const HSTREAM s = BASS_StreamCreateFile(FALSE, wav.c_str(), 0, 0, BASS_STREAM_DECODE);
    if (!s)
        return false;
    if (withEffects) {
        for (int b = 0; b < 10; ++b) {
            const BASS_FXPARAMEQ eq{kCentres[b], 18, kGains[b]};
            BASS_FXSetParameters(BASS_ChannelSetFX(s, BASS_FX_PARAMEQ, 1), &eq);
        }
        const BASS_FXCOMPRESSOR comp{3, 10, 200, -20, 3, 4};
        BASS_FXSetParameters(BASS_ChannelSetFX(s, BASS_FX_COMPRESSOR, 1), &comp);
        const BASS_FXECHO echo{30, 40, 333, 333, -1};
        BASS_FXSetParameters(BASS_ChannelSetFX(s, BASS_FX_ECHO, 1), &echo);
        const BASS_FXREVERB reverb{0, -10, 1000, 0.001f};
        BASS_FXSetParameters(BASS_ChannelSetFX(s, BASS_FX_REVERB, 1), &reverb);
    }
    std::vector<int16_t> block(16384);
    for (;;) {
        const DWORD got =
            BASS_ChannelGetData(s, block.data(), static_cast<DWORD>(block.size() * 2));
        if (got == static_cast<DWORD>(-1) || got == 0)
            break;
    }
    BASS_StreamFree(s);
    return true;
}

std::vector<std::string> soxCommand(const fs::path &wav)
{
    std::vector<std::string> argv = {"sox", "-q", wav.string(), "-n"};
    for (int b = 0; b < 10; ++b) {
        argv.insert(argv.end(),
                    {"equalizer", std::to_string(kCentres[b]), "1.5o", std::to_string(kGains[b])});
    }
    // Attack/decay 10/200 ms, 3:1 above -20 dB, +3 dB out; a 333 ms echo; a 1 s-ish reverb.
    argv.insert(argv.end(), {"compand", "0.01,0.2", "-90,-90,-20,-20,0,-13.3", "3"});
    argv.insert(argv.end(), {"echo", "0.8", "0.7", "333", "0.4"});
    argv.insert(argv.end(), {"reverb", "50", "50", "100"});
    return argv;
}

std::vector<std::string> ffmpegCommand(const fs::path &wav)
{
    std::string filters;
    for (int b = 0; b < 10; ++b)
        filters += "equalizer=f=" + std::to_string(kCentres[b]) +
                   ":t=o:w=1.5:g=" + std::to_string(kGains[b]) + ",";
    filters += "acompressor=threshold=0.1:ratio=3:attack=10:release=200:makeup=1.41,";
    filters += "aecho=0.8:0.7:333:0.4";
    return {"ffmpeg", "-nostdin", "-v", "error", "-i", wav.string(),
            "-af",    filters,    "-f", "null",  "-"};
}

void line(const char *name, Cost c, double audioSeconds)
{
    if (c.cpu < 0)
        std::printf("%-42s  not run (tool missing or failed)\n", name);
    else
        std::printf("%-42s %7.2f s cpu %7.1f x real time   (wall %6.2f s, %6.1f x)\n", name, c.cpu,
                    audioSeconds / c.cpu, c.wall, audioSeconds / c.wall);
}

} // namespace

int main(int argc, char **argv)
{
    const double audioSeconds = argc > 1 ? std::atof(argv[1]) : 300.0;
    const fs::path dir =
        fs::temp_directory_path() / ("vokrin-bench-effects-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path wav = dir / "programme.wav";
    if (!vokrin::fixtures::writeWav(wav, makeProgramme(audioSeconds))) {
        std::fprintf(stderr, "cannot write %s\n", wav.c_str());
        return 1;
    }
    if (!BASS_Init(0, kRate, 0, nullptr, nullptr)) {
        std::fprintf(stderr, "engine init failed: %d\n", BASS_ErrorGetCode());
        return 1;
    }
    // Warm the file cache once so every contender reads from memory.
    renderThroughEngine(wav, false);

    const int runs = 3;
    const Cost decodeOnly = bestOf(runs, false, [&] { return renderThroughEngine(wav, false); });
    const Cost ours = bestOf(runs, false, [&] { return renderThroughEngine(wav, true); });
    const Cost sox = bestOf(runs, true, [&] { return vokrin::fixtures::run(soxCommand(wav)); });
    const Cost ffmpeg =
        bestOf(runs, true, [&] { return vokrin::fixtures::run(ffmpegCommand(wav)); });
    BASS_Free();

    std::printf("%.0f s of stereo 44.1 kHz audio, best of %d runs each\n", audioSeconds, runs);
    line("vokrin: decode only", decodeOnly, audioSeconds);
    line("vokrin: decode + 13 effects", ours, audioSeconds);
    line("sox: equalizer x10, compand, echo, reverb", sox, audioSeconds);
    line("ffmpeg: equalizer x10, acompressor, aecho", ffmpeg, audioSeconds);
    if (ours.cpu > 0 && decodeOnly.cpu > 0 && ours.cpu > decodeOnly.cpu)
        std::printf("vokrin effects alone: %.1f x real time\n",
                    audioSeconds / (ours.cpu - decodeOnly.cpu));
    if (ours.cpu > 0 && sox.cpu > 0)
        std::printf("throughput vs sox:    %.2f x (goal: at least 2)\n", sox.cpu / ours.cpu);
    if (ours.cpu > 0 && ffmpeg.cpu > 0)
        std::printf("throughput vs ffmpeg: %.2f x\n", ffmpeg.cpu / ours.cpu);
    fs::remove_all(dir);
    return 0;
}
