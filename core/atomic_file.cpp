#include "core/atomic_file.h"

#include <fstream>
#include <system_error>

namespace corvalen {
namespace {

// True when the whole contents reached the file; `opened` tells whether the
// file was made at all.
bool write_whole_file(const std::filesystem::path& path, std::string_view contents, bool& opened) {
    // Opened by the path itself, which on Windows is the wide name: a narrow
    // name goes through the ANSI code page, which garbles the letters it
    // lacks, and the rename by the wide name would then miss the file.
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    opened = file.is_open();
    if (!file)
        return false;
    file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    // Closing writes what is still buffered: a full disk often shows only here.
    file.close();
    return !file.fail();
}

}  // namespace

bool replace_file(const std::filesystem::path& target, std::string_view contents) noexcept {
    std::filesystem::path temporary;
    bool opened = false;
    try {
        temporary = target;
        temporary += ".tmp";
        if (write_whole_file(temporary, contents, opened)) {
            std::error_code error;
            std::filesystem::rename(temporary, target, error);
            if (!error)
                return true;
        }
    } catch (...) {
        // Only allocation can throw here.
    }
    // The old file stays as it was, and no half-written temporary is left
    // behind; what stood in the way of making one is not ours to remove.
    if (opened) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return false;
}

}  // namespace corvalen
