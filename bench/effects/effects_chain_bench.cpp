// Cost of each effect and of the program's whole chain per block of audio, including a
// decaying tail that would sink into subnormal floats.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "audio/engine/dsp/effect_chain.h"

using namespace vokrin::engine;

namespace {

constexpr int kFrames = 1024;

std::vector<float> programme(bool silent)
{
    std::vector<float> x(2 * kFrames);
    uint32_t n = 7;
    for (float &v : x) {
        n = n * 1664525u + 1013904223u;
        v = silent ? 0.0f : static_cast<float>(((n >> 8) / 8388608.0 - 1.0) * 0.5);
    }
    return x;
}

void addProgramChain(EffectChain &chain)
{
    const float centres[10] = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
    for (int b = 0; b < 10; ++b)
        chain.set(chain.add(EffectKind::ParamEq, 1),
                  ParamEqSettings{centres[b], 18, b % 2 ? 5.0f : -4.0f});
    chain.set(chain.add(EffectKind::Compressor, 1), CompressorSettings{3, 10, 200, -20, 3, 4});
    chain.set(chain.add(EffectKind::Echo, 1), EchoSettings{30, 40, 333, 333, true});
    chain.set(chain.add(EffectKind::Reverb, 1), ReverbSettings{0, -10, 1000, 0.001f});
}

void run(benchmark::State &state, EffectChain &chain, bool silent)
{
    std::vector<float> input = programme(silent);
    std::vector<float> buffer(input.size());
    for (auto _ : state) {
        buffer = input;
        chain.process(buffer.data(), kFrames);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.counters["x_real_time"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames / 44100.0, benchmark::Counter::kIsRate);
}

void BM_Effect(benchmark::State &state)
{
    EffectChain chain(44100, 2);
    const auto kind = static_cast<EffectKind>(state.range(0));
    const int fx = chain.add(kind, 1);
    switch (kind) {
    case EffectKind::ParamEq:
        chain.set(fx, ParamEqSettings{1000, 18, 6});
        break;
    case EffectKind::Compressor:
        chain.set(fx, CompressorSettings{3, 10, 200, -20, 3, 4});
        break;
    case EffectKind::Echo:
        chain.set(fx, EchoSettings{30, 40, 333, 333, true});
        break;
    case EffectKind::Reverb:
        chain.set(fx, ReverbSettings{0, -10, 1000, 0.001f});
        break;
    }
    run(state, chain, false);
}
BENCHMARK(BM_Effect)->Arg(7)->Arg(1)->Arg(3)->Arg(8)->ArgName("type");

void BM_ProgramChain(benchmark::State &state)
{
    EffectChain chain(44100, 2);
    addProgramChain(chain);
    run(state, chain, false);
}
BENCHMARK(BM_ProgramChain);

// Silence after a burst: the tails decay towards the subnormal range.
void BM_ProgramChainDecayingTail(benchmark::State &state)
{
    EffectChain chain(44100, 2);
    addProgramChain(chain);
    std::vector<float> burst = programme(false);
    chain.process(burst.data(), kFrames);
    std::vector<float> quiet(2 * kFrames, 0.0f);
    for (int i = 0; i < 44100 * 20 / kFrames; ++i) { // 20 s of silence first
        std::fill(quiet.begin(), quiet.end(), 0.0f);
        chain.process(quiet.data(), kFrames);
    }
    run(state, chain, true);
}
BENCHMARK(BM_ProgramChainDecayingTail);

} // namespace
