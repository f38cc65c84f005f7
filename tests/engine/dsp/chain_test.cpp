// The chain: run order, defaults, live changes (timing, clicks, tearing), subnormals
// and a control thread racing the audio thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <thread>

#include "audio/engine/dsp/effect_chain.h"
#include "signal_tools.h"

using namespace vokrin::engine;
using namespace vokrin::fxtest;

namespace {

constexpr int kRate = 44100;

const CompressorSettings kHardCompressor{0, 0, 500, -20, 100, 0};
const ParamEqSettings kWideBoost{1000, 36, 12};

TEST(EffectChain, RunsHigherPrioritiesFirstAndEqualOnesInTheOrderAdded)
{
    // A -30 dB tone: compressing first leaves it alone and the EQ lifts it to -18 dB;
    // boosting first takes it over the -20 dB threshold, where the limiter holds it.
    struct Case
    {
        bool compressorAddedFirst;
        int compressorPriority, eqPriority;
        double expectDb;
    };
    const Case cases[] = {{true, 2, 1, -18},  {false, 2, 1, -18}, {true, 1, 2, -20},
                          {false, 1, 2, -20}, {true, 1, 1, -18},  {false, 1, 1, -20},
                          {false, -5, 7, -20}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.compressorAddedFirst << " " << c.compressorPriority
                                        << " " << c.eqPriority);
        EffectChain chain(kRate, 2);
        int comp, eq;
        if (c.compressorAddedFirst) {
            comp = chain.add(EffectKind::Compressor, c.compressorPriority);
            eq = chain.add(EffectKind::ParamEq, c.eqPriority);
        } else {
            eq = chain.add(EffectKind::ParamEq, c.eqPriority);
            comp = chain.add(EffectKind::Compressor, c.compressorPriority);
        }
        ASSERT_TRUE(chain.set(comp, kHardCompressor));
        ASSERT_TRUE(chain.set(eq, kWideBoost));
        Audio a = sine(kRate, 2, kRate / 2, 1000, fromDb(-30));
        runChain(chain, a);
        EXPECT_NEAR(toDb(peakAbs(a.channel(0), kRate / 4, a.frames())), c.expectDb, 0.3);
    }
}

TEST(EffectChain, NewEffectsStartWithTheClassicDefaults)
{
    EffectChain chain(kRate, 2);
    ParamEqSettings eq;
    ASSERT_TRUE(chain.get(chain.add(EffectKind::ParamEq, 1), eq));
    EXPECT_EQ(eq.center, 8000);
    EXPECT_EQ(eq.bandwidth, 12);
    EXPECT_EQ(eq.gain, 0);
    CompressorSettings comp;
    ASSERT_TRUE(chain.get(chain.add(EffectKind::Compressor, 1), comp));
    EXPECT_EQ(comp.gain, 0);
    EXPECT_EQ(comp.attack, 10);
    EXPECT_EQ(comp.release, 200);
    EXPECT_EQ(comp.threshold, -20);
    EXPECT_EQ(comp.ratio, 3);
    EXPECT_EQ(comp.predelay, 4);
    EchoSettings echo;
    ASSERT_TRUE(chain.get(chain.add(EffectKind::Echo, 1), echo));
    EXPECT_EQ(echo.wetDryMix, 50);
    EXPECT_EQ(echo.feedback, 50);
    EXPECT_EQ(echo.leftDelay, 500);
    EXPECT_EQ(echo.rightDelay, 500);
    EXPECT_FALSE(echo.panDelay);
    ReverbSettings reverb;
    ASSERT_TRUE(chain.get(chain.add(EffectKind::Reverb, 1), reverb));
    EXPECT_EQ(reverb.inGain, 0);
    EXPECT_EQ(reverb.reverbMix, 0);
    EXPECT_EQ(reverb.reverbTime, 1000);
    EXPECT_EQ(reverb.highFreqRTRatio, 0.001f);
}

TEST(EffectChain, IndexAndKindMismatchesAreRefused)
{
    EffectChain chain(kRate, 1);
    const int eq = chain.add(EffectKind::ParamEq, 1);
    const int echo = chain.add(EffectKind::Echo, 1);
    EXPECT_EQ(chain.kindOf(eq), static_cast<int>(EffectKind::ParamEq));
    EXPECT_EQ(chain.kindOf(echo), static_cast<int>(EffectKind::Echo));
    EXPECT_EQ(chain.kindOf(2), -1);
    EXPECT_EQ(chain.kindOf(-1), -1);
    EXPECT_FALSE(chain.set(echo, ParamEqSettings{}));
    EXPECT_FALSE(chain.set(eq, EchoSettings{}));
    EXPECT_FALSE(chain.set(5, ReverbSettings{}));
    CompressorSettings c;
    EXPECT_FALSE(chain.get(eq, c));
    EXPECT_FALSE(chain.get(-1, c));
    EXPECT_EQ(chain.add(static_cast<EffectKind>(2), 1), -1);
    for (int i = 2; i < EffectChain::kMaxEffects; ++i)
        EXPECT_GE(chain.add(EffectKind::ParamEq, 1), 0);
    EXPECT_EQ(chain.add(EffectKind::ParamEq, 1), -1); // full
}

