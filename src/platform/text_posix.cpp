#include "platform/text.h"

#include <cwchar>

namespace frame2bmp {

// Uses the process's LC_CTYPE. In every encoding a POSIX locale can have,
// bytes below 0x80 are characters of their own; only the others need the
// locale, e.g. Shift-JIS, where the second byte of a double-byte character
// may be 0x5C, the backslash.
std::size_t CharacterLength(std::string_view text) {
    if (static_cast<unsigned char>(text[0]) < 0x80) return 1;
    std::mbstate_t state{};
    const std::size_t length = std::mbrlen(text.data(), text.size(), &state);
    // (size_t)-1: invalid; (size_t)-2: cut short by the end of the text.
    if (length == 0 || length > text.size()) return 1;
    return length;
}

}  // namespace frame2bmp
