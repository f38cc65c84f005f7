#include "recording.h"

#include "e2e_harness.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cmath>
#include <cstring>

namespace vokrin::e2e {

Recording Recording::load(const QString &rawFile)
{
    Recording recording;
    QFile file(rawFile);
    if (!file.open(QIODevice::ReadOnly))
        return recording;
    const QByteArray bytes = file.readAll();
    recording.samples.resize(static_cast<std::size_t>(bytes.size()) / 4 * 2);
    // An empty recording has no buffer to copy into (memcpy wants real pointers).
    if (!recording.samples.empty())
        std::memcpy(recording.samples.data(), bytes.constData(), recording.samples.size() * 2);
    return recording;
}

double Recording::rms(std::size_t first, std::size_t count) const
{
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t frame = first; frame < first + count && frame < frames(); ++frame, ++n) {
        const double v = samples[frame * 2] / 32768.0;
        sum += v * v;
    }
    return n == 0 ? 0 : std::sqrt(sum / static_cast<double>(n));
}

std::size_t Recording::loudestWindow(std::size_t count) const
{
    std::size_t best = 0;
    double bestRms = -1;
    const std::size_t step = count / 2 == 0 ? 1 : count / 2;
    for (std::size_t first = 0; first + count <= frames(); first += step) {
        const double level = rms(first, count);
        if (level > bestRms) {
            bestRms = level;
            best = first;
        }
    }
    return best;
}

double Recording::toneFrequency(std::size_t first, std::size_t count) const
{
    long firstCrossing = -1;
    long lastCrossing = -1;
    int crossings = 0;
    for (std::size_t frame = first + 1; frame < first + count && frame < frames(); ++frame) {
        if (samples[(frame - 1) * 2] < 0 && samples[frame * 2] >= 0) {
            if (firstCrossing < 0)
                firstCrossing = static_cast<long>(frame);
            else
                ++crossings;
            lastCrossing = static_cast<long>(frame);
        }
    }
    if (crossings == 0)
        return 0;
    return crossings * static_cast<double>(kRate) /
           static_cast<double>(lastCrossing - firstCrossing);
}

std::int64_t Recording::firstFrameAbove(double level, std::size_t from) const
{
    const double threshold = level * 32768.0;
    for (std::size_t frame = from; frame < frames(); ++frame) {
        if (std::abs(static_cast<double>(samples[frame * 2])) > threshold)
            return static_cast<std::int64_t>(frame);
    }
    return -1;
}

std::int64_t Recording::waitForFrameAbove(const QString &rawFile, double level, int timeoutMs)
{
    std::int64_t frame = -1;
    waitUntil([&] { return (frame = load(rawFile).firstFrameAbove(level)) >= 0; }, timeoutMs, 10);
    return frame;
}

double Recording::tailRms(const QString &rawFile, std::size_t count)
{
    QFile file(rawFile);
    const qint64 bytes = static_cast<qint64>(count) * 4;
    // Whole frames only: the recorder may be halfway through writing one.
    const qint64 end = file.size() / 4 * 4;
    if (count == 0 || end < bytes || !file.open(QIODevice::ReadOnly) || !file.seek(end - bytes))
        return -1;
    Recording tail;
    tail.samples.resize(count * 2);
    if (file.read(reinterpret_cast<char *>(tail.samples.data()), bytes) != bytes)
        return -1;
    return tail.rms(0, count);
}

} // namespace vokrin::e2e
