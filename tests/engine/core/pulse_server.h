#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace vokrin::enginetest {

// A private PulseAudio server with one null sink, on a socket in a temporary folder, so
// a test can play through the real sound path and record what came out of it.
class PulseServer
{
public:
    // `extraScript`: more lines of the server's start-up script, after the null sink's.
    explicit PulseServer(const std::string &extraScript = {});
    ~PulseServer();
    PulseServer(const PulseServer &) = delete;
    PulseServer &operator=(const PulseServer &) = delete;

    // false (with why()) when pulseaudio could not be started here.
    bool running() const { return m_pid > 0 && m_ready; }
    const std::string &why() const { return m_why; }
    std::string serverAddress() const { return "unix:" + m_socket.string(); }
    static std::string sinkName() { return "vokrin_null"; }

    // Lines that give a server a sink "vokrin_tunnel" into `far`'s null sink, whose
    // reported latency is `latencyMs` more than the far sink's. The tunnel appears once it
    // has reached the far server (see sinkLatencyMs).
    static std::string tunnelScript(const PulseServer &far, int latencyMs);

    // Ends the server at once, as a crash would (SIGKILL), and starts a new one on the
    // same socket; running() tells whether it came.
    void kill();
    // The latency the server reports for one of its sinks, in ms; negative while there is
    // no such sink.
    double sinkLatencyMs(const std::string &sink) const;
    bool restart();

    // Records the sink's monitor as 16-bit stereo at 44100 Hz into a raw file until
    // stopRecording(). false when parec cannot start.
    bool startRecording(const std::filesystem::path &raw);
    void stopRecording();

private:
    bool launch();

    std::filesystem::path m_dir;
    std::filesystem::path m_script;
    std::vector<std::string> m_env;
    std::filesystem::path m_socket;
    pid_t m_pid = -1;
    pid_t m_recorder = -1;
    bool m_ready = false;
    std::string m_why;
};

} // namespace vokrin::enginetest
