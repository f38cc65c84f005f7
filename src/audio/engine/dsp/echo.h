#pragma once

#include <vector>

#include "audio/engine/dsp/delay_line.h"
#include "audio/engine/dsp/effect.h"
#include "audio/engine/dsp/effect_chain.h"
#include "audio/engine/dsp/ramp.h"
#include "audio/engine/dsp/shared_params.h"

namespace vokrin::engine::fx {

// One delay line per channel with feedback; even channels use the left delay, odd ones
// the right. With pan delay each side's repeats feed its partner, so they alternate
// sides. The mix crossfades dry (0 %) to all wet (100 %); at 0 % the dry samples pass
// untouched. The loop gain stays below 1 (100 % feedback is 0.98), and feedback that
// would take a line towards full scale is bent into the room the input leaves, so the
// repeats always decay and feedback alone never clips.
class EchoEffect final : public Effect
{
public:
    EchoEffect(int sampleRate, int channels);
    void setSettings(const EchoSettings &s); // control side
    void process(float *interleaved, int frames) noexcept override;

private:
    void take(const EchoSettings &s, bool immediately) noexcept;

    static constexpr int kMaxChannels = 8; // frames wider than this echo their first 8

    int m_rate;
    bool m_running = false; // has processed audio (audio side)
    int m_channels;         // channels that are echoed
    int m_stride = 0;       // channels per frame
    SharedParams<5> m_shared;
    LinearRamp m_wet;      // 0..1
    LinearRamp m_feedback; // 0..1
    LinearRamp m_cross;    // 0 = each side feeds itself, 1 = feeds its partner
    std::vector<DelayLine> m_lines;
    std::vector<CrossfadingTap> m_taps;
};

} // namespace vokrin::engine::fx
