#include "platform/text.h"

#include <windows.h>

namespace frame2bmp {

// Path names are in the ANSI code page; in a double-byte code page such as
// 932 (Shift-JIS) a lead byte and the byte after it are one character. A
// lead byte with nothing after it stands alone.
std::size_t CharacterLength(std::string_view text) {
    const auto first = static_cast<unsigned char>(text[0]);
    if (first < 0x80) return 1;
    return text.size() >= 2 && text[1] != '\0' && IsDBCSLeadByteEx(CP_ACP, first) ? 2 : 1;
}

}  // namespace frame2bmp
