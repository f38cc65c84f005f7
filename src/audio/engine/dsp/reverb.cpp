#include "audio/engine/dsp/reverb.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vokrin::engine::fx {
namespace {

// Line lengths at 44.1 kHz (about 23..43 ms), spread so that their echoes rarely meet.
constexpr std::array<int, ReverbEffect::kLines> kLineLengths = {1031, 1151, 1277, 1399,
                                                                1523, 1657, 1783, 1907};
constexpr std::array<int, ReverbEffect::kDiffusers> kDiffuserLengths = {149, 211, 347, 491};
constexpr float kDiffusion = 0.6f;
// Where high frequencies start to take the shorter decay.
constexpr double kShelfHz = 3000.0;
// The bottom of the dB ranges means off, not merely quiet.
constexpr float kFloorDb = -96.0f;

int scaled(int samplesAt44k, int rate)
{
    return std::max(1, static_cast<int>(std::lround(samplesAt44k * (rate / 44100.0))));
}

float dbToGainOrZero(float db)
{
    return db <= kFloorDb ? 0.0f : static_cast<float>(std::pow(10.0, db / 20.0));
}

// In-place fast Walsh-Hadamard transform of 8 values, scaled to stay orthonormal.
inline void hadamard8(float *v) noexcept
{
    for (int span = 1; span < 8; span <<= 1)
        for (int i = 0; i < 8; i += span << 1)
            for (int j = i; j < i + span; ++j) {
                const float a = v[j];
                const float b = v[j + span];
                v[j] = a + b;
                v[j + span] = a - b;
            }
    constexpr float norm = 0.353553391f; // 1/sqrt(8)
    for (int i = 0; i < 8; ++i)
        v[i] *= norm;
}

std::size_t powerOfTwoAbove(int n)
{
    std::size_t size = 1;
    while (size <= static_cast<std::size_t>(n))
        size <<= 1;
    return size;
}

} // namespace

double loopGainFor(int delaySamples, int sampleRate, double seconds)
{
    return std::pow(10.0, -3.0 * delaySamples / (sampleRate * seconds));
}

ReverbEffect::ReverbEffect(int sampleRate, int channels) : m_rate(sampleRate), m_channels(channels)
{
    for (int i = 0; i < kLines; ++i)
        m_delays[i] = scaled(kLineLengths[i], sampleRate);
    for (int i = 0; i < kDiffusers; ++i)
        m_diffuserDelays[i] = scaled(kDiffuserLengths[i], sampleRate);
    m_lineLength = powerOfTwoAbove(*std::max_element(m_delays.begin(), m_delays.end()));
    m_diffuserLength =
        powerOfTwoAbove(*std::max_element(m_diffuserDelays.begin(), m_diffuserDelays.end()));
    m_lines.assign(m_lineLength * kLines, 0.0f);
    m_diffusers.assign(m_diffuserLength * kDiffusers, 0.0f);
    m_input.assign(kBlock, 0.0f);
    const double shelf = std::min(kShelfHz, 0.3 * sampleRate);
    m_shelfCoef = static_cast<float>(std::exp(-2.0 * std::numbers::pi * shelf / sampleRate));
    take(ReverbSettings{}, true);
}

void ReverbEffect::setSettings(const ReverbSettings &s)
{
    m_shared.publish({s.inGain, s.reverbMix, s.reverbTime, s.highFreqRTRatio});
}

void ReverbEffect::take(const ReverbSettings &s, bool immediately) noexcept
{
    const double seconds = std::max(static_cast<double>(s.reverbTime), 1.0) / 1000.0;
    double meanGain = 0.0;
    for (int i = 0; i < kLines; ++i) {
        const double low = loopGainFor(m_delays[i], m_rate, seconds);
        const double high = loopGainFor(m_delays[i], m_rate, seconds * s.highFreqRTRatio);
        m_lowGain[i] = static_cast<float>(low);
        m_highGain[i] = static_cast<float>(high);
        meanGain += low / kLines;
    }
    // The tail's energy grows as 1/(1 - g^2); scaling the input by its root keeps the
    // wet level about the same for short and long reverb times.
    m_inputScale = static_cast<float>(std::sqrt(std::max(1.0 - meanGain * meanGain, 1e-4)));
    const float in = dbToGainOrZero(s.inGain) * m_inputScale;
    const float wet = dbToGainOrZero(s.reverbMix);
    const int n = immediately ? 0 : rampSamples(m_rate);
    if (immediately) {
        m_inGain.reset(in);
        m_wet.reset(wet);
        m_idle = wet == 0.0f;
    } else {
        m_inGain.setTarget(in, n);
        m_wet.setTarget(wet, n);
    }
}

