#pragma once

#include <bit>
#include <cstdint>

namespace vokrin::engine::fx {

// Level conversions for the per-sample detector: std::log10/std::pow cost more than
// the rest of the compressor. Both are accurate to well under 0.001 dB.

// log2 of a positive, finite float.
inline float fastLog2(float x)
{
    uint32_t bits = std::bit_cast<uint32_t>(x);
    int exponent = static_cast<int>((bits >> 23) & 0xffu) - 127;
    // Mantissa in [sqrt(1/2), sqrt(2)) keeps the series argument small.
    bits = (bits & 0x007fffffu) | 0x3f800000u;
    float m = std::bit_cast<float>(bits);
    if (m > 1.41421356f) {
        m *= 0.5f;
        ++exponent;
    }
    const float t = (m - 1.0f) / (m + 1.0f);
    const float t2 = t * t;
    // 2/ln2 * atanh(t) = log2((1+t)/(1-t))
    const float series =
        t * (2.88539008f + t2 * (0.961796694f + t2 * (0.577078016f + t2 * 0.412198583f)));
    return static_cast<float>(exponent) + series;
}

// 2^y for y in about [-126, 127].
inline float fastExp2(float y)
{
    if (y < -126.0f)
        return 0.0f;
    const float floorY = static_cast<float>(static_cast<int>(y) - (y < 0.0f ? 1 : 0));
    const float f = y - floorY; // [0, 1)
    // Taylor series of e^(f ln2) to the 7th power.
    const float z = f * 0.693147181f;
    const float p =
        1.0f +
        z * (1.0f + z * (0.5f + z * (1.0f / 6.0f +
                                     z * (1.0f / 24.0f +
                                          z * (1.0f / 120.0f +
                                               z * (1.0f / 720.0f + z * (1.0f / 5040.0f)))))));
    const int n = static_cast<int>(floorY);
    return p * std::bit_cast<float>(static_cast<uint32_t>(n + 127) << 23);
}

inline float fastLevelDb(float amplitude)
{
    return 6.02059991f * fastLog2(amplitude);
}
inline float fastDbToGain(float db)
{
    return fastExp2(db * 0.166096405f);
}

} // namespace vokrin::engine::fx
