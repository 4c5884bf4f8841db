#include "core/atomic_file.h"

#include <system_error>

#include "host/file_io.h"

namespace corvalen {

bool replace_file(const std::filesystem::path& target, std::string_view contents) noexcept {
    std::filesystem::path temporary;
    platform::FileWrite written = platform::FileWrite::not_made;
    try {
        temporary = target;
        temporary += ".tmp";
        written = platform::write_file(temporary, contents);
        if (written == platform::FileWrite::written) {
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
    if (written != platform::FileWrite::not_made) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return false;
}

}  // namespace corvalen
