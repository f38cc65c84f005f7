#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>

namespace vokrin::enginetest {

// A private PulseAudio server with one null sink, on a socket in a temporary folder, so
// a test can play through the real sound path and record what came out of it.
class PulseServer
{
public:
    PulseServer();
    ~PulseServer();
    PulseServer(const PulseServer &) = delete;
    PulseServer &operator=(const PulseServer &) = delete;

    // false (with why()) when pulseaudio could not be started here.
    bool running() const { return m_pid > 0 && m_ready; }
    const std::string &why() const { return m_why; }
    std::string serverAddress() const { return "unix:" + m_socket.string(); }
    static std::string sinkName() { return "vokrin_null"; }

    // Records the sink's monitor as 16-bit stereo at 44100 Hz into a raw file until
    // stopRecording(). false when parec cannot start.
    bool startRecording(const std::filesystem::path &raw);
    void stopRecording();

private:
    std::filesystem::path m_dir;
    std::filesystem::path m_socket;
    pid_t m_pid = -1;
    pid_t m_recorder = -1;
    bool m_ready = false;
    std::string m_why;
};

} // namespace vokrin::enginetest
