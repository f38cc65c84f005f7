// Device 1 where a sound server runs: a playback stream of PulseAudio's client library.
// The server's timing of the stream (its buffer and the sink's own latency, interpolated
// between updates) tells which frame the sink plays now. A server that goes away is
// asked for again every second; the stream is made anew once one answers.
#include "output_device.h"

#include <pulse/pulseaudio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace vokrin::engine {

namespace {

// The whole buffer the stream asks the server for: what is mixed ahead of the sink.
constexpr pa_usec_t kTargetLatencyUs = 50 * 1000;
constexpr int kRetrySeconds = 1;
constexpr auto kOpenTimeout = std::chrono::seconds(5);
constexpr std::size_t kFrameBytes = 2 * sizeof(float);

int64_t monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The stream's clock as last read on the mainloop thread, for readers on any thread. A
// sequence lock over plain atomics; the writers are serialised by the mainloop lock.
class TimingSnapshot
{
public:
    struct Value
    {
        uint64_t baseFrames = 0; // frames pulled before the current stream began
        int64_t streamUs = 0;    // the stream's heard time, as read at stampNs
        int64_t stampNs = 0;
        bool running = false; // the time moves on from stampNs
    };

    // Each field is stored with release, so a reader that sees any of the new values
    // also sees the odd count before them; each is loaded with acquire, so the second
    // reading of the count comes after all of them.
    void store(const Value &v)
    {
        m_seq.fetch_add(1, std::memory_order_relaxed);
        m_base.store(v.baseFrames, std::memory_order_release);
        m_streamUs.store(v.streamUs, std::memory_order_release);
        m_stampNs.store(v.stampNs, std::memory_order_release);
        m_running.store(v.running, std::memory_order_release);
        m_seq.fetch_add(1, std::memory_order_release);
    }

    Value load() const
    {
        Value v;
        for (;;) {
            const uint32_t before = m_seq.load(std::memory_order_acquire);
            v.baseFrames = m_base.load(std::memory_order_acquire);
            v.streamUs = m_streamUs.load(std::memory_order_acquire);
            v.stampNs = m_stampNs.load(std::memory_order_acquire);
            v.running = m_running.load(std::memory_order_acquire);
            if ((before & 1) == 0 && m_seq.load(std::memory_order_relaxed) == before)
                return v;
            std::this_thread::yield();
        }
    }

private:
    std::atomic<uint32_t> m_seq{0};
    std::atomic<uint64_t> m_base{0};
    std::atomic<int64_t> m_streamUs{0};
    std::atomic<int64_t> m_stampNs{0};
    std::atomic<bool> m_running{false};
};

class PulseOutput final : public OutputDevice
{
public:
    PulseOutput(int rate, RenderFn render) : m_rate(rate), m_render(std::move(render))
    {
        // Used only when the server's own buffer cannot be had; sized for the largest
        // request a stream of this buffer makes.
        m_scratch.resize(2 * static_cast<std::size_t>(rate));
    }

    ~PulseOutput() override
    {
        if (!m_loop)
            return;
        pa_threaded_mainloop_lock(m_loop);
        if (m_retry) {
            pa_threaded_mainloop_get_api(m_loop)->time_free(m_retry);
            m_retry = nullptr;
        }
        dropConnection();
        pa_threaded_mainloop_unlock(m_loop);
        pa_threaded_mainloop_stop(m_loop);
        pa_threaded_mainloop_free(m_loop);
    }

    PulseOutput(const PulseOutput &) = delete;
    PulseOutput &operator=(const PulseOutput &) = delete;

    bool open()
    {
        m_loop = pa_threaded_mainloop_new();
        if (!m_loop)
            return false;
        pa_threaded_mainloop_set_name(m_loop, "vokrin-pulse");
        if (pa_threaded_mainloop_start(m_loop) < 0)
            return false;
        pa_threaded_mainloop_lock(m_loop);
        m_phase = Phase::Opening;
        bool ok = connect();
        const auto deadline = std::chrono::steady_clock::now() + kOpenTimeout;
        while (ok && m_phase == Phase::Opening && std::chrono::steady_clock::now() < deadline) {
            pa_threaded_mainloop_unlock(m_loop);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            pa_threaded_mainloop_lock(m_loop);
        }
        ok = ok && m_phase == Phase::Open;
        if (!ok)
            dropConnection();
        pa_threaded_mainloop_unlock(m_loop);
        return ok;
    }

    int rate() const override { return m_rate; }

    bool start() override
    {
        pa_threaded_mainloop_lock(m_loop);
        m_wantRunning = true;
        cork(false);
        pa_threaded_mainloop_unlock(m_loop);
        // A lost server is no failure: the stream resumes by itself once one answers.
        return true;
    }

    void pause() override
    {
        pa_threaded_mainloop_lock(m_loop);
        m_wantRunning = false;
        cork(true);
        pa_threaded_mainloop_unlock(m_loop);
    }

