#include "run_program.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace frame2bmp::testing {
namespace {

// In the child, between fork and exec: only async-signal-safe calls.
[[noreturn]] void StartChild(const RunOptions& options, char* const* argv, char* const* envp,
                             int input, int output, int error, const char* terminal) {
    if (terminal != nullptr) {
        setsid();  // the pty becomes the controlling terminal when opened
        input = open(terminal, O_RDWR);
        if (input < 0) _exit(125);
    }
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0) _exit(126);
    if (options.fileSizeLimit >= 0) {
        const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit),
                           static_cast<rlim_t>(options.fileSizeLimit)};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (input >= 0) {
        dup2(input, 0);
    } else {
        close(0);
    }
    dup2(output, 1);
    switch (options.error) {
        case ErrorStream::Collected:
        case ErrorStream::BrokenPipe:
            dup2(error, 2);
            break;
        case ErrorStream::Closed:
            close(2);
            break;
        case ErrorStream::Full: {
            const int full = open("/dev/full", O_WRONLY);
            dup2(full, 2);
            break;
        }
    }
    signal(SIGPIPE, SIG_DFL);
    execve(argv[0], argv, envp);
    _exit(127);
}

}  // namespace

RunResult RunProgram(const RunOptions& options) {
    // A child that exits without reading its input must not end the test.
    signal(SIGPIPE, SIG_IGN);
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) {
        return {};
    }
    int terminal = -1;  // the pty's master side, standing in for the keyboard
    const char* terminalName = nullptr;
    if (options.terminalInput) {
        terminal = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) return {};
        terminalName = ptsname(terminal);
        close(in[1]);
        in[1] = fcntl(terminal, F_DUPFD_CLOEXEC, 0);
    }
    if (options.error == ErrorStream::BrokenPipe) {
        close(err[0]);
        err[0] = -1;
    }
    std::vector<char*> argv;
    for (const auto& arg : options.argv) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) environment.emplace_back(*entry);
    std::vector<std::string> settings = {"DISPLAY=", "WAYLAND_DISPLAY="};
    settings.insert(settings.end(), options.environment.begin(), options.environment.end());
    for (const auto& setting : settings) {  // a later setting wins over an earlier one
        const std::string name = setting.substr(0, setting.find('=') + 1);
        std::erase_if(environment, [&](const std::string& e) { return e.rfind(name, 0) == 0; });
        environment.push_back(setting);
    }
    std::vector<char*> envp;
    for (auto& setting : environment) envp.push_back(setting.data());
    envp.push_back(nullptr);

    const pid_t child = fork();
    if (child == 0) {
        StartChild(options, argv.data(), envp.data(), options.input ? in[0] : -1, out[1], err[1], terminalName);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);

    std::string pending = options.input.value_or("");
    if (pending.empty() && !options.terminalInput) {
        close(in[1]);
        in[1] = -1;
    }
    RunResult result;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    bool timedOut = false;
    while (out[0] >= 0 || err[0] >= 0) {
        pollfd fds[4] = {{out[0], POLLIN, 0},
                         {err[0], POLLIN, 0},
                         {pending.empty() ? -1 : in[1], POLLOUT, 0},
                         {terminal, POLLIN, 0}};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            kill(child, SIGKILL);
            break;
        }
        if (poll(fds, 4, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
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
        if (fds[2].fd >= 0 && fds[2].revents != 0) {
            const ssize_t sent = write(in[1], pending.data(), pending.size());
            if (sent > 0) pending.erase(0, static_cast<size_t>(sent));
            if (sent < 0 || (pending.empty() && !options.terminalInput)) {
                close(in[1]);
                in[1] = -1;
            }
        }
        if (fds[3].fd >= 0 && fds[3].revents != 0) {
            char echo[256];  // the terminal's echo of what was typed
            if (read(terminal, echo, sizeof echo) <= 0) {
                close(terminal);
                terminal = -1;
            }
        }
    }
    for (const int fd : {in[1], out[0], err[0], terminal}) {
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
