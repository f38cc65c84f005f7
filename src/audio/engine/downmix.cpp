#include "downmix.h"

namespace vokrin::engine {

namespace {
using S = Speaker;
constexpr float kMinus3dB = 0.70710678f;
} // namespace

std::vector<Speaker> vorbisLayout(int channels)
{
    switch (channels) {
    case 1:
        return {S::Mono};
    case 2:
        return {S::FrontLeft, S::FrontRight};
    case 3:
        return {S::FrontLeft, S::FrontCenter, S::FrontRight};
    case 4:
        return {S::FrontLeft, S::FrontRight, S::BackLeft, S::BackRight};
    case 5:
        return {S::FrontLeft, S::FrontCenter, S::FrontRight, S::BackLeft, S::BackRight};
    case 6:
        return {S::FrontLeft, S::FrontCenter, S::FrontRight, S::BackLeft, S::BackRight, S::Lfe};
    case 7:
        return {S::FrontLeft, S::FrontCenter, S::FrontRight, S::SideLeft,
                S::SideRight, S::BackCenter,  S::Lfe};
    case 8:
        return {S::FrontLeft, S::FrontCenter, S::FrontRight, S::SideLeft,
                S::SideRight, S::BackLeft,    S::BackRight,  S::Lfe};
    default:
        return {};
    }
}

std::vector<Speaker> waveLayout(int channels)
{
    switch (channels) {
    case 1:
        return {S::Mono};
    case 2:
        return {S::FrontLeft, S::FrontRight};
    case 3:
        return {S::FrontLeft, S::FrontRight, S::FrontCenter};
    case 4:
        return {S::FrontLeft, S::FrontRight, S::BackLeft, S::BackRight};
    case 5:
        return {S::FrontLeft, S::FrontRight, S::FrontCenter, S::BackLeft, S::BackRight};
    case 6:
        return {S::FrontLeft, S::FrontRight, S::FrontCenter, S::Lfe, S::BackLeft, S::BackRight};
    case 7:
        return {S::FrontLeft,  S::FrontRight, S::FrontCenter, S::Lfe,
                S::BackCenter, S::SideLeft,   S::SideRight};
    case 8:
        return {S::FrontLeft, S::FrontRight, S::FrontCenter, S::Lfe,
                S::BackLeft,  S::BackRight,  S::SideLeft,    S::SideRight};
    default:
        return {};
    }
}

std::vector<Speaker> waveMaskLayout(unsigned mask, int channels)
{
    // Bit order of the mask: FL FR FC LFE BL BR FLC FRC BC SL SR, then top speakers.
    static const Speaker kBits[11] = {
        S::FrontLeft,  S::FrontRight, S::FrontCenter,       S::Lfe,
        S::BackLeft,   S::BackRight,  S::FrontLeftOfCenter, S::FrontRightOfCenter,
        S::BackCenter, S::SideLeft,   S::SideRight};
    std::vector<Speaker> layout;
    for (int bit = 0; bit < 32 && static_cast<int>(layout.size()) < channels; ++bit)
        if (mask & (1u << bit))
            layout.push_back(bit < 11 ? kBits[bit] : S::Unknown);
    while (static_cast<int>(layout.size()) < channels)
        layout.push_back(S::Unknown);
    return layout;
}

std::vector<StereoGains> stereoDownmix(const std::vector<Speaker> &layout)
{
    std::vector<StereoGains> gains;
    gains.reserve(layout.size());
    for (Speaker speaker : layout) {
        switch (speaker) {
        case S::Mono:
            gains.push_back({1.0f, 1.0f});
            break;
        case S::FrontLeft:
        case S::FrontLeftOfCenter:
            gains.push_back({1.0f, 0.0f});
            break;
        case S::FrontRight:
        case S::FrontRightOfCenter:
            gains.push_back({0.0f, 1.0f});
            break;
        case S::BackLeft:
        case S::SideLeft:
            gains.push_back({kMinus3dB, 0.0f});
            break;
        case S::BackRight:
        case S::SideRight:
            gains.push_back({0.0f, kMinus3dB});
            break;
        case S::FrontCenter:
        case S::Unknown:
            gains.push_back({kMinus3dB, kMinus3dB});
            break;
        case S::BackCenter:
            gains.push_back({0.5f, 0.5f});
            break;
        case S::Lfe:
            gains.push_back({0.0f, 0.0f});
            break;
        }
    }
    return gains;
}

} // namespace vokrin::engine
