#pragma once
// Rotating copies of a save's folder, taken before each autosave rewrites it:
// base.backup1 is the folder as it was before the latest autosave,
// base.backupN the oldest copy kept.

#include <string>

namespace corvalen {

// Shifts every copy one place (base.backup(N-1) to base.backupN, ...,
// base to base.backup1), copying recursively and overwriting. Sources that do
// not exist are skipped, and so is a copy that fails part way, so the
// autosave always goes on. Nothing happens for `keep` of 0 or less. Never
// throws.
void rotate_backups(const std::string& base, int keep) noexcept;

// The folder name of backup number `index` of `base`.
std::string backup_folder(const std::string& base, int index);

}  // namespace corvalen
