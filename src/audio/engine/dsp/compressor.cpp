#include "audio/engine/dsp/compressor.h"

#include <algorithm>
#include <cmath>

#include "audio/engine/dsp/fast_math.h"

namespace vokrin::engine::fx {
namespace {
constexpr float kInaudibleDb = 1e-5f;
} // namespace

double followerCoefficient(double ms, int sampleRate)
{
    const double samples = ms * sampleRate / 1000.0;
    if (samples < 1e-3)
        return 0.0;
    // After t samples a one-pole leaves exp(-t/tau) of a step; 10 % left at t = ms.
    return std::exp(-std::log(10.0) / samples);
}

CompressorEffect::CompressorEffect(int sampleRate, int channels)
    : m_rate(sampleRate), m_channels(channels)
{
    const int maxDelay = msToSamples(4.0, sampleRate) + 1;
    m_lines.reserve(static_cast<std::size_t>(channels));
    for (int ch = 0; ch < channels; ++ch)
        m_lines.emplace_back(maxDelay);
    take(CompressorSettings{}, true);
}

void CompressorEffect::setSettings(const CompressorSettings &s)
{
    m_shared.publish({s.gain, s.attack, s.release, s.threshold, s.ratio, s.predelay});
}

void CompressorEffect::take(const CompressorSettings &s, bool immediately) noexcept
{
    const int n = immediately ? 0 : rampSamples(m_rate);
    const float gain = static_cast<float>(std::pow(10.0, s.gain / 20.0));
    if (immediately) {
        m_outGain.reset(gain);
        m_threshold.reset(s.threshold);
        m_slope.reset(1.0f - 1.0f / s.ratio);
        m_tap.reset(msToSamples(s.predelay, m_rate));
    } else {
        m_outGain.setTarget(gain, n);
        m_threshold.setTarget(s.threshold, n);
        m_slope.setTarget(1.0f - 1.0f / s.ratio, n);
        m_tap.request(msToSamples(s.predelay, m_rate));
    }
    m_thresholdLinear = static_cast<float>(std::pow(10.0, s.threshold / 20.0));
    m_attackCoef = static_cast<float>(followerCoefficient(s.attack, m_rate));
    m_releaseCoef = static_cast<float>(followerCoefficient(s.release, m_rate));
    // 5 ms covers a period down to 200 Hz; a tenth of the release keeps the recovery
    // time within 10 % of the release.
    m_holdSamples = msToSamples(std::min(5.0, s.release / 10.0), m_rate);
}

void CompressorEffect::process(float *interleaved, int frames) noexcept
{
    std::array<float, 6> p;
    if (m_shared.takeIfNew(p))
        take({p[0], p[1], p[2], p[3], p[4], p[5]}, !m_running);
    // Settings made before the first block are simply in force from the start.
    m_running = true;

    const int fade = rampSamples(m_rate);
    const float attack = m_attackCoef;
    const float release = m_releaseCoef;
    float reduction = m_reductionDb;
    float held = m_heldDb;
    int holdLeft = m_holdLeft;
    for (int i = 0; i < frames; ++i) {
        float *frame = interleaved + static_cast<std::ptrdiff_t>(i) * m_channels;
        float peak = 0.0f;
        for (int ch = 0; ch < m_channels; ++ch)
            peak = std::fmax(peak, std::fabs(frame[ch]));

        const float threshold = m_threshold.next();
        const float slope = m_slope.next();
        float target = 0.0f;
        // Below a settled threshold there is nothing to compute.
        const bool under = m_threshold.settled() && peak <= m_thresholdLinear;
        if (!under && peak > 0.0f && slope > 0.0f) {
            const float over = fastLevelDb(peak) - threshold;
            if (over > 0.0f)
                target = over * slope;
        }
        // The peak reduction is held for a moment (longer than a period of most tones)
        // and then released; the applied reduction climbs to it with the attack and
        // follows it down at once. A steady tone is held at its peak's reduction
        // instead of sagging between peaks, whatever the attack and release.
        if (target >= held) {
            held = target;
            holdLeft = m_holdSamples;
        } else if (holdLeft > 0) {
            --holdLeft;
        } else {
            held = target + release * (held - target);
        }
        reduction = held > reduction ? held + attack * (reduction - held) : held;
        if (reduction < kInaudibleDb && held < kInaudibleDb)
            reduction = held = 0.0f; // a release's endless tail: back to exact unity

        const float makeUp = m_outGain.next();
        const float gain = reduction > 0.0f ? makeUp * fastDbToGain(-reduction) : makeUp;

        m_tap.tick(fade);
        if (m_tap.steady() && m_tap.delay() == 0) {
            for (int ch = 0; ch < m_channels; ++ch) {
                m_lines[ch].write(frame[ch]);
                m_lines[ch].advance();
                frame[ch] *= gain;
            }
        } else {
            for (int ch = 0; ch < m_channels; ++ch) {
                m_lines[ch].write(frame[ch]);
                frame[ch] = m_tap.read(m_lines[ch]) * gain;
                m_lines[ch].advance();
            }
        }
    }
    m_reductionDb = reduction;
    m_heldDb = held;
    m_holdLeft = holdLeft;
}

} // namespace vokrin::engine::fx
