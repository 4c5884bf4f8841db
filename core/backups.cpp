#include "core/backups.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "core/atomic_file.h"
#include "host/file_io.h"

namespace corvalen {
namespace {

namespace fs = std::filesystem;

// Beside a backup folder while its next generation is put together, and while
// the generation it held makes way.
constexpr const char* kStagingSuffix = ".new";
constexpr const char* kRetiredSuffix = ".old";

fs::path beside(const fs::path& folder, const char* suffix) {
    fs::path path = folder;
    path += suffix;
    return path;
}

// One file, overwriting the destination. The standard library's overwriting
// copy cannot be used: on Windows it takes any two existing files for the
// same file (no inode numbers there) and refuses.
bool copy_one_file(const fs::path& from, const fs::path& to) {
    std::optional<std::string> contents = platform::read_file(from);
    return contents && replace_file(to, *contents);
}

// Every folder and file below `from` into the folder `to`. False at the first
// that could not be copied.
bool copy_tree(const fs::path& from, const fs::path& to) {
    std::error_code error;
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

// The files below `from` that `to` lacks, as far as they can be copied: they
// are what a backup folder held beyond its source, kept as the overwriting
// copies of earlier versions kept them. Their generation is whole elsewhere.
void copy_missing_files(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::recursive_directory_iterator entry(from, error);
    for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        fs::path target = to / entry->path().lexically_relative(from);
        std::error_code ignored;
        if (!entry->is_regular_file(ignored) || fs::exists(fs::symlink_status(target, ignored)))
            continue;
        fs::create_directories(target.parent_path(), ignored);
        if (!ignored)
            copy_one_file(entry->path(), target);
    }
}

// A swap cut short (the game closed between its two renames) left a backup's
// generation beside its place: it goes back before anything moves.
void finish_earlier_swap(const fs::path& folder) {
    fs::path retired = beside(folder, kRetiredSuffix);
    std::error_code error;
    if (!fs::exists(fs::symlink_status(retired, error)))
        return;
    if (!fs::exists(fs::symlink_status(folder, error))) {
        fs::rename(retired, folder, error);
    } else {
        fs::remove_all(retired, error);
    }
}

// Puts a copy of `from` in place of the folder `to`, whole or not at all.
bool copy_generation(const fs::path& from, const fs::path& to) {
    std::error_code error;
    if (!fs::is_directory(from, error))
        return !error && copy_one_file(from, to);  // a single file is replaced whole anyway

    fs::path staging = beside(to, kStagingSuffix);
    fs::path retired = beside(to, kRetiredSuffix);
    fs::file_status old = fs::symlink_status(to, error);
    // Something else in a backup's place is not ours to replace.
    if (fs::exists(old) && !fs::is_directory(old))
        return false;
    fs::remove_all(staging, error);
    bool made = !error && copy_tree(from, staging);
    if (made && fs::exists(old))
        copy_missing_files(to, staging);
    if (made && fs::exists(old)) {
        fs::rename(to, retired, error);
        made = !error;
    }
    if (made) {
        fs::rename(staging, to, error);
        made = !error;
        if (!made && fs::exists(old))
            fs::rename(retired, to, error);
    }
    std::error_code ignored;
    fs::remove_all(made ? retired : staging, ignored);
    return made;
}

}  // namespace

std::string backup_folder(const std::string& base, int index) {
    return base + ".backup" + std::to_string(index);
}

bool rotate_backups(const std::string& base, int keep) noexcept {
    try {
        for (int i = 1; i <= keep; ++i)
            finish_earlier_swap(backup_folder(base, i));
    } catch (...) {
        return false;
    }
    for (int i = keep; i >= 1; --i) {
        try {
            std::string source = i == 1 ? base : backup_folder(base, i - 1);
            std::error_code error;
            if (!fs::exists(source, error))
                continue;
            // The source moves on next: it may be overwritten only once it
            // is safe in its new place.
            if (!copy_generation(source, backup_folder(base, i)))
                return false;
        } catch (...) {
            return false;  // memory ran out, or a name could not be converted
        }
    }
    return true;
}

}  // namespace corvalen
