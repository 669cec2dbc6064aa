// Whole-file reads and writes in blocks that must transfer in full.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

namespace frame2bmp {

// A POSIX file descriptor, or a Windows HANDLE held as an integer
// (INVALID_HANDLE_VALUE is -1 too).
using FileHandle = std::intptr_t;
inline constexpr FileHandle NO_FILE = -1;

// Opens an existing file for reading. A directory does not open as a file.
FileHandle OpenForReading(const char* path);

// Reads exactly `block.size()` bytes; false when fewer arrive.
bool ReadBlock(FileHandle file, std::span<std::uint8_t> block);

void CloseFile(FileHandle file);

// Whether `path` opens for reading as a file. Never waits on a FIFO or a
// device.
bool OpensForReading(const char* path);

enum class WriteOutcome {
    Written,       // every block written and the file closed cleanly
    CantCreate,    // the file could not be opened for writing
    WriteFailed,   // a block, or closing, failed; no partial file is left
};

// Creates or truncates `path` and writes the blocks in order. When anything
// after creation fails, a regular file at `path` is emptied and removed, so a
// half-written file never stands where a good one should; anything else
// there (a device, or what a symbolic link names) is never removed.
WriteOutcome WriteWholeFile(const char* path,
                            std::initializer_list<std::span<const std::uint8_t>> blocks);

}  // namespace frame2bmp
