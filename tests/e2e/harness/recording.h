#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace vokrin::e2e {

// A recording of the null sink's monitor: 16-bit stereo at 44100 Hz, as parec writes it.
struct Recording
{
    std::vector<std::int16_t> samples; // interleaved
    static constexpr int kRate = 44100;

    static Recording load(const QString &rawFile);
    std::size_t frames() const { return samples.size() / 2; }
    // RMS of the left channel over [first, first + count) frames, 0..1 of full scale.
    double rms(std::size_t first, std::size_t count) const;
    // The loudest stretch: the first frame of the `count`-frame window with the highest
    // RMS, stepping by count / 2.
    std::size_t loudestWindow(std::size_t count) const;
    // The frequency of a steady tone in the window, from its rising zero crossings.
    double toneFrequency(std::size_t first, std::size_t count) const;
    // The first frame from `from` on whose left sample is louder than `level` (0..1 of
    // full scale); -1 when there is none. Where a track starts to be heard.
    std::int64_t firstFrameAbove(double level, std::size_t from = 0) const;
    // Waits, while `rawFile` is being recorded, for its first frame louder than `level`;
    // -1 when none came within `timeoutMs`.
    static std::int64_t waitForFrameAbove(const QString &rawFile, double level, int timeoutMs);
    // RMS of the left channel over the last `count` frames of `rawFile` as it is being
    // recorded (read from its end, however long it has grown); -1 while it holds fewer.
    static double tailRms(const QString &rawFile, std::size_t count);
};

} // namespace vokrin::e2e
