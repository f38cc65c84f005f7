#pragma once
// Ties the test's own clock to what the sound server played, so that a moment of the
// test (a key tap) can be placed on the track's timeline.
//
// The recorder writes each stretch of the sink's sound to its file just after the sink
// played it. Sampling the file's length against the test's clock gives pairs (now,
// frames written); frame f was heard no later than `now` of the first pair that holds it,
// and the smallest (now - frames / rate) over all pairs is the closest estimate of when
// frame 0 was heard.

#include <QElapsedTimer>
#include <QFileInfo>
#include <QString>
#include <QThread>
#include <cstdint>
#include <limits>
#include <vector>

namespace vokrin::authoring::e2e {

class HeardClock
{
public:
    static constexpr double kRate = 44100;
    static constexpr int kBytesPerFrame = 4; // 16-bit stereo

    explicit HeardClock(QString rawFile) : m_rawFile(std::move(rawFile)) { m_clock.start(); }

    // Seconds on the test's clock.
    double now() const { return static_cast<double>(m_clock.nsecsElapsed()) / 1e9; }

    // Notes how much the recorder has written by now.
    void sample()
    {
        const double at = now();
        const qint64 bytes = QFileInfo(m_rawFile).size();
        const double offset = at - static_cast<double>(bytes / kBytesPerFrame) / kRate;
        if (bytes > 0 && offset < m_frameZeroHeardAt)
            m_frameZeroHeardAt = offset;
    }

    // Keeps sampling until the test's clock reaches `until`.
    void sampleUntil(double until)
    {
        while (now() < until) {
            sample();
            // What it measures: the heard position, sampled once a millisecond.
            QThread::usleep(1000);
        }
    }

    bool calibrated() const { return m_frameZeroHeardAt < std::numeric_limits<double>::infinity(); }
    // When frame `frame` of the recording was heard, on the test's clock.
    double heardAt(std::uint64_t frame) const
    {
        return m_frameZeroHeardAt + static_cast<double>(frame) / kRate;
    }

private:
    QString m_rawFile;
    QElapsedTimer m_clock;
    double m_frameZeroHeardAt = std::numeric_limits<double>::infinity();
};

// The first frame of the recording whose left sample is louder than `threshold`, from
// `from` on; -1 when there is none.
inline std::int64_t firstLoudFrame(const std::vector<std::int16_t> &interleaved, int threshold,
                                   std::size_t from = 0)
{
    for (std::size_t frame = from; frame * 2 < interleaved.size(); ++frame) {
        const int left = interleaved[frame * 2];
        if (left > threshold || left < -threshold)
            return static_cast<std::int64_t>(frame);
    }
    return -1;
}

} // namespace vokrin::authoring::e2e
