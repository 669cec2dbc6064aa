// Notices as Windows message boxes: modal, owned by no window, with an empty
// title and no icon.

#include "platform/notices.h"

#include <windows.h>

#include <string>

namespace frame2bmp {

void ShowNotice(std::string_view text) {
    MessageBoxA(nullptr, std::string(text).c_str(), "", MB_OK);
}

bool AskYesNo(std::string_view text) {
    return MessageBoxA(nullptr, std::string(text).c_str(), "", MB_YESNO) == IDYES;
}

}  // namespace frame2bmp
