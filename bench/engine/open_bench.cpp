// What opening and jumping cost the calling thread, on ten-minute MP3s with and without
// a LAME/Xing frame: BASS_StreamCreateFile alone, and a jump to a line as the lyric list
// makes it (stop, reopen, play, seek to 5:00) until the first audio of the new place has
// been played (device 0, real-time clock). Prints figures; asserts nothing.
#include "audio/bass.h"
#include "fixture_writers.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
namespace fx = vokrin::fixtures;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void measure(const char *label, const fs::path &file)
{
    // Opening: the calling thread's time, fresh handles each time.
    std::vector<double> opens;
    for (int i = 0; i < 21; ++i) {
        const auto start = Clock::now();
        const HSTREAM s = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_SAMPLE_FX);
        opens.push_back(msSince(start));
        if (!s) {
            std::printf("  %s: does not open\n", label);
            return;
        }
        BASS_StreamFree(s);
    }
    // The first open of a file never scanned, then opens after the engine has scanned it.
    std::printf("  %-28s open: first %.3f ms, median %.3f ms of the calling thread\n", label,
                opens.front(), median(opens));

    // Jump to a line: the played stream is stopped, reopened, played and positioned.
    HSTREAM stream = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_SAMPLE_FX);
    BASS_ChannelPlay(stream, FALSE);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::vector<double> calls;
    std::vector<double> heard;
    for (int jump = 0; jump < 9; ++jump) {
        const QWORD target = static_cast<QWORD>(300 + 7 * jump) * 44100 * 4;
        const auto start = Clock::now();
        BASS_ChannelStop(stream);
        BASS_StreamFree(stream);
        stream = BASS_StreamCreateFile(FALSE, file.c_str(), 0, 0, BASS_SAMPLE_FX);
        BASS_ChannelPlay(stream, FALSE);
        BASS_ChannelSetPosition(stream, target);
        calls.push_back(msSince(start));
        // The first audio of the new place: the heard position moves past the target.
        while (BASS_ChannelGetPosition(stream) <= target && msSince(start) < 2000)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        heard.push_back(msSince(start));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    BASS_StreamFree(stream);
    std::printf("  %-28s jump to 5:00+: calls %.3f ms (median), first audio played after "
                "%.1f ms (median, worst %.1f)\n",
                "", median(calls), median(heard), *std::max_element(heard.begin(), heard.end()));
}

} // namespace

int main()
{
    char pattern[] = "/tmp/vokrin-bench-open-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const fs::path dir = pattern;
    const std::string tone = "aevalsrc=0.3*sin(2*PI*440*t)|0.3*sin(2*PI*550*t):s=44100:d=600";
    const fs::path xing = dir / "xing.mp3";
    const fs::path wav = dir / "long.wav";
    const fs::path plain = dir / "plain.mp3";
    const bool made =
        fx::run({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", tone, "-c:a", "libmp3lame",
                 "-b:a", "128k", xing.string()}) &&
        fx::run({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", tone, wav.string()}) &&
        fx::run({"lame", "--quiet", "-t", "-b", "128", wav.string(), plain.string()});
    fs::remove(wav);
    if (!made) {
        std::printf("ffmpeg or lame missing: no figures\n");
        return 0;
    }
    // Device 0 on the real-time clock: positions advance as on a sound card.
    if (!BASS_Init(0, 44100, 0, nullptr, nullptr))
        return 1;
    BASS_SetConfig(BASS_CONFIG_BUFFER, 1000);
    std::printf("ten-minute MP3 (goals: open 2 ms of the calling thread, jump 20 ms)\n");
    measure("with a Xing/LAME frame", xing);
    measure("without (lame -t)", plain);
    BASS_Free();
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    return 0;
}
