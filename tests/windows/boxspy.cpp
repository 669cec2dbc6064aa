// boxspy.exe [SECONDS]: waits for a message box shown by another process
// and prints what it holds, read from the window itself:
//
//   title=[...]      the caption
//   text=[...]       the message
//   buttons=[...]    the button labels, separated by '|'
//   owner=none       or owner=window
//   icon=none        or icon=shown
//
// Exits 1, saying so, when no message box appears in time (default 60 s).

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

BOOL CALLBACK FindMessageBox(HWND window, LPARAM found) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (std::strcmp(className, "#32770") == 0 && IsWindowVisible(window) &&
        process != GetCurrentProcessId()) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

struct Contents {
    std::string buttons;
    bool icon = false;
};

BOOL CALLBACK ReadChild(HWND child, LPARAM contents) {
    auto& into = *reinterpret_cast<Contents*>(contents);
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    if (!IsWindowVisible(child)) return TRUE;
    if (std::strcmp(className, "Button") == 0) {
        char label[256] = {};
        GetWindowTextA(child, label, sizeof label);
        if (!into.buttons.empty()) into.buttons += '|';
        into.buttons += label;
    } else if (std::strcmp(className, "Static") == 0 &&
               (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        into.icon = SendMessageA(child, STM_GETICON, 0, 0) != 0;
    }
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 60;
    const DWORD deadline = GetTickCount() + seconds * 1000;
    HWND box = nullptr;
    while (box == nullptr) {
        EnumWindows(FindMessageBox, reinterpret_cast<LPARAM>(&box));
        if (box != nullptr) break;
        if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
            std::printf("no message box appeared in %lu seconds\n", seconds);
            return 1;
        }
        Sleep(100);
    }
    Sleep(200);  // let the box finish laying out its controls

    char title[256] = {};
    GetWindowTextA(box, title, sizeof title);
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text is control 0xFFFF
    Contents contents;
    EnumChildWindows(box, ReadChild, reinterpret_cast<LPARAM>(&contents));

    std::printf("title=[%s]\ntext=[%s]\nbuttons=[%s]\nowner=%s\nicon=%s\n", title, text,
                contents.buttons.c_str(), GetWindow(box, GW_OWNER) != nullptr ? "window" : "none",
                contents.icon ? "shown" : "none");
    return 0;
}
