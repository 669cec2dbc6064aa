// From the argument text to the input and output paths.
//
// A path is split into drive, directory, name and extension and rebuilt from
// them; the output is the same path with the extension ".BMP". Both
// separators, '\' and '/', are understood, and a leading letter and colon
// is a drive, as on Windows.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace frame2bmp {

inline constexpr std::size_t MAX_COMPONENT_LENGTH = 255;

struct PathParts {
    char drive[4];          // empty, or a character and ':'
    char directory[256];    // empty, or ends with '\' or '/'
    char name[256];
    char extension[256];    // empty, or begins with '.'
};

// Room for any path MakePath builds from components within their limits:
// drive letter and ':', directory and a separator, name, '.', extension, NUL.
inline constexpr std::size_t MADE_PATH_SIZE = 2 + MAX_COMPONENT_LENGTH + 1 +
                                              MAX_COMPONENT_LENGTH + 1 + MAX_COMPONENT_LENGTH + 1;
using PathBuffer = std::array<char, MADE_PATH_SIZE>;

// A whole Windows command line without the program's name: a quoted name
// up to and including its closing quote, otherwise up to the first byte at
// or below the space.
std::string_view SkipProgramName(std::string_view commandLine);

// The argument text proper: every leading byte from 1 to 32 (blanks, tabs,
// other control characters) skipped.
std::string_view TrimArgumentText(std::string_view text);

// A leading double quote is dropped and the text cut at the next one;
// otherwise the whole text is the path, blanks included.
std::string_view PathFromArgumentText(std::string_view text);

// Splits `path`, scanning whole characters of the locale's encoding so that
// the trail byte of a double-byte character is never a separator or a dot.
// False, with `parts` unspecified, when the directory, name or extension is
// longer than 255 bytes: cutting it would name some other file.
bool SplitPath(std::string_view path, PathParts& parts);

// Builds drive, directory, name and extension into `path`, adding ':' after
// the drive letter, a '\' after a directory that does not end in a separator
// and a '.' before an extension that does not begin with one. False, with
// `path` empty, when a component is longer than 255 bytes.
bool MakePath(std::string_view drive, std::string_view directory, std::string_view name,
              std::string_view extension, PathBuffer& path);

}  // namespace frame2bmp
