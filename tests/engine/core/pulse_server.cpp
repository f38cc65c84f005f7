#include "pulse_server.h"

#include "test_env.h"

#include <chrono>
#include <csignal>
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

PulseServer::PulseServer()
{
    m_dir = vokrin::testing::makeTempDir("pulse");
    const auto runtime = m_dir / "run";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    m_socket = m_dir / "native";
    const auto script = m_dir / "server.pa";
    {
        std::ofstream out(script);
        out << "load-module module-null-sink sink_name=" << sinkName() << " rate=44100 channels=2\n"
            << "load-module module-native-protocol-unix socket=" << m_socket.string()
            << " auth-anonymous=1\n"
            << "set-default-sink " << sinkName() << "\n";
    }
    const auto clientConfig = m_dir / "client.conf";
    {
        std::ofstream out(clientConfig);
        out << "autospawn = no\n";
    }
    const std::vector<std::string> env = {"HOME=" + m_dir.string(),
                                          "XDG_RUNTIME_DIR=" + runtime.string(),
                                          "PULSE_CLIENTCONFIG=" + clientConfig.string()};
    m_pid = spawn({"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                   "-F", script.string()},
                  env, "");
    if (m_pid <= 0) {
        m_why = "fork failed";
        return;
    }
    // The server is ready once its socket exists; give it a generous while on a loaded
    // machine, and notice when it died instead.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            m_why = "pulseaudio exited at start (is it installed?)";
            return;
        }
        if (std::filesystem::exists(m_socket)) {
            m_ready = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!m_ready)
        m_why = "pulseaudio did not open its socket";
    setenv("PULSE_CLIENTCONFIG", clientConfig.c_str(), 1);
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
