// The file seam inside a Linux process, by descriptors: the C library's
// streams would add a buffer of their own to every whole-file read and write.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "host/file_io.h"

namespace corvalen::platform {
namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

// Reads to the end of the file; false when a read fails.
bool read_to_end(int fd, std::string& contents) {
    struct stat status {};
    // A byte more than the file holds: the read that meets its end finds room
    // left, and the text is not moved to a buffer twice its size at the end.
    if (::fstat(fd, &status) == 0 && status.st_size > 0 &&
        static_cast<std::uintmax_t>(status.st_size) < contents.max_size())
        contents.reserve(static_cast<std::size_t>(status.st_size) + 1);
    for (;;) {
        std::size_t had = contents.size();
        std::size_t room = std::min(contents.capacity() - had, kReadChunk);
        std::size_t ask = room > 0 ? room : kReadChunk;
        contents.resize(had + ask);
        ssize_t got = ::read(fd, contents.data() + had, ask);
        contents.resize(had + static_cast<std::size_t>(got > 0 ? got : 0));
        if (got == 0)
            return true;
        if (got < 0 && errno != EINTR)
            return false;
    }
}

}  // namespace

std::optional<std::string> read_file(const std::filesystem::path& path) noexcept {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> result;
    try {
        std::string contents;
        if (read_to_end(fd, contents))
            result = std::move(contents);
    } catch (...) {
        // Memory ran out: no part of a file passes for the file.
    }
    ::close(fd);
    return result;
}

FileReader::FileReader(const std::filesystem::path& path) noexcept
    : handle_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}

FileReader::~FileReader() {
    if (is_open())
        ::close(static_cast<int>(handle_));
}

std::optional<std::size_t> FileReader::read(std::span<char> into) noexcept {
    if (!is_open())
        return std::nullopt;
    for (;;) {
        ssize_t got = ::read(static_cast<int>(handle_), into.data(), into.size());
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            return std::nullopt;
    }
}

FileWrite write_file(const std::filesystem::path& path, std::string_view contents) noexcept {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return FileWrite::not_made;
    bool whole = true;
    const char* at = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        ssize_t put = ::write(fd, at, left);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            whole = false;
            break;
        }
        at += put;
        left -= static_cast<std::size_t>(put);
    }
    whole = whole && ::fsync(fd) == 0;
    // A failed close may be the first sign of a full disk on some file systems.
    whole = ::close(fd) == 0 && whole;
    return whole ? FileWrite::written : FileWrite::failed;
}

}  // namespace corvalen::platform
