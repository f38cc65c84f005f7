#include "pulse_server.h"

#include "test_env.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vokrin::enginetest {

namespace {

pid_t spawn(const std::vector<std::string> &argv, const std::vector<std::string> &env,
            const std::string &stdoutFile)
{
    // Everything the child needs is prepared before fork: the parent has threads, so the
    // child may only make async-signal-safe calls.
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> environment;
    for (char **e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string &o : env)
            replaced |= o.compare(0, name.size(), name) == 0;
        if (!replaced)
            environment.push_back(entry);
    }
    environment.insert(environment.end(), env.begin(), env.end());
    std::vector<char *> envp;
    for (std::string &e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const pid_t pid = fork();
    if (pid != 0)
        return pid;
    const int null = ::open("/dev/null", O_RDWR);
    const int out =
        stdoutFile.empty() ? null : ::open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(null, 0);
    dup2(out, 1);
    dup2(null, 2);
    execvpe(args[0], args.data(), envp.data());
    _exit(127);
}

void terminate(pid_t &pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
}

} // namespace

PulseServer::PulseServer(const std::string &extraScript)
{
    m_dir = vokrin::testing::makeTempDir("pulse");
    const auto runtime = m_dir / "run";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    m_socket = m_dir / "native";
    m_script = m_dir / "server.pa";
    {
        std::ofstream out(m_script);
        out << "load-module module-null-sink sink_name=" << sinkName()
            << " rate=44100 channels=2 norewinds=1\n"
            << "load-module module-native-protocol-unix socket=" << m_socket.string()
            << " auth-anonymous=1\n"
            << "set-default-sink " << sinkName() << "\n"
            << extraScript;
    }
    const auto clientConfig = m_dir / "client.conf";
    {
        std::ofstream out(clientConfig);
        out << "autospawn = no\n";
    }
    m_env = {"HOME=" + m_dir.string(), "XDG_RUNTIME_DIR=" + runtime.string(),
             "PULSE_CLIENTCONFIG=" + clientConfig.string()};
    launch();
    setenv("PULSE_CLIENTCONFIG", clientConfig.c_str(), 1);
}

bool PulseServer::launch()
{
    m_ready = false;
    std::error_code ignored;
    std::filesystem::remove(m_socket, ignored);
    m_pid = spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                   "-F", m_script.string()},
                  m_env, "");
    if (m_pid <= 0) {
        m_why = "fork failed";
        return false;
    }
    // The server is ready once its socket exists; give it a generous while on a loaded
    // machine, and notice when it died instead.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_why = "pulseaudio exited at start (is it installed?)";
            return false;
        }
        if (std::filesystem::exists(m_socket)) {
            m_ready = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!m_ready)
        m_why = "pulseaudio did not open its socket";
    return m_ready;
}

std::string PulseServer::tunnelScript(const PulseServer &far, int latencyMs)
{
    return "load-module module-tunnel-sink sink_name=vokrin_tunnel server=" + far.serverAddress() +
           " sink=" + sinkName() +
           " rate=44100 channels=2 latency_msec=" + std::to_string(latencyMs) + "\n";
}

double PulseServer::sinkLatencyMs(const std::string &sink) const
{
    const std::string command = "pactl --server=" + serverAddress() + " list sinks 2>/dev/null";
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    pclose(pipe);
    const std::size_t name = text.find("Name: " + sink + "\n");
    if (name == std::string::npos)
        return -1;
    const std::size_t latency = text.find("Latency: ", name);
    if (latency == std::string::npos)
        return -1;
    return std::atof(text.c_str() + latency + 9) / 1000.0;
}

void PulseServer::kill()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }
    m_ready = false;
}

bool PulseServer::restart()
{
    kill();
    return launch();
}

PulseServer::~PulseServer()
{
    stopRecording();
    terminate(m_pid);
}

bool PulseServer::startRecording(const std::filesystem::path &raw)
{
    m_recorder =
        spawn({"parec", "--server=" + serverAddress(), "-d", sinkName() + ".monitor", "--raw",
               "--format=s16le", "--rate=44100", "--channels=2", "--latency-msec=20"},
              {}, raw.string());
    return m_recorder > 0;
}

void PulseServer::stopRecording()
{
    terminate(m_recorder);
}

} // namespace vokrin::enginetest
