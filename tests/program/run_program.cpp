#include "run_program.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace frame2bmp::testing {

RunResult RunProgram(const RunOptions& options) {
    // A child that exits without reading its input must not end the test.
    signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        return {};
    }
    std::vector<char*> argv;
    for (const auto& arg : options.argv) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) _exit(126);
        if (options.input) {
            dup2(in[0], 0);
        } else {
            close(0);
        }
        dup2(out[1], 1);
        dup2(err[1], 2);
        signal(SIGPIPE, SIG_DFL);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);

    std::string pending = options.input.value_or("");
    if (pending.empty()) {
        close(in[1]);
        in[1] = -1;
    }
    RunResult result;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    bool timedOut = false;
    while (out[0] >= 0 || err[0] >= 0) {
        pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {in[1], POLLOUT, 0}};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            kill(child, SIGKILL);
            break;
        }
        if (poll(fds, 3, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                (i == 0 ? result.out : result.err).append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close(fds[i].fd);
                (i == 0 ? out[0] : err[0]) = -1;
            }
        }
        if (in[1] >= 0 && fds[2].revents != 0) {
            const ssize_t sent = write(in[1], pending.data(), pending.size());
            if (sent > 0) pending.erase(0, static_cast<size_t>(sent));
            if (sent < 0 || pending.empty()) {
                close(in[1]);
                in[1] = -1;
            }
        }
    }
    for (const int fd : {in[1], out[0], err[0]}) {
        if (fd >= 0) close(fd);
    }
    int status = 0;
    waitpid(child, &status, 0);
    result.exited = !timedOut && WIFEXITED(status);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return result;
}

}  // namespace frame2bmp::testing
