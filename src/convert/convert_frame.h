// One conversion run: frame file in, bitmap file out, every failure reported
// to the user where it happens.
#pragma once

#include <cstddef>
#include <string_view>

namespace frame2bmp {

// The longest path the program opens, in bytes. Longer paths are refused,
// never cut to fit: a cut path names some other file.
inline constexpr std::size_t MAX_PATH_LENGTH = 259;

// The program's notices, shown exactly as they stand.
inline constexpr std::string_view TEXT_CANT_OPEN = "Can't open file";
inline constexpr std::string_view TEXT_READ_ERROR = "Read error";
inline constexpr std::string_view TEXT_REPLACE = "Output file exists. Replace?";
inline constexpr std::string_view TEXT_CANT_CREATE = "Can't create file";
inline constexpr std::string_view TEXT_WRITE_ERROR = "Write error";

// Reads the frame at `inputPath`, asks before replacing an existing
// `outputPath`, converts, and writes the bitmap. True only when the bitmap
// has been written in full and closed.
bool ConvertFrame(const char* inputPath, const char* outputPath);

}  // namespace frame2bmp
