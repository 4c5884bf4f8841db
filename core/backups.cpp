#include "core/backups.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/atomic_file.h"

namespace corvalen {
namespace {

namespace fs = std::filesystem;

// One file, overwriting the destination. The standard library's overwriting
// copy cannot be used: on Windows it takes any two existing files for the
// same file (no inode numbers there) and refuses.
bool copy_one_file(const fs::path& from, const fs::path& to) {
    std::ifstream source(from, std::ios::binary);
    if (!source)
        return false;
    std::string contents((std::istreambuf_iterator<char>(source)),
                         std::istreambuf_iterator<char>());
    if (source.bad())
        return false;
    return replace_file(to, contents);
}

// A folder with everything below it, or a single file. Files only in the
// destination stay. Stops at the first failure.
bool copy_tree(const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (!fs::is_directory(from, error))
        return copy_one_file(from, to);

    fs::create_directories(to, error);
    if (error || !fs::is_directory(to, error))
        return false;
    fs::recursive_directory_iterator entry(from, error);
    for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        fs::path target = to / entry->path().lexically_relative(from);
        std::error_code type_error;
        if (entry->is_directory(type_error)) {
            fs::create_directories(target, error);
            if (error || !fs::is_directory(target, error))
                return false;
        } else if (entry->is_regular_file(type_error)) {
            if (!copy_one_file(entry->path(), target))
                return false;
        }
    }
    return !error;
}

}  // namespace

std::string backup_folder(const std::string& base, int index) {
    return base + ".backup" + std::to_string(index);
}

void rotate_backups(const std::string& base, int keep) noexcept {
    for (int i = keep; i >= 1; --i) {
        try {
            std::string source = i == 1 ? base : backup_folder(base, i - 1);
            std::error_code error;
            if (!fs::exists(source, error) || error)
                continue;
            // A locked or unreadable file ends this copy only; the older
            // copies have already moved on and the autosave still runs.
            copy_tree(source, backup_folder(base, i));
        } catch (...) {
            // Memory ran out or a name could not be converted: skip this copy too.
        }
    }
}

}  // namespace corvalen
