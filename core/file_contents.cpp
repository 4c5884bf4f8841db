#include "core/file_contents.h"

#include <array>
#include <fstream>
#include <system_error>

namespace corvalen {

std::optional<std::string> read_whole_file(const std::filesystem::path& path) noexcept {
    try {
        std::ifstream file(path, std::ios::binary);
        if (!file.is_open())
            return std::nullopt;
        std::string contents;
        // Room for the whole file at once when its size is known; a file
        // that grows meanwhile still reads whole.
        std::error_code error;
        std::uintmax_t size = std::filesystem::file_size(path, error);
        if (!error && size < contents.max_size())
            contents.reserve(static_cast<std::size_t>(size));
        std::array<char, 4096> buffer;
        // A failed read sets badbit; the end of the file eofbit and failbit.
        // (A stream's read, unlike a buffer iterator, turns the error the
        // library raises for a failed read into badbit.)
        while (file.read(buffer.data(), buffer.size()) || file.gcount() > 0) {
            contents.append(buffer.data(), static_cast<std::size_t>(file.gcount()));
            if (!file)
                break;
        }
        if (file.bad())
            return std::nullopt;
        return contents;
    } catch (...) {
        return std::nullopt;  // memory ran out, or the name could not be converted
    }
}

}  // namespace corvalen
