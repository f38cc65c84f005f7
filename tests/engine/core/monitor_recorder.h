#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;

namespace vokrin::enginetest {

// Records a sink's monitor (16-bit stereo at 44100 Hz) through the sound server's client
// library and knows, for every recorded frame, the moment (CLOCK_MONOTONIC) the sink
// played it.
//
// A null sink plays by its own timer on the monotonic clock and hands each stretch to
// its monitor when it plays it, so the recording's frames are evenly spaced on that
// clock; only where the whole recording sits on it has to be found. It is found from
// the stretches that came after a pause (the first piece of what the sink played at one
// wake-up): each says "frame f was played no later than now". The earliest such bound
// over the recording is the placement, late by the least delivery time seen (well under
// a millisecond on an idle machine).
class MonitorRecorder
{
public:
    MonitorRecorder(const std::string &server, const std::string &source);
    ~MonitorRecorder();
    MonitorRecorder(const MonitorRecorder &) = delete;
    MonitorRecorder &operator=(const MonitorRecorder &) = delete;

    bool running() const { return m_ready; }
    uint64_t frames() const;
    // The left channel so far, as samples in -1..1.
    std::vector<float> left() const;
    // The moment the sink played recorded frame `frame`, in CLOCK_MONOTONIC seconds.
    double playedAt(uint64_t frame) const;
    // The frames at which a click (|sample| >= 0.5 after `quietFrames` of quiet) starts.
    std::vector<uint64_t> clicks(uint64_t quietFrames = 2205) const;

    static constexpr int kRate = 44100;

private:
    static void onContextState(pa_context *context, void *user);
    static void onStreamState(pa_stream *stream, void *user);
    static void onRead(pa_stream *stream, size_t bytes, void *user);

    struct Arrival
    {
        uint64_t firstFrame;
        int64_t stampNs;
    };

    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;
    std::string m_source;
    bool m_ready = false;
    bool m_failed = false;

    mutable std::mutex m_lock;
    std::vector<float> m_left;
    std::vector<Arrival> m_arrivals;
};

// CLOCK_MONOTONIC now, in seconds.
double monotonicSeconds();

} // namespace vokrin::enginetest
