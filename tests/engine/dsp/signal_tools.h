#pragma once

#include <vector>

namespace vokrin::fxtest {

// Interleaved float audio with its layout.
struct Audio
{
    int rate = 44100;
    int channels = 2;
    std::vector<float> samples;

    int frames() const { return static_cast<int>(samples.size()) / channels; }
    float at(int frame, int channel) const { return samples[frame * channels + channel]; }
    float &at(int frame, int channel) { return samples[frame * channels + channel]; }
    std::vector<float> channel(int c) const;
};

Audio silence(int rate, int channels, int frames);
// The same sine on every channel.
Audio sine(int rate, int channels, int frames, double hz, double amplitude);
// Deterministic white noise, independent per channel, uniform in [-amplitude, amplitude].
Audio noise(int rate, int channels, int frames, double amplitude, unsigned seed = 1);
// Deterministic pink noise (-3 dB per octave), independent per channel, scaled so that
// its peak over the whole signal is `peak`.
Audio pinkNoise(int rate, int channels, int frames, double peak, unsigned seed = 1);
Audio impulse(int rate, int channels, int frames, int onChannel = -1 /* all */);

double toDb(double ratio);
double fromDb(double db);

// Amplitude of the component at `hz` (least-squares fit of a sine and a cosine) over
// samples [from, to) of one channel.
double amplitudeAt(const std::vector<float> &x, int rate, double hz, int from, int to);
double peakAbs(const std::vector<float> &x, int from, int to);
double rms(const std::vector<float> &x, int from, int to);

// Index of the largest |x| in [from, to).
int peakIndex(const std::vector<float> &x, int from, int to);

// Reverberation time: Schroeder backward integration of the squared response, a
// straight line fitted to the decay curve between -5 and -35 dB, extrapolated to -60 dB.
// Returns seconds.
double decayTime(const std::vector<float> &impulseResponse, int rate);

// Second-order Butterworth low- or high-pass run twice (24 dB/octave), for splitting a
// response into bands.
std::vector<float> lowPass(const std::vector<float> &x, int rate, double hz);
std::vector<float> highPass(const std::vector<float> &x, int rate, double hz);

} // namespace vokrin::fxtest

namespace vokrin::engine {
class EffectChain;
}

namespace vokrin::fxtest {
// Runs the chain over the audio in place, in blocks as the mixer would.
void runChain(engine::EffectChain &chain, Audio &audio, int blockFrames = 441);
} // namespace vokrin::fxtest
