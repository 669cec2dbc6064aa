// How the program speaks to its user. Each call blocks until the user has
// dealt with it, as a modal message box would.
#pragma once

#include <string_view>

namespace frame2bmp {

// Shows `text` with a single OK; returns once it has been acknowledged.
void ShowNotice(std::string_view text);

// Asks `text` as a Yes/No question; true only for an explicit Yes.
bool AskYesNo(std::string_view text);

}  // namespace frame2bmp
