#pragma once
// Every data file of a data folder and of each save's folder in it, read with
// the plug-in's own readers.

#include <filesystem>
#include <optional>

#include "tools/check/finding.h"

namespace check {

// What the folder's files hold that the plug-in would skip, drop or not use
// as the modder meant; none when the folder itself cannot be read. A missing
// file is no finding (the plug-in starts without it), an unreadable one is.
std::optional<Findings> check_folder(const std::filesystem::path& folder);

}  // namespace check
