#include "signal_tools.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace vokrin::fxtest {

std::vector<float> Audio::channel(int c) const
{
    std::vector<float> out(static_cast<std::size_t>(frames()));
    for (int i = 0; i < frames(); ++i)
        out[i] = at(i, c);
    return out;
}

Audio silence(int rate, int channels, int frames)
{
    return Audio{rate, channels, std::vector<float>(static_cast<std::size_t>(frames) * channels)};
}

Audio sine(int rate, int channels, int frames, double hz, double amplitude)
{
    Audio a = silence(rate, channels, frames);
    for (int i = 0; i < frames; ++i) {
        const float v =
            static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * i / rate));
        for (int c = 0; c < channels; ++c)
            a.at(i, c) = v;
    }
    return a;
}

Audio noise(int rate, int channels, int frames, double amplitude, unsigned seed)
{
    Audio a = silence(rate, channels, frames);
    uint32_t state = seed * 2654435761u + 12345u;
    for (float &v : a.samples) {
        state = state * 1664525u + 1013904223u;
        v = static_cast<float>(amplitude * ((state >> 8) / 8388608.0 - 1.0));
    }
    return a;
}

Audio pinkNoise(int rate, int channels, int frames, double peak, unsigned seed)
{
    // White noise through Paul Kellet's economy pink filter, per channel.
    Audio a = noise(rate, channels, frames, 1.0, seed);
    for (int c = 0; c < channels; ++c) {
        double b0 = 0.0, b1 = 0.0, b2 = 0.0;
        for (int i = 0; i < frames; ++i) {
            const double white = a.at(i, c);
            b0 = 0.99765 * b0 + white * 0.0990460;
            b1 = 0.96300 * b1 + white * 0.2965164;
            b2 = 0.57000 * b2 + white * 1.0526913;
            a.at(i, c) = static_cast<float>(b0 + b1 + b2 + white * 0.1848);
        }
    }
    float top = 0.0f;
    for (float v : a.samples)
        top = std::max(top, std::abs(v));
    const float scale = top > 0.0f ? static_cast<float>(peak) / top : 0.0f;
    for (float &v : a.samples)
        v *= scale;
    return a;
}

Audio impulse(int rate, int channels, int frames, int onChannel)
{
    Audio a = silence(rate, channels, frames);
    for (int c = 0; c < channels; ++c)
        if (onChannel < 0 || c == onChannel)
            a.at(0, c) = 1.0f;
    return a;
}

double toDb(double ratio)
{
    return 20.0 * std::log10(ratio);
}
double fromDb(double db)
{
    return std::pow(10.0, db / 20.0);
}

double amplitudeAt(const std::vector<float> &x, int rate, double hz, int from, int to)
{
    double cc = 0, ss = 0, cs = 0, xc = 0, xs = 0;
    for (int i = from; i < to; ++i) {
        const double w = 2.0 * std::numbers::pi * hz * i / rate;
        const double c = std::cos(w), s = std::sin(w);
        cc += c * c;
        ss += s * s;
        cs += c * s;
        xc += x[i] * c;
        xs += x[i] * s;
    }
    const double det = cc * ss - cs * cs;
    const double a = (xc * ss - xs * cs) / det;
    const double b = (xs * cc - xc * cs) / det;
    return std::hypot(a, b);
}

double peakAbs(const std::vector<float> &x, int from, int to)
{
    double p = 0;
    for (int i = from; i < to; ++i)
        p = std::max(p, static_cast<double>(std::fabs(x[i])));
    return p;
}

double rms(const std::vector<float> &x, int from, int to)
{
    double e = 0;
    for (int i = from; i < to; ++i)
        e += static_cast<double>(x[i]) * x[i];
    return std::sqrt(e / std::max(1, to - from));
}

int peakIndex(const std::vector<float> &x, int from, int to)
{
    int best = from;
    for (int i = from; i < to; ++i)
        if (std::fabs(x[i]) > std::fabs(x[best]))
            best = i;
    return best;
}

double decayTime(const std::vector<float> &h, int rate)
{
    std::vector<double> edc(h.size() + 1, 0.0);
    for (std::size_t i = h.size(); i-- > 0;)
        edc[i] = edc[i + 1] + static_cast<double>(h[i]) * h[i];
    const double total = edc[0];
    // Least-squares line through the decay curve between -5 and -35 dB.
    double n = 0, st = 0, sd = 0, stt = 0, std_ = 0;
    for (std::size_t i = 0; i < h.size(); ++i) {
        const double db = 10.0 * std::log10(edc[i] / total);
        if (db > -5.0)
            continue;
        if (db < -35.0)
            break;
        const double t = static_cast<double>(i) / rate;
        n += 1;
        st += t;
        sd += db;
        stt += t * t;
        std_ += t * db;
    }
    const double slope = (n * std_ - st * sd) / (n * stt - st * st); // dB per second
    return -60.0 / slope;
}

namespace {
std::vector<float> butterworth(const std::vector<float> &x, int rate, double hz, bool high)
{
    const double w0 = 2.0 * std::numbers::pi * hz / rate;
    const double alpha = std::sin(w0) / std::numbers::sqrt2; // Q = 1/sqrt(2)
    const double cw = std::cos(w0);
    const double a0 = 1 + alpha;
    const double b0 = (high ? (1 + cw) / 2 : (1 - cw) / 2) / a0;
    const double b1 = (high ? -(1 + cw) : (1 - cw)) / a0;
    const double b2 = b0;
    const double a1 = -2 * cw / a0;
    const double a2 = (1 - alpha) / a0;
    std::vector<float> y = x;
    for (int pass = 0; pass < 2; ++pass) {
        double s1 = 0, s2 = 0;
        for (float &v : y) {
            const double in = v;
            const double out = b0 * in + s1;
            s1 = b1 * in - a1 * out + s2;
            s2 = b2 * in - a2 * out;
            v = static_cast<float>(out);
        }
    }
    return y;
}
} // namespace

std::vector<float> lowPass(const std::vector<float> &x, int rate, double hz)
{
    return butterworth(x, rate, hz, false);
}
std::vector<float> highPass(const std::vector<float> &x, int rate, double hz)
{
    return butterworth(x, rate, hz, true);
}

} // namespace vokrin::fxtest

#include "audio/engine/dsp/effect_chain.h"

namespace vokrin::fxtest {
void runChain(engine::EffectChain &chain, Audio &audio, int blockFrames)
{
    for (int done = 0; done < audio.frames(); done += blockFrames) {
        const int n = std::min(blockFrames, audio.frames() - done);
        chain.process(audio.samples.data() + static_cast<std::size_t>(done) * audio.channels, n);
    }
}
} // namespace vokrin::fxtest