    uint64_t heardFrames() const override
    {
        const TimingSnapshot::Value v = m_timing.load();
        int64_t us = v.streamUs;
        if (v.running)
            us += std::max<int64_t>(monotonicNs() - v.stampNs, 0) / 1000;
        uint64_t frames = v.baseFrames + static_cast<uint64_t>(std::max<int64_t>(us, 0)) *
                                             static_cast<uint64_t>(m_rate) / 1000000u;
        frames = std::min(frames, m_pulled.load(std::memory_order_acquire));
        // The server's estimate may step back a little when a timing update corrects the
        // interpolation, and a lot when the sink's latency grows: the heard frame holds
        // still until the sound catches up with it.
        uint64_t seen = m_heardMax.load(std::memory_order_relaxed);
        while (frames > seen &&
               !m_heardMax.compare_exchange_weak(seen, frames, std::memory_order_relaxed)) {
        }
        return std::max(seen, frames);
    }

    bool lost() const override { return m_lost.load(std::memory_order_acquire); }
    uint64_t losses() const override { return m_losses.load(std::memory_order_acquire); }

private:
    enum class Phase { Opening, Open, Failed };

    // ---- everything below runs with the mainloop lock held ----

    bool connect()
    {
        pa_mainloop_api *api = pa_threaded_mainloop_get_api(m_loop);
        m_context = pa_context_new(api, "Vokrin");
        if (!m_context)
            return false;
        pa_context_set_state_callback(m_context, &PulseOutput::onContextState, this);
        // The server named by the environment or the client settings; never one started
        // for us.
        return pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0;
    }

    void dropConnection()
    {
        if (m_stream) {
            pa_stream_set_state_callback(m_stream, nullptr, nullptr);
            pa_stream_set_write_callback(m_stream, nullptr, nullptr);
            pa_stream_set_underflow_callback(m_stream, nullptr, nullptr);
            pa_stream_set_started_callback(m_stream, nullptr, nullptr);
            pa_stream_set_latency_update_callback(m_stream, nullptr, nullptr);
            pa_stream_disconnect(m_stream);
            pa_stream_unref(m_stream);
            m_stream = nullptr;
        }
        if (m_context) {
            pa_context_set_state_callback(m_context, nullptr, nullptr);
            pa_context_disconnect(m_context);
            pa_context_unref(m_context);
            m_context = nullptr;
        }
    }

    void openStream()
    {
        const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, static_cast<uint32_t>(m_rate), 2};
        m_stream = pa_stream_new(m_context, "Vokrin", &spec, nullptr);
        if (!m_stream) {
            connectionLost();
            return;
        }
        pa_stream_set_state_callback(m_stream, &PulseOutput::onStreamState, this);
        pa_stream_set_write_callback(m_stream, &PulseOutput::onWrite, this);
        pa_stream_set_underflow_callback(m_stream, &PulseOutput::onUnderflow, this);
        pa_stream_set_started_callback(m_stream, &PulseOutput::onStarted, this);
        pa_stream_set_latency_update_callback(m_stream, &PulseOutput::onTiming, this);
        pa_buffer_attr attr{};
        attr.maxlength = static_cast<uint32_t>(-1);
        attr.tlength = static_cast<uint32_t>(pa_usec_to_bytes(kTargetLatencyUs, &spec));
        attr.prebuf = static_cast<uint32_t>(-1);
        attr.minreq = static_cast<uint32_t>(-1);
        attr.fragsize = static_cast<uint32_t>(-1);
        int flags =
            PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY;
        if (!m_wantRunning)
            flags |= PA_STREAM_START_CORKED;
        // What was pulled before this stream counts as heard (or lost with the server).
        m_streamBase = m_pulled.load(std::memory_order_relaxed);
        m_underflow = false;
        if (pa_stream_connect_playback(m_stream, nullptr, &attr,
                                       static_cast<pa_stream_flags_t>(flags), nullptr, nullptr) < 0)
            connectionLost();
    }

    void cork(bool corked)
    {
        if (!m_stream || pa_stream_get_state(m_stream) != PA_STREAM_READY)
            return;
        if (pa_operation *op =
                pa_stream_cork(m_stream, corked ? 1 : 0, &PulseOutput::onCorked, this))
            pa_operation_unref(op);
        snapshot();
    }

    // Reads the stream's clock into the snapshot the readers use.
    void snapshot()
    {
        pa_usec_t usec = 0;
        if (!m_stream || pa_stream_get_state(m_stream) != PA_STREAM_READY ||
            pa_stream_get_time(m_stream, &usec) < 0)
            return;
        const bool running = pa_stream_is_corked(m_stream) == 0 && !m_underflow;
        m_timing.store({m_streamBase, static_cast<int64_t>(usec), monotonicNs(), running});
    }

    void connectionLost()
    {
        if (m_phase == Phase::Opening) {
            m_phase = Phase::Failed;
            return;
        }
        if (!m_lost.load(std::memory_order_relaxed)) {
            // The sound stops here: hold the heard frame where it is now.
            const uint64_t heard = heardFrames();
            m_timing.store({heard, 0, monotonicNs(), false});
            m_lost.store(true, std::memory_order_release);
            m_losses.fetch_add(1, std::memory_order_acq_rel);
        }
        scheduleRetry();
    }

