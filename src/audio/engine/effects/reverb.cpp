#include "reverb.h"

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

} // namespace

double loopGainFor(int delaySamples, int sampleRate, double seconds)
{
    return std::pow(10.0, -3.0 * delaySamples / (sampleRate * seconds));
}

ReverbEffect::ReverbEffect(int sampleRate, int channels) : m_rate(sampleRate), m_channels(channels)
{
    for (int i = 0; i < kLines; ++i) {
        m_delays[i] = scaled(kLineLengths[i], sampleRate);
        m_lines[i] = DelayLine(m_delays[i]);
    }
    for (int i = 0; i < kDiffusers; ++i) {
        m_diffusers[i].delay = scaled(kDiffuserLengths[i], sampleRate);
        m_diffusers[i].line = DelayLine(m_diffusers[i].delay);
    }
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
    for (auto &d : m_diffusers)
        d.line.clear();
    for (auto &l : m_lines)
        l.clear();
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
    for (int i = 0; i < frames; ++i) {
        float *frame = interleaved + static_cast<std::ptrdiff_t>(i) * m_channels;
        float sum = 0.0f;
        for (int ch = 0; ch < m_channels; ++ch)
            sum += frame[ch];
        float x = sum * inChannels * m_inGain.next();

        for (auto &d : m_diffusers) {
            const float delayed = d.line.read(d.delay);
            const float v = x + kDiffusion * delayed;
            d.line.write(v);
            d.line.advance();
            x = delayed - kDiffusion * v;
        }

        float raw[kLines];
        float out[kLines];
        for (int k = 0; k < kLines; ++k) {
            raw[k] = m_lines[k].read(m_delays[k]);
            // Low band keeps the low-frequency loop gain, the rest the high one.
            float &lp = m_shelfState[k];
            lp = raw[k] + shelfCoef * (lp - raw[k]);
            out[k] = m_highGain[k] * raw[k] + (m_lowGain[k] - m_highGain[k]) * lp;
        }
        // Taps before the loop losses: the first pass is heard even for the shortest time.
        // The diffused input goes out at once as well, so the reverb has no gap before
        // its first sound (the lines are 23 ms and longer).
        const float left =
            x + raw[0] - raw[1] + raw[2] - raw[3] + raw[4] - raw[5] + raw[6] - raw[7];
        const float right =
            x + raw[0] + raw[1] - raw[2] - raw[3] + raw[4] + raw[5] - raw[6] - raw[7];
        hadamard8(out);
        for (int k = 0; k < kLines; ++k) {
            // Alternate signs decorrelate what enters the lines.
            m_lines[k].write(out[k] + ((k & 1) ? -x : x));
            m_lines[k].advance();
        }

        const float wet = m_wet.next() * 0.5f;
        const float dry = 1.0f - m_wet.current();
        for (int ch = 0; ch < m_channels; ++ch)
            frame[ch] = dry * frame[ch] + wet * ((ch & 1) ? right : left);
    }
}

} // namespace vokrin::engine::fx
