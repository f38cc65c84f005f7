#include "monitor_recorder.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <thread>
#include <time.h>

namespace vokrin::enginetest {

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

namespace {

int64_t monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// A stretch that arrives this long after the one before starts a new wake-up of the sink.
constexpr int64_t kPauseNs = 1000000;

} // namespace

MonitorRecorder::MonitorRecorder(const std::string &server, const std::string &source)
    : m_source(source)
{
    m_left.reserve(static_cast<std::size_t>(kRate) * 120);
    m_arrivals.reserve(100000);
    m_loop = pa_threaded_mainloop_new();
    if (!m_loop || pa_threaded_mainloop_start(m_loop) < 0)
        return;
    pa_threaded_mainloop_lock(m_loop);
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "vokrin-test-recorder");
    pa_context_set_state_callback(m_context, &MonitorRecorder::onContextState, this);
    if (pa_context_connect(m_context, server.c_str(), PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        m_failed = true;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!m_ready && !m_failed && std::chrono::steady_clock::now() < deadline) {
        pa_threaded_mainloop_unlock(m_loop);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        pa_threaded_mainloop_lock(m_loop);
    }
    pa_threaded_mainloop_unlock(m_loop);
}

MonitorRecorder::~MonitorRecorder()
{
    if (!m_loop)
        return;
    pa_threaded_mainloop_lock(m_loop);
    if (m_stream) {
        pa_stream_set_state_callback(m_stream, nullptr, nullptr);
        pa_stream_set_read_callback(m_stream, nullptr, nullptr);
        pa_stream_disconnect(m_stream);
        pa_stream_unref(m_stream);
    }
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    pa_threaded_mainloop_unlock(m_loop);
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void MonitorRecorder::onContextState(pa_context *context, void *user)
{
    auto *self = static_cast<MonitorRecorder *>(user);
    switch (pa_context_get_state(context)) {
    case PA_CONTEXT_READY: {
        const pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, 2};
        self->m_stream = pa_stream_new(context, "monitor", &spec, nullptr);
        pa_stream_set_state_callback(self->m_stream, &MonitorRecorder::onStreamState, self);
        pa_stream_set_read_callback(self->m_stream, &MonitorRecorder::onRead, self);
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(10000, &spec));
        if (pa_stream_connect_record(self->m_stream, self->m_source.c_str(), &attr,
                                     PA_STREAM_ADJUST_LATENCY) < 0)
            self->m_failed = true;
        break;
    }
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        self->m_failed = true;
        break;
    default:
        break;
    }
}

void MonitorRecorder::onStreamState(pa_stream *stream, void *user)
{
    auto *self = static_cast<MonitorRecorder *>(user);
    switch (pa_stream_get_state(stream)) {
    case PA_STREAM_READY:
        self->m_ready = true;
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        self->m_failed = true;
        break;
    default:
        break;
    }
}

void MonitorRecorder::onRead(pa_stream *stream, size_t, void *user)
{
    auto *self = static_cast<MonitorRecorder *>(user);
    const void *data = nullptr;
    size_t bytes = 0;
    while (pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
        const int64_t stamp = monotonicNs();
        const std::size_t frames = bytes / 4;
        {
            std::lock_guard lock(self->m_lock);
            self->m_arrivals.push_back({self->m_left.size(), stamp});
            const auto *samples = static_cast<const int16_t *>(data);
            for (std::size_t i = 0; i < frames; ++i)
                self->m_left.push_back(samples ? samples[2 * i] / 32768.0f : 0.0f);
        }
        pa_stream_drop(stream);
    }
}

uint64_t MonitorRecorder::frames() const
{
    std::lock_guard lock(m_lock);
    return m_left.size();
}

std::vector<float> MonitorRecorder::left() const
{
    std::lock_guard lock(m_lock);
    return m_left;
}

double MonitorRecorder::playedAt(uint64_t frame) const
{
    std::lock_guard lock(m_lock);
    // Seconds of the monotonic clock at which recorded frame 0 was played.
    double origin = std::numeric_limits<double>::max();
    for (std::size_t i = 1; i < m_arrivals.size(); ++i) {
        if (m_arrivals[i].stampNs - m_arrivals[i - 1].stampNs < kPauseNs)
            continue;
        const double bound = static_cast<double>(m_arrivals[i].stampNs) * 1e-9 -
                             static_cast<double>(m_arrivals[i].firstFrame) / kRate;
        origin = std::min(origin, bound);
    }
    return origin + static_cast<double>(frame) / kRate;
}

std::vector<uint64_t> MonitorRecorder::clicks(uint64_t quietFrames) const
{
    std::lock_guard lock(m_lock);
    std::vector<uint64_t> found;
    uint64_t quiet = quietFrames;
    for (std::size_t i = 0; i < m_left.size(); ++i) {
        if (std::fabs(m_left[i]) >= 0.5f) {
            if (quiet >= quietFrames)
                found.push_back(i);
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return found;
}

} // namespace vokrin::enginetest
