// Notices on a terminal or in a script: each text on a line of its own on
// standard error; a question's answer is one line from standard input.
//
// Started from a desktop (neither standard input nor standard error a
// terminal, and a display to show it on) a notice is a message box instead,
// shown by frame2bmp-dialog from beside this program. If that cannot be
// done, the notice falls back to standard error, so it is never lost and a
// failure to ask is never taken for Yes.

#include "platform/notices.h"

#include <climits>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>

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

enum class BoxAnswer { Yes, No, NotShown };

bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

bool FromADesktop() {
    return !isatty(STDIN_FILENO) && !isatty(STDERR_FILENO) &&
           (Set("DISPLAY") || Set("WAYLAND_DISPLAY"));
}

// Runs frame2bmp-dialog from this program's own folder and waits for it:
// the second box of a pair appears only after the first is gone.
BoxAnswer ShowBox(const char* kind, std::string_view text) {
    static constexpr char HELPER[] = "frame2bmp-dialog";
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - sizeof HELPER);
    if (length <= 0) return BoxAnswer::NotShown;
    const std::string_view self(path, static_cast<std::size_t>(length));
    const std::size_t folderEnd = self.rfind('/') + 1;
    std::memcpy(path + folderEnd, HELPER, sizeof HELPER);

    std::string message(text);
    // posix_spawn takes char* for historical reasons; it changes nothing.
    char* const argv[] = {const_cast<char*>(HELPER), const_cast<char*>(kind), message.data(),
                          nullptr};
    pid_t helper;
    if (posix_spawn(&helper, path, nullptr, nullptr, argv, environ) != 0) return BoxAnswer::NotShown;
    int status = 0;
    while (waitpid(helper, &status, 0) < 0) {
        if (errno != EINTR) return BoxAnswer::NotShown;
    }
    if (!WIFEXITED(status)) return BoxAnswer::NotShown;
    switch (WEXITSTATUS(status)) {
        case 0:
            return BoxAnswer::Yes;
        case 1:
            return BoxAnswer::No;
        default:
            return BoxAnswer::NotShown;
    }
}

}  // namespace

void ShowNotice(std::string_view text) {
    if (FromADesktop() && ShowBox("notice", text) != BoxAnswer::NotShown) return;
    WriteShown(text, "\n");
    // A message box waits to be dismissed; on a terminal, Enter dismisses the
    // notice. With no terminal there is nobody to wait for.
    if (isatty(STDIN_FILENO)) {
        ReadAnswerLine();
    }
}

bool AskYesNo(std::string_view text) {
    if (FromADesktop()) {
        const BoxAnswer answer = ShowBox("question", text);
        if (answer != BoxAnswer::NotShown) return answer == BoxAnswer::Yes;
    }
    WriteShown(text, " [y/N] ");
    const Line answer = ReadAnswerLine();
    // A terminal echoes the user's newline; otherwise end the line ourselves.
    if (!answer.ended || !isatty(STDIN_FILENO)) {
        WriteAll(STDERR_FILENO, "\n", 1);
    }
    return answer.yes;
}

}  // namespace frame2bmp
