#pragma once

namespace vokrin::engine {

// Master volume 0..100 as a gain: 100 is unity, 0 silence, and a cubic taper between so
// equal knob steps sound like equal loudness steps (50 is about -18 dB).
inline float masterGain(int volume)
{
    if (volume <= 0)
        return 0.0f;
    if (volume >= 100)
        return 1.0f;
    const float x = static_cast<float>(volume) / 100.0f;
    return x * x * x;
}

// A channel's own volume 0..100: linear.
inline float channelGain(int volume)
{
    return volume <= 0 ? 0.0f : volume >= 100 ? 1.0f : static_cast<float>(volume) / 100.0f;
}

// Pan -100..100 as a balance: the far side is turned down, the near side stays at unity.
struct BalanceGains
{
    float left;
    float right;
};
inline BalanceGains balanceGains(int pan)
{
    if (pan < -100)
        pan = -100;
    if (pan > 100)
        pan = 100;
    const float p = static_cast<float>(pan) / 100.0f;
    return {pan > 0 ? 1.0f - p : 1.0f, pan < 0 ? 1.0f + p : 1.0f};
}

} // namespace vokrin::engine
