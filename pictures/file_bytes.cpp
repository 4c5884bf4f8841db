#include "pictures/file_bytes.h"

#include <filesystem>
#include <fstream>
#include <new>

namespace pictures {

std::optional<std::string> read_file(const std::string& path) noexcept {
    try {
        std::error_code error;
        if (!std::filesystem::is_regular_file(path, error))
            return std::nullopt;
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return std::nullopt;
        std::string bytes;
        char buffer[65536];
        while (in.read(buffer, sizeof(buffer)) || in.gcount() > 0)
            bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (in.bad())
            return std::nullopt;
        return bytes;
    } catch (const std::exception&) {
        return std::nullopt;  // out of memory, or a path the system rejects
    }
}

}  // namespace pictures
