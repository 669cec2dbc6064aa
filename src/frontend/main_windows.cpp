// The program's entry on Windows: a GUI-subsystem program, so no console
// window opens; it speaks only through message boxes.

#include <windows.h>

#include "frontend/paths.h"
#include "frontend/run.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // The C runtime's own splitting of the command line is not used: the
    // argument text is the raw line after the program's name.
    return frame2bmp::RunFrame2Bmp(frame2bmp::SkipProgramName(GetCommandLineA()));
}
