#pragma once
// Replacing a data file so that a crash or a full disk never leaves half a
// file behind: the new contents go to a temporary file next to the target,
// which is then renamed over it.

#include <filesystem>
#include <string_view>

namespace corvalen {

// Writes `contents` to `target`, replacing any file there. Returns false (and
// leaves the old file untouched, with no temporary file beside it) when the
// temporary file cannot be written whole, closed or renamed. Never throws.
bool replace_file(const std::filesystem::path& target, std::string_view contents) noexcept;

}  // namespace corvalen
