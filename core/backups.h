#pragma once
// Rotating copies of a save's folder, taken before each autosave rewrites it:
// base.backup1 is the folder as it was before the latest autosave,
// base.backupN the oldest copy kept.

#include <string>

namespace corvalen {

// Shifts every copy one place (base.backup(N-1) to base.backupN, ...,
// base to base.backup1). Each copy is made whole beside its destination and
// only then put in its place, so a backup folder never holds two generations
// mixed; files only the old destination had stay in it. A copy that fails
// ends the rotation there, before the copy it would have moved on is
// overwritten: no generation is lost, and the autosave still goes on.
// Sources that do not exist are skipped. Nothing happens for `keep` of 0 or
// less. False when a copy failed. Never throws.
bool rotate_backups(const std::string& base, int keep) noexcept;

// The folder name of backup number `index` of `base`.
std::string backup_folder(const std::string& base, int index);

}  // namespace corvalen
