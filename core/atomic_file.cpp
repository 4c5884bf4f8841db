#include "core/atomic_file.h"

#include <cstdio>
#include <system_error>

namespace corvalen {

bool replace_file(const std::filesystem::path& target, std::string_view contents) noexcept {
    try {
        std::filesystem::path temporary = target;
        temporary += ".tmp";
        // stdio rather than a stream: its close reports a failed final flush.
        std::FILE* file = std::fopen(temporary.string().c_str(), "wb");
        if (!file)
            return false;
        bool written = std::fwrite(contents.data(), 1, contents.size(), file) == contents.size();
        written = std::fclose(file) == 0 && written;
        std::error_code error;
        if (written) {
            std::filesystem::rename(temporary, target, error);
            if (!error)
                return true;
        }
        std::filesystem::remove(temporary, error);
        return false;
    } catch (...) {
        // Only allocation can throw here; the old file stays as it was.
        return false;
    }
}

}  // namespace corvalen
