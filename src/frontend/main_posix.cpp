// The program's entry on POSIX systems.

#include <clocale>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

#include "frontend/run.h"

namespace {

// With standard input, output or error closed, the next file opened would
// take its number, and a notice could land in the bitmap. Park /dev/null there.
void KeepStandardDescriptorsTaken() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) == -1) {
            const int opened = open("/dev/null", O_RDWR);
            if (opened >= 0 && opened != fd) {
                dup2(opened, fd);
                close(opened);
            }
        }
    }
}

bool HasNonAsciiByte(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    KeepStandardDescriptorsTaken();
    // A reader gone from standard error, or a file-size limit, must end in a
    // notice and exit status 0, not in a signal.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);

    // The text a GUI entry would receive: the arguments joined by blanks.
    std::string joined;
    std::string_view text;
    if (argc == 2) {
        text = argv[1];
    } else if (argc > 2) {
        joined = argv[1];
        for (int i = 2; i < argc; ++i) {
            joined += ' ';
            joined += argv[i];
        }
        text = joined;
    }

    // Path names are scanned in the user's encoding; ASCII is the same in
    // all of them, so only a text with other bytes needs the locale.
    if (HasNonAsciiByte(text)) {
        std::setlocale(LC_CTYPE, "");
    }
    return frame2bmp::RunFrame2Bmp(text);
}
