// One render-timer tick with a 500-line project playing on the manual clock, measured
// with the repaint it causes (offscreen platform), without and with the singer's screen
// open (1920 x 1080) beside the lyric list; the difference is printed at the end. Goals:
// well under 1 ms a tick, and at most 1 ms more with the singer's screen.
//   bench_render_tick [--benchmark_...]

#include "audio/bass.h"
#include "audio/engine/engine_config.h"
#include "audio/player.h"
#include "controls/led_gauge.h"
#include "display/lyric_list.h"
#include "display/paint_frame.h"
#include "display/render_tick.h"
#include "display/singer_screen.h"
#include "display/spectrum_vis.h"
#include "fixture_writers.h"

#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

using vokrin::controls::TMMLEDGauge;

using namespace vokrin;

namespace {

constexpr int kTickFrames = 1455; // 33 ms at 44.1 kHz

// Mean cost of a tick in microseconds, without [0] and with [1] the singer's screen.
double meanTickMicroseconds[2] = {0, 0};

void BM_RenderTick(benchmark::State &state)
{
    const bool withSinger = state.range(0) != 0;
    const auto dir = std::filesystem::temp_directory_path() / "vokrin-bench-render-tick";
    std::filesystem::create_directories(dir);
    const auto wav = dir / "tone.wav";
    fixtures::writeWav(wav, fixtures::sine(44100, 2, 120.0, 440, 0.5));

    audio::Player player;
    display::TLyricListBox lyrics;
    lyrics.resize(500, 550);
    QList<quint32> cues;
    for (int i = 0; i < 500; ++i) {
        lyrics.addItem(QStringLiteral("Строка песни номер %1").arg(i + 1));
        cues.append(static_cast<quint32>(i) * 4 * 44100 / 5); // a line every 200 ms
    }
    TMMLEDGauge gauge;
    display::TPaintBox paintFrame;
    paintFrame.resize(175, 52);
    display::TSpectrum spectrum(175, 52);
    spectrum.Style = 1;
    spectrum.BarWidth = 1;
    display::FftBuffer fft{};
    display::RenderTargets targets{lyrics, gauge, spectrum, paintFrame, fft};
    lyrics.show();
    paintFrame.show();
    gauge.show();
    std::unique_ptr<display::SingerScreen> singer;
    if (withSinger) {
        singer = std::make_unique<display::SingerScreen>(lyrics);
        singer->resize(1920, 1080);
        singer->show();
    }
    QApplication::processEvents();
    double total = 0;

    player.PlayFile(wav.string());
    std::int32_t cueIndex = 0;
    for (auto _ : state) {
        if (cueIndex >= cues.size()) {
            player.PlayFile(wav.string());
            cueIndex = 0;
        }
        engine::advanceManualClock(kTickFrames); // playback itself is not the tick's cost
        const auto start = std::chrono::steady_clock::now();
        display::renderTick(player, cues, 0, false, cueIndex, targets);
        QApplication::processEvents(); // the repaint of list, gauge and spectrum
        const auto end = std::chrono::steady_clock::now();
        const double seconds = std::chrono::duration<double>(end - start).count();
        total += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["lines_lit"] = cueIndex;
    if (state.iterations() > 0)
        meanTickMicroseconds[withSinger ? 1 : 0] = total * 1e6 / double(state.iterations());
    BASS_StreamFree(player.stream());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_RenderTick)
    ->ArgName("singer_screen")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(2000);

} // namespace

int main(int argc, char **argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    engine::setManualClock(true);
    if (!BASS_Init(0, 44100, 0, nullptr, nullptr))
        return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    const double without = meanTickMicroseconds[0];
    const double with = meanTickMicroseconds[1];
    if (without > 0 && with > 0)
        std::printf("render tick, mean: %.1f us without the singer's screen, %.1f us with it: "
                    "%+.1f us (x%.2f)\n",
                    without, with, with - without, with / without);
    BASS_Free();
    return 0;
}
