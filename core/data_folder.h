#pragma once
// Where the mod keeps its files: the data folder under the host's current
// directory, with the configuration file, the global data files and one
// folder per game save named after the save identity.

#include <string>

namespace corvalen {

inline constexpr const char* kDataFolder = "corvalen";
inline constexpr const char* kConfigFileName = "corvalen.conf";

// data folder + "/" + name
std::string data_path(const std::string& data_folder, const std::string& name);

// The folder of one game save, data folder + "/" + save identity, made when
// missing (a folder that cannot be made shows when its files are written).
std::string make_save_folder(const std::string& data_folder, const std::string& save_identity);

// Creates a folder and its missing parents. False when it could not be made;
// never throws.
bool ensure_folder(const std::string& path) noexcept;

}  // namespace corvalen
