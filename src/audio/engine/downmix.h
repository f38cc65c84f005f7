#pragma once

#include <vector>

namespace vokrin::engine {

// Loudspeaker positions, as files name their channels.
enum class Speaker {
    FrontLeft,
    FrontRight,
    FrontCenter,
    Lfe,
    BackLeft,
    BackRight,
    FrontLeftOfCenter,
    FrontRightOfCenter,
    BackCenter,
    SideLeft,
    SideRight,
    Mono,
    Unknown,
};

// The usual channel orders for `channels` channels (1..8); an empty list for others.
std::vector<Speaker> vorbisLayout(int channels); // also Opus: FL, FC, FR, ...
std::vector<Speaker> waveLayout(int channels);   // WAV without a channel mask, and FLAC

// The speakers of a WAVE_FORMAT_EXTENSIBLE channel mask, in the file's order; channels
// beyond the mask are Unknown.
std::vector<Speaker> waveMaskLayout(unsigned mask, int channels);

// Gains of each channel into the left and right output.
struct StereoGains
{
    float left = 0.0f;
    float right = 0.0f;
};

// Stereo downmix: fronts to their sides, centre and surrounds at -3 dB into their
// sides (a back centre into both at -6 dB), LFE dropped. Mono plays on both sides;
// channels of unknown place go to both sides at -3 dB.
std::vector<StereoGains> stereoDownmix(const std::vector<Speaker> &layout);

} // namespace vokrin::engine