// Renders a 440 Hz tone through a chain made by `setup`; after `changeAt` frames,
// `change` runs. Returns the output of channel 0.
std::vector<float> renderWithChange(const std::function<void(EffectChain &)> &setup,
                                    const std::function<void(EffectChain &)> &change, int changeAt,
                                    int frames, double amplitude = 0.5)
{
    EffectChain chain(kRate, 2);
    setup(chain);
    Audio a = sine(kRate, 2, frames, 440.0, amplitude);
    const int block = 256;
    for (int done = 0; done < frames; done += block) {
        if (done == changeAt && change)
            change(chain);
        chain.process(a.samples.data() + static_cast<std::size_t>(done) * 2,
                      std::min(block, frames - done));
    }
    return a.channel(0);
}

double maxStep(const std::vector<float> &x, int from, int to)
{
    double m = 0;
    for (int i = std::max(from, 1); i < to; ++i)
        m = std::max(m, static_cast<double>(std::fabs(x[i] - x[i - 1])));
    return m;
}

TEST(EffectChain, ChangesAreHeardWithinTwentyMillisecondsAndWithoutClicks)
{
    struct Case
    {
        const char *what;
        std::function<void(EffectChain &)> setup;
        std::function<void(EffectChain &)> change;
    };
    const auto add = [](auto settings, EffectKind kind) {
        return [settings, kind](EffectChain &c) { c.set(c.add(kind, 1), settings); };
    };
    const Case cases[] = {
        {"eq gain", add(ParamEqSettings{440, 12, 0}, EffectKind::ParamEq),
         [](EffectChain &c) {
             c.set(0, ParamEqSettings{440, 12, 9});
         }},
        {"eq centre", add(ParamEqSettings{440, 6, -12}, EffectKind::ParamEq),
         [](EffectChain &c) {
             c.set(0, ParamEqSettings{4000, 6, -12});
         }},
        {"compressor output gain",
         add(CompressorSettings{0, 0, 50, 0, 1, 0}, EffectKind::Compressor),
         [](EffectChain &c) {
             c.set(0, CompressorSettings{-12, 0, 50, 0, 1, 0});
         }},
        {"compressor threshold",
         add(CompressorSettings{0, 0, 50, 0, 10, 0}, EffectKind::Compressor),
         [](EffectChain &c) {
             c.set(0, CompressorSettings{0, 0, 50, -30, 10, 0});
         }},
        {"echo mix", add(EchoSettings{0, 0, 5, 5, false}, EffectKind::Echo),
         [](EffectChain &c) {
             c.set(0, EchoSettings{100, 0, 5, 5, false});
         }},
        {"reverb mix", add(ReverbSettings{0, -96, 1000, 0.5f}, EffectKind::Reverb),
         [](EffectChain &c) {
             c.set(0, ReverbSettings{0, -6, 1000, 0.5f});
         }},
        {"reverb in-gain", add(ReverbSettings{-96, -6, 1000, 0.5f}, EffectKind::Reverb),
         [](EffectChain &c) {
             c.set(0, ReverbSettings{0, -6, 1000, 0.5f});
         }},
    };
    const int changeAt = 256 * 40;
    const int frames = changeAt + kRate / 5;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<float> before = renderWithChange(c.setup, nullptr, changeAt, frames);
        const std::vector<float> after = renderWithChange(c.setup, c.change, changeAt, frames);
        int firstDifferent = -1;
        for (int i = changeAt; i < frames && firstDifferent < 0; ++i)
            if (std::fabs(after[i] - before[i]) > 1e-3)
                firstDifferent = i;
        ASSERT_GE(firstDifferent, 0);
        EXPECT_LE((firstDifferent - changeAt) * 1000.0 / kRate, 20.0);
        // The output 20 ms on differs clearly from the unchanged one.
        const int settled = changeAt + kRate / 50;
        double change = 0;
        for (int i = settled; i < frames; ++i)
            change = std::max(change, static_cast<double>(std::fabs(after[i] - before[i])));
        EXPECT_GT(change, 0.05);
        // No click: sample-to-sample steps stay within what the steady tones show.
        const double steady = std::max(maxStep(before, changeAt - 4000, changeAt),
                                       maxStep(after, frames - 4000, frames));
        EXPECT_LT(maxStep(after, changeAt, changeAt + kRate / 20), 1.5 * steady + 0.005);
    }
}

