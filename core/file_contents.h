#pragma once
// A file's bytes, read whole or not at all: a reader that got only part of a
// file must not pass it off as the file (a copy of it would be a broken
// backup, a load of it would lose the rest at the next save).

#include <filesystem>
#include <optional>
#include <string>

namespace corvalen {

// Every byte of the file; nothing when it cannot be opened or a read fails
// part way (a folder, a locked file, a disk error). Never throws.
std::optional<std::string> read_whole_file(const std::filesystem::path& path) noexcept;

}  // namespace corvalen
