// Runs a program as a separate process, feeding its standard input and
// collecting what it writes, as a shell or a script would.
#pragma once

#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace frame2bmp::testing {

struct RunResult {
    bool exited = false;   // ended by exit, not by a signal or the time limit
    int exitCode = -1;
    int signal = 0;
    std::string out;
    std::string err;
};

// Where the program's standard error goes.
enum class ErrorStream {
    Collected,    // a pipe read into RunResult::err
    Closed,       // descriptor 2 closed
    BrokenPipe,   // a pipe nobody reads: writes fail with EPIPE
    Full,         // /dev/full: writes fail with ENOSPC
};

struct RunOptions {
    RunOptions(std::vector<std::string> argv_ = {}, std::optional<std::string> input_ = {},
               std::string directory_ = {})
        : argv(std::move(argv_)), input(std::move(input_)), directory(std::move(directory_)) {}

    std::vector<std::string> argv;      // argv[0] is the program's path
    std::optional<std::string> input;   // standard input's content; none: closed
    std::string directory;              // working directory; empty: the test's
    int timeoutSeconds = 30;
    bool terminalInput = false;         // input typed on a terminal (a pty), not piped
    ErrorStream error = ErrorStream::Collected;
    long long fileSizeLimit = -1;       // RLIMIT_FSIZE in bytes; -1: unchanged
    // NAME=value, set over the test's own environment. Unless set here,
    // DISPLAY and WAYLAND_DISPLAY are emptied: a program that sees a display
    // shows its notices as message boxes, which nobody would answer.
    std::vector<std::string> environment;
};

RunResult RunProgram(const RunOptions& options);

}  // namespace frame2bmp::testing
