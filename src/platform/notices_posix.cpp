// Notices on a terminal or in a script: each text on a line of its own on
// standard error; a question's answer is one line from standard input.

#include "platform/notices.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <unistd.h>

namespace frame2bmp {
namespace {

void WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;  // standard error closed or full: nowhere else to say it
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

// Paths come from file names, which may hold any byte: control bytes are
// shown as '?' so that a crafted name cannot drive the terminal. The text and
// its ending go out together, in one write when they fit, so that other
// writers to the same terminal do not cut into the line.
void WriteShown(std::string_view text, std::string_view ending) {
    char chunk[512];
    std::size_t used = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        chunk[used++] = (byte < 32 || byte == 127) ? '?' : c;
        if (used == sizeof chunk) {
            WriteAll(STDERR_FILENO, chunk, used);
            used = 0;
        }
    }
    if (used + ending.size() > sizeof chunk) {
        WriteAll(STDERR_FILENO, chunk, used);
        WriteAll(STDERR_FILENO, ending.data(), ending.size());
        return;
    }
    std::memcpy(chunk + used, ending.data(), ending.size());
    WriteAll(STDERR_FILENO, chunk, used + ending.size());
}

struct Line {
    bool ended;  // a newline arrived (rather than end of input or an error)
    bool yes;
};

// Reads one line from standard input a byte at a time, so that nothing after
// it is consumed from a shared pipe. Yes is "y" or "yes" in any case, with
// trailing blanks and CR ignored.
Line ReadAnswerLine() {
    char word[3];
    std::size_t length = 0;
    std::size_t pendingBlanks = 0;
    bool tooLong = false;
    for (;;) {
        char c;
        const ssize_t got = read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0 || c == '\n') {
            const auto lower = [&](std::size_t i) { return static_cast<char>(word[i] | 0x20); };
            const bool yes = !tooLong &&
                             ((length == 1 && lower(0) == 'y') ||
                              (length == 3 && lower(0) == 'y' && lower(1) == 'e' && lower(2) == 's'));
            return Line{got > 0, yes};
        }
        if (c == ' ' || c == '\t' || c == '\r') {
            ++pendingBlanks;
            continue;
        }
        // Blanks followed by more text belong to the answer.
        if (length + pendingBlanks + 1 > sizeof word) {
            tooLong = true;
        } else {
            while (pendingBlanks > 0) {
                word[length++] = ' ';
                --pendingBlanks;
            }
            word[length++] = c;
        }
        pendingBlanks = 0;
    }
}

}  // namespace

void ShowNotice(std::string_view text) {
    WriteShown(text, "\n");
    // A message box waits to be dismissed; on a terminal, Enter dismisses the
    // notice. With no terminal there is nobody to wait for.
    if (isatty(STDIN_FILENO)) {
        ReadAnswerLine();
    }
}

bool AskYesNo(std::string_view text) {
    WriteShown(text, " [y/N] ");
    const Line answer = ReadAnswerLine();
    // A terminal echoes the user's newline; otherwise end the line ourselves.
    if (!answer.ended || !isatty(STDIN_FILENO)) {
        WriteAll(STDERR_FILENO, "\n", 1);
    }
    return answer.yes;
}

}  // namespace frame2bmp
