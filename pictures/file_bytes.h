#pragma once
// Reading a whole file the programs were pointed at.

#include <optional>
#include <string>

namespace pictures {

// The bytes of a regular file; none when it is missing, is no regular file or
// cannot be read whole. Never throws.
std::optional<std::string> read_file(const std::string& path) noexcept;

}  // namespace pictures
