#include "platform/files.h"

#include <windows.h>

namespace frame2bmp {
namespace {

HANDLE AsHandle(FileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

bool WriteBlock(HANDLE file, std::span<const std::uint8_t> block) {
    const std::uint8_t* next = block.data();
    std::size_t left = block.size();
    while (left > 0) {
        DWORD written = 0;
        const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        if (!WriteFile(file, next, chunk, &written, nullptr) || written == 0) return false;
        next += written;
        left -= written;
    }
    return true;
}

}  // namespace

FileHandle OpenForReading(const char* path) {
    // Without FILE_FLAG_BACKUP_SEMANTICS a directory does not open.
    const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? NO_FILE : reinterpret_cast<FileHandle>(file);
}

bool ReadBlock(FileHandle file, std::span<std::uint8_t> block) {
    std::uint8_t* next = block.data();
    std::size_t left = block.size();
    while (left > 0) {
        DWORD got = 0;
        const DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        if (!ReadFile(AsHandle(file), next, chunk, &got, nullptr) || got == 0) return false;
        next += got;
        left -= got;
    }
    return true;
}

void CloseFile(FileHandle file) {
    CloseHandle(AsHandle(file));
}

bool OpensForReading(const char* path) {
    const FileHandle file = OpenForReading(path);
    if (file == NO_FILE) return false;
    CloseFile(file);
    return true;
}

WriteOutcome WriteWholeFile(const char* path,
                            std::initializer_list<std::span<const std::uint8_t>> blocks) {
    // DELETE access lets a failed write remove the very file it opened,
    // whatever the name points to by then.
    const HANDLE file = CreateFileA(path, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return WriteOutcome::CantCreate;
    // Only a file on a disk is removed; a device such as NUL is left alone.
    const bool onDisk = GetFileType(file) == FILE_TYPE_DISK;

    bool ok = true;
    for (const auto block : blocks) {
        if (!WriteBlock(file, block)) {
            ok = false;
            break;
        }
    }
    if (!ok && onDisk) {
        FILE_DISPOSITION_INFO remove{};
        remove.DeleteFile = TRUE;
        SetFilePointer(file, 0, nullptr, FILE_BEGIN);
        SetEndOfFile(file);
        SetFileInformationByHandle(file, FileDispositionInfo, &remove, sizeof remove);
    }
    if (!CloseHandle(file) && ok) {
        ok = false;
        if (onDisk) DeleteFileA(path);
    }
    return ok ? WriteOutcome::Written : WriteOutcome::WriteFailed;
}

}  // namespace frame2bmp
