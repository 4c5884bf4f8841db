#pragma once
// Whole files by the operating system's own calls. Paths are filesystem
// paths, which on Windows are the wide names: a narrow name goes through the
// ANSI code page, which garbles the letters it lacks.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace corvalen::platform {

// Every byte of the file; nothing when it cannot be opened or a read fails
// part way (a folder, a locked file, a disk error). A reader that got only
// part of a file must not pass it off as the file: a copy of it would be a
// broken backup, a load of it would lose the rest at the next save.
std::optional<std::string> read_file(const std::filesystem::path& path) noexcept;

// A file read from the start a part at a time, shared as read_file shares it.
class FileReader {
  public:
    explicit FileReader(const std::filesystem::path& path) noexcept;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    bool is_open() const { return handle_ != -1; }
    // Fills the start of `into` with the next bytes and gives their number,
    // 0 at the end of the file; nothing when the read fails.
    std::optional<std::size_t> read(std::span<char> into) noexcept;

  private:
    std::intptr_t handle_;  // the system's descriptor or handle; -1 when not open
};

enum class FileWrite {
    not_made,  // nothing was made; whatever stood in the way is not ours to remove
    failed,    // the file was made, but it does not hold the contents whole
    written,
};

// Makes or empties the file and writes the contents, which are on the disk
// when it returns: a rename that follows must never show a file whose data a
// power cut could still take away.
FileWrite write_file(const std::filesystem::path& path, std::string_view contents) noexcept;

}  // namespace corvalen::platform
