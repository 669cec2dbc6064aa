#pragma once

#include <string_view>

namespace frame2bmp {

// Everything the program does for one argument text; returns the process's
// exit status, which is 0 whatever happened.
int RunFrame2Bmp(std::string_view argumentText);

}  // namespace frame2bmp
