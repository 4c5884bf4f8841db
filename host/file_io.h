#pragma once
// Whole files by the operating system's own calls. Paths are filesystem
// paths, which on Windows are the wide names: a narrow name goes through the
// ANSI code page, which garbles the letters it lacks.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace corvalen::platform {

// Every byte of the file; nothing when it cannot be opened or a read fails
// part way (a folder, a locked file, a disk error). A reader that got only
// part of a file must not pass it off as the file: a copy of it would be a
// broken backup, a load of it would lose the rest at the next save.
std::optional<std::string> read_file(const std::filesystem::path& path) noexcept;

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