    void scheduleRetry()
    {
        pa_mainloop_api *api = pa_threaded_mainloop_get_api(m_loop);
        timeval when{};
        pa_gettimeofday(&when);
        pa_timeval_add(&when, static_cast<pa_usec_t>(kRetrySeconds) * PA_USEC_PER_SEC);
        if (m_retry)
            api->time_restart(m_retry, &when);
        else
            m_retry = api->time_new(api, &when, &PulseOutput::onRetry, this);
    }

    static void onRetry(pa_mainloop_api *, pa_time_event *, const timeval *, void *user)
    {
        auto *self = static_cast<PulseOutput *>(user);
        self->dropConnection();
        if (!self->connect())
            self->scheduleRetry();
    }

    static void onContextState(pa_context *context, void *user)
    {
        auto *self = static_cast<PulseOutput *>(user);
        if (context != self->m_context)
            return;
        switch (pa_context_get_state(context)) {
        case PA_CONTEXT_READY:
            self->openStream();
            break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED:
            self->connectionLost();
            break;
        default:
            break;
        }
    }

    static void onStreamState(pa_stream *stream, void *user)
    {
        auto *self = static_cast<PulseOutput *>(user);
        if (stream != self->m_stream)
            return;
        switch (pa_stream_get_state(stream)) {
        case PA_STREAM_READY:
            self->m_phase = Phase::Open;
            self->m_timing.store({self->m_streamBase, 0, monotonicNs(), false});
            // A start or pause asked for while the stream was being made.
            if ((pa_stream_is_corked(stream) != 0) == self->m_wantRunning)
                self->cork(!self->m_wantRunning);
            self->m_lost.store(false, std::memory_order_release);
            break;
        case PA_STREAM_FAILED:
        case PA_STREAM_TERMINATED:
            self->connectionLost();
            break;
        default:
            break;
        }
    }

    // The server asks for `bytes` more: the mixer writes straight into the server's
    // buffer. Nothing here allocates or waits.
    static void onWrite(pa_stream *stream, size_t bytes, void *user)
    {
        auto *self = static_cast<PulseOutput *>(user);
        while (bytes >= kFrameBytes) {
            void *data = nullptr;
            size_t length = bytes;
            bool ours = false;
            if (pa_stream_begin_write(stream, &data, &length) < 0 || !data ||
                length < kFrameBytes) {
                if (data)
                    pa_stream_cancel_write(stream);
                data = self->m_scratch.data();
                length = std::min(bytes, self->m_scratch.size() * sizeof(float));
                ours = true;
            }
            const std::size_t frames = std::min(length, bytes) / kFrameBytes;
            self->m_render(static_cast<float *>(data), static_cast<int>(frames));
            if (pa_stream_write(stream, data, frames * kFrameBytes, nullptr, 0, PA_SEEK_RELATIVE) <
                0) {
                if (!ours)
                    pa_stream_cancel_write(stream);
                break;
            }
            self->m_pulled.fetch_add(frames, std::memory_order_release);
            bytes -= frames * kFrameBytes;
        }
        self->snapshot();
    }

    static void onUnderflow(pa_stream *, void *user)
    {
        auto *self = static_cast<PulseOutput *>(user);
        self->m_underflow = true;
        self->snapshot();
    }

    static void onStarted(pa_stream *, void *user)
    {
        auto *self = static_cast<PulseOutput *>(user);
        self->m_underflow = false;
        self->snapshot();
    }

    static void onTiming(pa_stream *, void *user) { static_cast<PulseOutput *>(user)->snapshot(); }

    static void onCorked(pa_stream *, int, void *user)
    {
        static_cast<PulseOutput *>(user)->snapshot();
    }

    const int m_rate;
    RenderFn m_render;
    std::vector<float> m_scratch;

    pa_threaded_mainloop *m_loop = nullptr;
    pa_context *m_context = nullptr;
    pa_stream *m_stream = nullptr;
    pa_time_event *m_retry = nullptr;
    Phase m_phase = Phase::Opening;
    bool m_wantRunning = false;
    bool m_underflow = false;
    uint64_t m_streamBase = 0;

    std::atomic<uint64_t> m_pulled{0}; // frames pulled from the mixer since opening
    TimingSnapshot m_timing;
    mutable std::atomic<uint64_t> m_heardMax{0};
    std::atomic<bool> m_lost{false};
    std::atomic<uint64_t> m_losses{0};
};

} // namespace

std::unique_ptr<OutputDevice> openPulseOutput(int rate, RenderFn render)
{
    auto device = std::make_unique<PulseOutput>(rate, std::move(render));
    if (!device->open())
        return nullptr;
    return device;
}

std::unique_ptr<OutputDevice> openSoundOutput(int rate, RenderFn render)
{
    if (auto device = openPulseOutput(rate, render))
        return device;
    DeviceError why = DeviceError::None;
    return openSdlOutput(rate, std::move(render), why);
}

} // namespace vokrin::engine
