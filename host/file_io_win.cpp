// The file seam on Windows, by the system's handles and wide names.

#include <windows.h>

#include <algorithm>

#include "host/file_io.h"

namespace corvalen::platform {
namespace {

// One call moves at most this much; a DWORD counts the bytes.
constexpr DWORD kChunk = 1u << 20;

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() {
        if (!valid())
            return true;
        bool closed = CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle_;
};

}  // namespace

std::optional<std::string> read_file(const std::filesystem::path& path) noexcept {
    // Others may go on reading, writing or renaming it: the game or an
    // editor holding a file open must not make it unreadable to us.
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return std::nullopt;
    try {
        std::string contents;
        LARGE_INTEGER size{};
        if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
            size.QuadPart < static_cast<LONGLONG>(contents.max_size()))
            contents.reserve(static_cast<std::size_t>(size.QuadPart) + 1);
        for (;;) {
            // Into the room reserved, a byte more than the file holds: the
            // read that meets the end then does not move the text to a
            // buffer twice its size.
            std::size_t had = contents.size();
            auto room =
                static_cast<DWORD>(std::min<std::size_t>(contents.capacity() - had, kChunk));
            DWORD ask = room > 0 ? room : kChunk;
            contents.resize(had + ask);
            DWORD got = 0;
            BOOL read = ReadFile(file.get(), contents.data() + had, ask, &got, nullptr);
            contents.resize(had + got);
            if (!read)
                return std::nullopt;
            if (got == 0)
                return contents;
        }
    } catch (...) {
        return std::nullopt;  // memory ran out
    }
}

FileReader::FileReader(const std::filesystem::path& path) noexcept
    : handle_(reinterpret_cast<std::intptr_t>(CreateFileW(
          path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr))) {}

FileReader::~FileReader() {
    if (is_open())
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::optional<std::size_t> FileReader::read(std::span<char> into) noexcept {
    if (!is_open())
        return std::nullopt;
    DWORD got = 0;
    auto ask = static_cast<DWORD>(std::min<std::size_t>(into.size(), kChunk));
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), into.data(), ask, &got, nullptr))
        return std::nullopt;
    return got;
}

FileWrite write_file(const std::filesystem::path& path, std::string_view contents) noexcept {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return FileWrite::not_made;
    bool whole = true;
    const char* at = contents.data();
    std::size_t left = contents.size();
    while (whole && left > 0) {
        DWORD put = 0;
        DWORD ask = static_cast<DWORD>(std::min<std::size_t>(left, kChunk));
        whole = WriteFile(file.get(), at, ask, &put, nullptr) != 0 && put == ask;
        at += put;
        left -= put;
    }
    whole = whole && FlushFileBuffers(file.get()) != 0;
    whole = file.close() && whole;
    return whole ? FileWrite::written : FileWrite::failed;
}

}  // namespace corvalen::platform
