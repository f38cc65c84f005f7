#include "helper_process.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace vokrin::crashreport {
namespace {

void closeQuietly(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

} // namespace

int runHelper(const char *path, const char *const *argv, const char *input, std::size_t inputLength,
              char *output, std::size_t outputCapacity, std::size_t *outputLength, int timeoutMs)
{
    if (outputLength != nullptr)
        *outputLength = 0;
    if (output != nullptr && outputCapacity > 0)
        output[0] = '\0';
    int toChild[2] = {-1, -1};
    int fromChild[2] = {-1, -1};
    // A socket for the input: writing to a child that has gone gives an error, not SIGPIPE.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, toChild) != 0)
        return -1;
    // Without an output buffer the child keeps this process's standard output (so does a
    // copy of the program it may start, which must not hold a pipe of ours open).
    const bool captureOutput = output != nullptr;
    if (captureOutput && ::pipe2(fromChild, O_CLOEXEC) != 0) {
        closeQuietly(toChild[0]);
        closeQuietly(toChild[1]);
        return -1;
    }
    // A plain fork system call: no atfork handlers, no malloc locks.
    const long pid = ::syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0);
    if (pid == 0) {
        // A signal handler runs with its signal blocked, and the mask survives exec: the
        // helper, and any copy of the program it starts, must see signals normally.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::dup2(toChild[0], STDIN_FILENO);
        if (captureOutput)
            ::dup2(fromChild[1], STDOUT_FILENO);
        ::execve(path, const_cast<char *const *>(argv), environ);
        ::_exit(127);
    }
    closeQuietly(toChild[0]);
    closeQuietly(fromChild[1]);
    if (pid < 0) {
        closeQuietly(toChild[1]);
        closeQuietly(fromChild[0]);
        return -1;
    }
    // Where the system restricts tracing to ancestors, allow this child to trace us.
    ::prctl(PR_SET_PTRACER, static_cast<unsigned long>(pid), 0, 0, 0);

    // Feed the input and drain the output together, so neither side blocks on a full pipe.
    int writeFd = toChild[1];
    int readFd = fromChild[0];
    std::size_t written = 0;
    std::size_t received = 0;
    if (inputLength == 0) {
        closeQuietly(writeFd);
        writeFd = -1;
    }
    timespec started{};
    ::clock_gettime(CLOCK_MONOTONIC, &started);
    bool killed = false;
    while (readFd >= 0 || writeFd >= 0) {
        int pollTimeout = -1;
        if (timeoutMs >= 0) {
            timespec now{};
            ::clock_gettime(CLOCK_MONOTONIC, &now);
            const long elapsed =
                (now.tv_sec - started.tv_sec) * 1000 + (now.tv_nsec - started.tv_nsec) / 1000000;
            if (elapsed >= timeoutMs) {
                ::kill(static_cast<pid_t>(pid), SIGKILL);
                killed = true;
                break;
            }
            pollTimeout = static_cast<int>(timeoutMs - elapsed);
        }
        pollfd fds[2];
        int count = 0;
        if (readFd >= 0)
            fds[count++] = {readFd, POLLIN, 0};
        if (writeFd >= 0)
            fds[count++] = {writeFd, POLLOUT, 0};
        const int ready = ::poll(fds, static_cast<nfds_t>(count), pollTimeout);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        for (int i = 0; i < count; ++i) {
            if (fds[i].revents == 0)
                continue;
            if (fds[i].fd == readFd) {
                char discard[4096];
                const bool room = output != nullptr && received + 1 < outputCapacity;
                char *target = room ? output + received : discard;
                const std::size_t space = room ? outputCapacity - 1 - received : sizeof discard;
                const ssize_t n = ::read(readFd, target, space);
                if (n > 0 && room)
                    received += static_cast<std::size_t>(n);
                if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) {
                    closeQuietly(readFd);
                    readFd = -1;
                }
            } else if (fds[i].fd == writeFd) {
                const ssize_t n =
                    ::send(writeFd, input + written, inputLength - written, MSG_NOSIGNAL);
                if (n > 0)
                    written += static_cast<std::size_t>(n);
                if ((n < 0 && errno != EINTR && errno != EAGAIN) || written == inputLength) {
                    closeQuietly(writeFd);
                    writeFd = -1;
                }
            }
        }
    }
    closeQuietly(writeFd);
    closeQuietly(readFd);
    if (output != nullptr && outputCapacity > 0)
        output[received] = '\0';
    if (outputLength != nullptr)
        *outputLength = received;

    int status = 0;
    while (::waitpid(static_cast<pid_t>(pid), &status, 0) < 0) {
        if (errno != EINTR)
            return -1;
    }
    return !killed && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace vokrin::crashreport
