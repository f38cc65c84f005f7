#include "audio/engine/dsp/echo.h"

#include <algorithm>

namespace vokrin::engine::fx {
namespace {
// Delay changes cross from the old tap to the new one over this long.
int tapFadeSamples(int rate)
{
    return rate / 100;
}

// The loop gain of a feedback setting (0..1): the setting itself up to 90 %, then
// pressed so that 100 % is 0.98 and the repeats still die away.
float loopGain(float feedback)
{
    constexpr float kKnee = 0.9f;
    constexpr float kTop = 0.98f;
    return feedback <= kKnee ? feedback
                             : kKnee + (feedback - kKnee) * (kTop - kKnee) / (1.0f - kKnee);
}

// What enters a delay line: the input plus the feedback. Where the feedback would take
// the sum towards full scale, it is bent into the room the input leaves (the last tenth
// of that room, smoothly), so feedback alone never takes a line, and so the wet output,
// past full scale.
float withFeedback(float input, float feedback)
{
    const float a = input < 0.0f ? -input : input;
    if ((feedback >= 0.0f) != (input >= 0.0f) && input != 0.0f)
        return input + feedback; // opposite signs: the sum is no larger than either
    if (!(a < 1.0f))
        return input; // already at full scale (or past it, or not a number): no room
    const float room = 1.0f - a;
    const float f = feedback < 0.0f ? -feedback : feedback;
    const float knee = 0.9f * room;
    if (f <= knee)
        return input + feedback;
    // knee + top * over / (1 + over) with over = (f - knee) / top, written so that a
    // vanishing room never divides by zero.
    const float top = room - knee;
    const float bent = knee + top * (f - knee) / (top + (f - knee));
    return input + (feedback < 0.0f ? -bent : bent);
}

} // namespace

EchoEffect::EchoEffect(int sampleRate, int channels)
    : m_rate(sampleRate), m_channels(std::min(channels, kMaxChannels))
{
    const int maxDelay = msToSamples(2000.0, sampleRate) + 1;
    m_lines.reserve(static_cast<std::size_t>(m_channels));
    for (int ch = 0; ch < m_channels; ++ch)
        m_lines.emplace_back(maxDelay);
    m_taps.resize(static_cast<std::size_t>(m_channels));
    take(EchoSettings{}, true);
    // The input frame may be wider than what we echo; keep its real stride.
    m_stride = channels;
}

void EchoEffect::setSettings(const EchoSettings &s)
{
    m_shared.publish(
        {s.wetDryMix, s.feedback, s.leftDelay, s.rightDelay, s.panDelay ? 1.0f : 0.0f});
}

void EchoEffect::take(const EchoSettings &s, bool immediately) noexcept
{
    const int n = immediately ? 0 : rampSamples(m_rate);
    const int left = std::max(1, msToSamples(s.leftDelay, m_rate));
    const int right = std::max(1, msToSamples(s.rightDelay, m_rate));
    if (immediately) {
        m_wet.reset(s.wetDryMix / 100.0f);
        m_feedback.reset(loopGain(s.feedback / 100.0f));
        m_cross.reset(s.panDelay ? 1.0f : 0.0f);
    } else {
        m_wet.setTarget(s.wetDryMix / 100.0f, n);
        m_feedback.setTarget(loopGain(s.feedback / 100.0f), n);
        m_cross.setTarget(s.panDelay ? 1.0f : 0.0f, n);
    }
    for (int ch = 0; ch < m_channels; ++ch) {
        const int delay = (ch % 2 == 0) ? left : right;
        if (immediately)
            m_taps[ch].reset(delay);
        else
            m_taps[ch].request(delay);
    }
}

void EchoEffect::process(float *interleaved, int frames) noexcept
{
    std::array<float, 5> p;
    if (m_shared.takeIfNew(p))
        take({p[0], p[1], p[2], p[3], p[4] != 0.0f}, !m_running);
    // Settings made before the first block are simply in force from the start.
    m_running = true;

    const int fade = tapFadeSamples(m_rate);
    float delayed[kMaxChannels];
    for (int i = 0; i < frames; ++i) {
        float *frame = interleaved + static_cast<std::ptrdiff_t>(i) * m_stride;
        for (int ch = 0; ch < m_channels; ++ch) {
            m_taps[ch].tick(fade);
            delayed[ch] = m_taps[ch].read(m_lines[ch]);
        }
        const float wet = m_wet.next();
        const float feedback = m_feedback.next();
        const float cross = m_cross.next();
        const float self = feedback * (1.0f - cross);
        const float other = feedback * cross;
        for (int ch = 0; ch < m_channels; ++ch) {
            // A channel without a partner (mono, or the odd one out) feeds itself.
            const int partner = (ch ^ 1) < m_channels ? (ch ^ 1) : ch;
            m_lines[ch].write(
                withFeedback(frame[ch], self * delayed[ch] + other * delayed[partner]));
            m_lines[ch].advance();
        }
        if (wet == 0.0f)
            continue; // dry only: the samples stay exactly as they came
        const float dry = 1.0f - wet;
        for (int ch = 0; ch < m_channels; ++ch)
            frame[ch] = dry * frame[ch] + wet * delayed[ch];
    }
}

} // namespace vokrin::engine::fx
