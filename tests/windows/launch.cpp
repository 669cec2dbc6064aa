// launch.exe PROGRAM: starts PROGRAM with the command line held in the
// environment variable FRAME2BMP_COMMAND_LINE, character for character,
// waits for it and exits with its exit code. Wine builds a command line from
// Unix arguments by its own quoting rules; this is how the tests give the
// program the exact lines a Windows shell or file manager would. The line
// travels as UTF-16, and the program's GetCommandLineA turns it into the
// ANSI code page, as on Windows.

#include <windows.h>

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: launch.exe PROGRAM (command line in FRAME2BMP_COMMAND_LINE)\n");
        return 2;
    }
    std::vector<wchar_t> line(32768);
    const DWORD length = GetEnvironmentVariableW(L"FRAME2BMP_COMMAND_LINE", line.data(),
                                                 static_cast<DWORD>(line.size()));
    if (length == 0 || length >= line.size()) {
        std::fprintf(stderr, "launch.exe: FRAME2BMP_COMMAND_LINE is not set\n");
        return 2;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(argv[1], line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "launch.exe: cannot start the program (error %lu)\n", GetLastError());
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 2;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<int>(code);
}