void ReverbEffect::clearTail() noexcept
{
    std::fill(m_diffusers.begin(), m_diffusers.end(), 0.0f);
    std::fill(m_lines.begin(), m_lines.end(), 0.0f);
    m_shelfState.fill(0.0f);
}

void ReverbEffect::process(float *interleaved, int frames) noexcept
{
    std::array<float, 4> p;
    if (m_shared.takeIfNew(p))
        take({p[0], p[1], p[2], p[3]}, !m_running);
    // Settings made before the first block are simply in force from the start.
    m_running = true;

    if (m_wet.settled() && m_wet.current() == 0.0f) {
        // Dry only: the samples pass untouched and the tail is dropped.
        m_idle = true;
        return;
    }
    if (m_idle) {
        clearTail(); // a stale tail from before must not come back
        m_idle = false;
    }

    const float inChannels = 1.0f / static_cast<float>(m_channels);
    const float shelfCoef = m_shelfCoef;
    const std::size_t lineMask = m_lineLength - 1;
    const std::size_t diffuserMask = m_diffuserLength - 1;
    float *const lines = m_lines.data();
    float *const diffusers = m_diffusers.data();
    float *const input = m_input.data();
    for (int done = 0; done < frames; done += kBlock) {
        const int block = std::min(kBlock, frames - done);
        float *const first = interleaved + static_cast<std::ptrdiff_t>(done) * m_channels;
        for (int i = 0; i < block; ++i) {
            float sum = 0.0f;
            for (int ch = 0; ch < m_channels; ++ch)
                sum += first[i * m_channels + ch];
            input[i] = sum * inChannels * m_inGain.next();
        }
        // Each all-pass runs over the whole block before the next: its own feedback is
        // at least its delay away, so the samples of a pass do not wait on each other.
        for (int d = 0; d < kDiffusers; ++d) {
            float *line = diffusers + d * m_diffuserLength;
            const std::size_t delay = static_cast<std::size_t>(m_diffuserDelays[d]);
            for (int i = 0; i < block; ++i) {
                const std::size_t pos = m_pos + static_cast<std::size_t>(i);
                const float delayed = line[(pos - delay) & diffuserMask];
                const float v = input[i] + kDiffusion * delayed;
                line[pos & diffuserMask] = v;
                input[i] = delayed - kDiffusion * v;
            }
        }
        mixBlock(first, block, lines, lineMask, shelfCoef);
        m_pos += static_cast<std::size_t>(block);
    }
}

void ReverbEffect::mixBlock(float *first, int block, float *lines, std::size_t lineMask,
                            float shelfCoef) noexcept
{
    const float *const input = m_input.data();
    std::array<float, kLines> shelf = m_shelfState;
    for (int i = 0; i < block; ++i) {
        const std::size_t pos = m_pos + static_cast<std::size_t>(i);
        float *frame = first + static_cast<std::ptrdiff_t>(i) * m_channels;
        const float x = input[i];
        float raw[kLines];
        float out[kLines];
        for (int k = 0; k < kLines; ++k) {
            raw[k] = lines[k * m_lineLength + ((pos - m_delays[k]) & lineMask)];
            // Low band keeps the low-frequency loop gain, the rest the high one.
            float &lp = shelf[k];
            lp = raw[k] + shelfCoef * (lp - raw[k]);
            out[k] = m_highGain[k] * raw[k] + (m_lowGain[k] - m_highGain[k]) * lp;
        }
        // The diffused input goes out at once as well, so the reverb has no gap before
        // its first sound (the lines are 23 ms and longer); the taps are read before the
        // loop losses, so the first pass is heard even for the shortest time.
        const float left =
            x + raw[0] - raw[1] + raw[2] - raw[3] + raw[4] - raw[5] + raw[6] - raw[7];
        const float right =
            x + raw[0] + raw[1] - raw[2] - raw[3] + raw[4] + raw[5] - raw[6] - raw[7];
        hadamard8(out);
        const std::size_t w = pos & lineMask;
        for (int k = 0; k < kLines; ++k) {
            // Alternate signs decorrelate what enters the lines.
            lines[k * m_lineLength + w] = out[k] + ((k & 1) ? -x : x);
        }

        const float wet = m_wet.next() * 0.5f;
        const float dry = 1.0f - m_wet.current();
        for (int ch = 0; ch < m_channels; ++ch)
            frame[ch] = dry * frame[ch] + wet * ((ch & 1) ? right : left);
    }
    m_shelfState = shelf;
}

} // namespace vokrin::engine::fx
