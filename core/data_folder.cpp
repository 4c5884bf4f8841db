#include "core/data_folder.h"

#include <filesystem>
#include <system_error>

namespace corvalen {

std::string data_path(const std::string& data_folder, const std::string& name) {
    return data_folder + "/" + name;
}

std::string make_save_folder(const std::string& data_folder, const std::string& save_identity) {
    std::string folder = data_path(data_folder, save_identity);
    ensure_folder(folder);
    return folder;
}

bool ensure_folder(const std::string& path) noexcept {
    try {
        std::error_code error;
        std::filesystem::create_directories(path, error);
        return !error && std::filesystem::is_directory(path, error);
    } catch (...) {
        return false;
    }
}

}  // namespace corvalen
