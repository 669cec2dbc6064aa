// Characters of the multibyte encoding that governs path names.
#pragma once

#include <cstddef>
#include <string_view>

namespace frame2bmp {

// Length in bytes of the character that starts `text` (not empty). A byte
// that starts no valid character counts as a character of its own.
std::size_t CharacterLength(std::string_view text);

}  // namespace frame2bmp
