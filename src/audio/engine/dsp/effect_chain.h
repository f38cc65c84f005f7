#pragma once

#include <memory>

namespace vokrin::engine {

// Parameters of the four effects, in the units of the classic DirectX 8 effects.
// A default-constructed value is what a newly added effect starts with.
struct ParamEqSettings
{
    float center = 8000.0f;  // Hz, 80..16000 (and below 0.45 x rate)
    float bandwidth = 12.0f; // semitones, 1..36
    float gain = 0.0f;       // dB, -15..15; exactly 0 is a bit-exact bypass
};

struct CompressorSettings
{
    float gain = 0.0f;        // output gain, dB, -60..60
    float attack = 10.0f;     // ms, 0..500 (0 is instant)
    float release = 200.0f;   // ms, 50..3000
    float threshold = -20.0f; // dB, -60..0
    float ratio = 3.0f;       // 1..100
    float predelay = 4.0f;    // look-ahead, ms, 0..4
};

struct EchoSettings
{
    float wetDryMix = 50.0f;   // %, 0..100 (100 all wet)
    float feedback = 50.0f;    // %, 0..100
    float leftDelay = 500.0f;  // ms, 1..2000
    float rightDelay = 500.0f; // ms, 1..2000
    bool panDelay = false;     // repeats alternate sides
};

struct ReverbSettings
{
    float inGain = 0.0f;            // dB, -96..0
    float reverbMix = 0.0f;         // dB, -96..0 (0 all wet, -96 dry only)
    float reverbTime = 1000.0f;     // ms, 0..3000 (under 1 ms acts as 1 ms)
    float highFreqRTRatio = 0.001f; // 0.001..0.999
};

enum class EffectKind { Compressor = 1, Echo = 3, ParamEq = 7, Reverb = 8 };

// The effects of one channel. Effects run in priority order (higher first; equal
// priorities in the order they were added) on interleaved float samples at the
// channel's processing rate.
//
// Control side: add/set/get may be called from any thread except the audio one; the
// caller serialises them (the engine's API lock). Audio side: process() runs on one
// thread, never blocks, never allocates and never frees.
class EffectChain
{
public:
    static constexpr int kMaxEffects = 32;

    EffectChain(int sampleRate, int channels);
    ~EffectChain();
    EffectChain(const EffectChain &) = delete;
    EffectChain &operator=(const EffectChain &) = delete;

    int sampleRate() const;
    int channels() const;

    // Returns the new effect's index (>= 0), or -1 when the chain is full.
    int add(EffectKind kind, int priority);
    // Returns -1 for an index that names no effect.
    int kindOf(int index) const;

    // false when the index names no effect of that kind, or a value is out of range,
    // NaN or infinite; the effect then keeps its parameters.
    bool set(int index, const ParamEqSettings &settings);
    bool set(int index, const CompressorSettings &settings);
    bool set(int index, const EchoSettings &settings);
    bool set(int index, const ReverbSettings &settings);
    bool get(int index, ParamEqSettings &settings) const;
    bool get(int index, CompressorSettings &settings) const;
    bool get(int index, EchoSettings &settings) const;
    bool get(int index, ReverbSettings &settings) const;

    // Audio side: runs every effect over `frames` interleaved frames in place.
    void process(float *interleaved, int frames) noexcept;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace vokrin::engine
