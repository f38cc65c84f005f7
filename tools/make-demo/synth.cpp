#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace vokrin::demo {
namespace {

double midiHz(int midi)
{
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// Adds one note with a short attack and an exponential release to both channels.
void addTone(std::vector<float> &out, int rate, double start, double seconds, double hz,
             double gain, double pan, std::initializer_list<double> harmonics)
{
    const auto first = static_cast<std::int64_t>(start * rate);
    const auto frames = static_cast<std::int64_t>(seconds * rate);
    const std::int64_t total = static_cast<std::int64_t>(out.size() / 2);
    const double left = gain * std::cos(pan * std::numbers::pi / 4 + std::numbers::pi / 4);
    const double right = gain * std::sin(pan * std::numbers::pi / 4 + std::numbers::pi / 4);
    const double attack = 0.01 * rate;
    const double release = 0.06 * rate;
    for (std::int64_t i = 0; i < frames + static_cast<std::int64_t>(release) * 3; ++i) {
        const std::int64_t frame = first + i;
        if (frame >= total)
            break;
        double envelope = std::min(1.0, i / attack);
        if (i > frames)
            envelope *= std::exp(-(i - frames) / release);
        const double t = static_cast<double>(i) / rate;
        double sample = 0.0;
        int k = 1;
        for (double h : harmonics)
            sample += h * std::sin(2.0 * std::numbers::pi * hz * k++ * t);
        out[static_cast<size_t>(frame) * 2] += static_cast<float>(sample * envelope * left);
        out[static_cast<size_t>(frame) * 2 + 1] += static_cast<float>(sample * envelope * right);
    }
}

void addTick(std::vector<float> &out, int rate, double start, double gain)
{
    std::uint32_t noise = 0x1234567u;
    const auto first = static_cast<std::int64_t>(start * rate);
    const int frames = rate / 50; // 20 ms
    for (int i = 0; i < frames; ++i) {
        const auto frame = static_cast<size_t>(first + i);
        if (frame * 2 + 1 >= out.size())
            break;
        noise = noise * 1664525u + 1013904223u;
        const double white = (static_cast<double>(noise >> 8) / (1 << 24)) * 2.0 - 1.0;
        const double sample = white * gain * std::exp(-i / (0.003 * rate));
        out[frame * 2] += static_cast<float>(sample);
        out[frame * 2 + 1] += static_cast<float>(sample);
    }
}

} // namespace

std::vector<float> renderSong(const Song &song, int rate)
{
    std::vector<float> out(static_cast<size_t>(songSeconds(song) * rate + rate) * 2, 0.0f);
    const double eighth = song.eighthSeconds;
    const double bar = 4 * eighth;

    // Introduction: two bars of the tonic chord and the beat.
    int eighthIndex = 0;
    auto accompanyBar = [&](double start, int root, bool major) {
        const int third = root + (major ? 4 : 3);
        addTone(out, rate, start, bar * 0.95, midiHz(root - 12), 0.22, -0.2, {1.0, 0.3});
        addTone(out, rate, start + 2 * eighth, 2 * eighth * 0.9, midiHz(root - 5), 0.18, -0.2,
                {1.0, 0.3});
        for (int midi : {root + 12, third + 12, root + 19})
            addTone(out, rate, start, bar, midiHz(midi), 0.045, 0.4, {1.0, 0.5, 0.25, 0.12});
    };
    for (int b = 0; b < song.introEighths / 4; ++b)
        accompanyBar(b * bar, 50, false);

    eighthIndex = song.introEighths;
    for (const SongLine &line : song.lines) {
        const double lineStart = eighthIndex * eighth;
        for (size_t b = 0; b < line.chords.size(); ++b)
            accompanyBar(lineStart + static_cast<double>(b) * bar, line.chords[b],
                         line.chords[b] == 57);
        int at = eighthIndex;
        for (const Note &note : line.notes) {
            if (note.midi != 0)
                addTone(out, rate, at * eighth, note.eighths * eighth * 0.92, midiHz(note.midi),
                        0.3, 0.0, {1.0, 0.45, 0.2, 0.1});
            at += note.eighths;
        }
        eighthIndex = at;
    }
    accompanyBar(eighthIndex * eighth, 50, false);
    accompanyBar((eighthIndex + 4) * eighth, 50, false);

    const int totalEighths = eighthIndex + song.outroEighths;
    for (int i = 0; i < totalEighths; ++i)
        addTick(out, rate, i * eighth, i % 2 == 0 ? 0.12 : 0.06);

    float peak = 0.0f;
    for (float s : out)
        peak = std::max(peak, std::fabs(s));
    if (peak > 0.0f) {
        const float scale = 0.7f / peak;
        for (float &s : out)
            s *= scale;
    }
    return out;
}

} // namespace vokrin::demo
