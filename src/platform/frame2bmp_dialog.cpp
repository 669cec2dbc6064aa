// frame2bmp-dialog notice TEXT
// frame2bmp-dialog question TEXT
//
// Shows one modal message box for frame2bmp on a Linux desktop, drawn by
// SDL2: the text, an empty title, no icon, owned by no window, and OK or Yes
// and No. Enter presses OK or Yes, Escape presses No (or OK).
//
// Exit status: 0 for OK or Yes, 1 for No or a box closed any other way,
// 2 when no box could be shown (no display, an SDL error, bad arguments).
// frame2bmp starts this program only when a box must be shown, so that
// SDL's start-up cost is never paid by a run that shows nothing.

#include <SDL.h>

#include <cstring>

namespace {

constexpr int ANSWER_YES = 0;
constexpr int ANSWER_NO = 1;
constexpr int NOT_SHOWN = 2;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return NOT_SHOWN;
    const bool question = std::strcmp(argv[1], "question") == 0;
    if (!question && std::strcmp(argv[1], "notice") != 0) return NOT_SHOWN;

    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
         ANSWER_YES, "OK"}};
    const SDL_MessageBoxButtonData yesNo[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, ANSWER_YES, "Yes"},
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, ANSWER_NO, "No"}};

    SDL_MessageBoxData box{};
    box.flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;  // and no icon flag: no icon
    box.window = nullptr;                               // owned by no window
    box.title = "";
    box.message = argv[2];
    box.numbuttons = question ? 2 : 1;
    box.buttons = question ? yesNo : ok;

    int pressed = -1;  // stays -1 when the box is closed without a button
    if (SDL_ShowMessageBox(&box, &pressed) != 0) return NOT_SHOWN;
    if (!question) return ANSWER_YES;
    return pressed == ANSWER_YES ? ANSWER_YES : ANSWER_NO;
}
