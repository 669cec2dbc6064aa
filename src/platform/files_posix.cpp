#include "platform/files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace frame2bmp {
namespace {

// A directory opens for reading on POSIX systems, but it is not a file.
FileHandle RefuseDirectory(int fd) {
    if (fd < 0) return NO_FILE;
    struct stat status {};
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        close(fd);
        return NO_FILE;
    }
    return fd;
}

bool WriteBlock(int fd, std::span<const std::uint8_t> block) {
    const std::uint8_t* next = block.data();
    std::size_t left = block.size();
    while (left > 0) {
        const ssize_t written = write(fd, next, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        next += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Removes `path` only when it is, itself, the regular file that was written:
// not a symbolic link to it, and not a file someone put there since.
void RemoveWrittenFile(const char* path, const struct stat& written) {
    struct stat atPath {};
    if (lstat(path, &atPath) == 0 && S_ISREG(atPath.st_mode) && SameFile(atPath, written)) {
        unlink(path);
    }
}

}  // namespace

FileHandle OpenForReading(const char* path) {
    return RefuseDirectory(open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY));
}

bool ReadBlock(FileHandle file, std::span<std::uint8_t> block) {
    std::uint8_t* next = block.data();
    std::size_t left = block.size();
    while (left > 0) {
        const ssize_t got = read(static_cast<int>(file), next, left);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        next += got;
        left -= static_cast<std::size_t>(got);
    }
    return true;
}

void CloseFile(FileHandle file) {
    close(static_cast<int>(file));
}

bool OpensForReading(const char* path) {
    // O_NONBLOCK: a FIFO with no writer still opens, at once.
    const FileHandle file = RefuseDirectory(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file == NO_FILE) return false;
    CloseFile(file);
    return true;
}

WriteOutcome WriteWholeFile(const char* path,
                            std::initializer_list<std::span<const std::uint8_t>> blocks) {
    // O_NONBLOCK: a FIFO with nobody reading it fails to open (ENXIO)
    // instead of holding the run forever.
    const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return WriteOutcome::CantCreate;

    struct stat created {};
    const bool regular = fstat(fd, &created) == 0 && S_ISREG(created.st_mode);
    if (!regular) {
        // A FIFO or a device: writes must wait for room, not fail for want of it.
        const int flags = fcntl(fd, F_GETFL);
        if (flags == -1 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == -1) {
            close(fd);
            return WriteOutcome::CantCreate;
        }
    }

    bool ok = true;
    for (const auto block : blocks) {
        if (!WriteBlock(fd, block)) {
            ok = false;
            break;
        }
    }
    // Empty the file before letting go of it, so no partial bitmap survives
    // even where its name cannot be removed (a symbolic link to it).
    if (!ok && regular) {
        (void)ftruncate(fd, 0);
    }
    // Delayed write errors (quota, network file systems) surface at close.
    if (close(fd) != 0) ok = false;

    if (ok) return WriteOutcome::Written;
    if (regular) RemoveWrittenFile(path, created);
    return WriteOutcome::WriteFailed;
}

}  // namespace frame2bmp