TEST(EffectChain, EchoDelayChangesDoNotTear)
{
    for (auto [from, to] : {std::pair{500.0f, 300.0f}, std::pair{20.0f, 2000.0f}}) {
        SCOPED_TRACE(testing::Message() << from << " -> " << to);
        const auto setup = [from](EffectChain &c) {
            c.set(c.add(EffectKind::Echo, 1), EchoSettings{100, 50, from, from, false});
        };
        const auto change = [to](EffectChain &c) {
            c.set(0, EchoSettings{100, 50, to, to, false});
        };
        const int changeAt = 256 * 400;
        const int frames = changeAt + kRate / 2;
        const std::vector<float> out = renderWithChange(setup, change, changeAt, frames, 0.3);
        const double steady = maxStep(out, changeAt - 20000, changeAt);
        EXPECT_LT(maxStep(out, changeAt, frames), 1.5 * steady);
    }
}

TEST(EffectChain, CompressorPredelayChangeDoesNotTear)
{
    const auto setup = [](EffectChain &c) {
        c.set(c.add(EffectKind::Compressor, 1), CompressorSettings{0, 0, 50, 0, 1, 0});
    };
    const auto change = [](EffectChain &c) { c.set(0, CompressorSettings{0, 0, 50, 0, 1, 4}); };
    const std::vector<float> out = renderWithChange(setup, change, 25600, 40000, 0.9);
    const double steady = maxStep(out, 10000, 25600);
    EXPECT_LT(maxStep(out, 25600, 40000), 1.5 * steady);
}

TEST(EffectChain, LongTailsNeverProduceSubnormals)
{
    EffectChain chain(kRate, 2);
    for (int i = 0; i < 10; ++i)
        chain.set(chain.add(EffectKind::ParamEq, 1),
                  ParamEqSettings{80.0f + 1000.0f * i, 18, (i % 2) ? 15.0f : -15.0f});
    chain.set(chain.add(EffectKind::Compressor, 1), CompressorSettings{0, 0, 3000, -60, 2, 4});
    chain.set(chain.add(EffectKind::Echo, 1), EchoSettings{50, 90, 7, 11, true});
    chain.set(chain.add(EffectKind::Reverb, 1), ReverbSettings{0, -3, 3000, 0.999f});
    Audio a = impulse(kRate, 2, kRate * 30);
    runChain(chain, a);
    int subnormals = 0;
    for (float v : a.samples)
        subnormals += std::fpclassify(v) == FP_SUBNORMAL;
    EXPECT_EQ(subnormals, 0);
    // And the tail did decay (-60 dB per 3 s of reverb time).
    EXPECT_LT(peakAbs(a.samples, static_cast<int>(a.samples.size()) - 2000,
                      static_cast<int>(a.samples.size())),
              1e-20);
}

TEST(EffectChain, ControlThreadRacingTheAudioThread)
{
    EffectChain chain(kRate, 2);
    chain.add(EffectKind::Echo, 1);
    std::atomic<bool> stop{false};
    std::atomic<bool> finite{true};
    std::thread audio([&] {
        std::vector<float> buffer(512 * 2);
        unsigned n = 0;
        while (!stop.load()) {
            for (std::size_t i = 0; i < buffer.size(); ++i)
                buffer[i] = static_cast<float>(std::sin(0.05 * (n++)));
            chain.process(buffer.data(), 512);
            for (float v : buffer)
                if (!std::isfinite(v) || std::fabs(v) > 100.0f)
                    finite = false;
        }
    });
    for (int i = 0; i < 2000; ++i) {
        if (i % 100 == 0 && chain.add(static_cast<EffectKind>(i % 200 ? 7 : 8), i % 3) >= 0) {
        }
        const int k = i % 5;
        const float f = static_cast<float>(i % 17);
        switch (chain.kindOf(k)) {
        case 7:
            chain.set(k, ParamEqSettings{100.0f + 500.0f * f, 1.0f + f, f - 8.0f});
            break;
        case 3:
            chain.set(k, EchoSettings{f * 5, f * 5, 1.0f + f * 100, 2000.0f - f * 100, i % 2 == 0});
            break;
        case 8:
            chain.set(k, ReverbSettings{-f, -f * 5, f * 150, 0.001f + f * 0.05f});
            break;
        default:
            break;
        }
        if (i % 50 == 0)
            std::this_thread::yield();
    }
    stop = true;
    audio.join();
    EXPECT_TRUE(finite.load());
}

} // namespace
