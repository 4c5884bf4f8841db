#include "core/backups.h"

#include <filesystem>
#include <system_error>

namespace corvalen {

std::string backup_folder(const std::string& base, int index) {
    return base + ".backup" + std::to_string(index);
}

void rotate_backups(const std::string& base, int keep) noexcept {
    namespace fs = std::filesystem;
    for (int i = keep; i >= 1; --i) {
        try {
            std::string source = i == 1 ? base : backup_folder(base, i - 1);
            std::error_code error;
            if (!fs::exists(source, error) || error)
                continue;
            // A locked or unreadable file stops this copy only; the older
            // copies have already moved on and the autosave still runs.
            fs::copy(source, backup_folder(base, i),
                     fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
        } catch (...) {
            // Allocation failure while building a path: skip this copy too.
        }
    }
}

}  // namespace corvalen
