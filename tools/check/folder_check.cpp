#include "tools/check/folder_check.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <system_error>
#include <vector>

#include "autoservice/fuel_model.h"
#include "autoservice/service_manager.h"
#include "core/csv.h"
#include "core/text_number.h"
#include "parking/lot_file.h"
#include "realestate/property_file.h"
#include "tools/check/line_check.h"
#include "tools/check/network_check.h"
#include "tools/check/place_check.h"

namespace check {
namespace {

namespace fs = std::filesystem;

class Folder {
  public:
    Folder(fs::path root, Findings& out) : root_(std::move(root)), out_(out) {}

    // The lines of a file by its name in the folder; none, and a finding,
    // when it is there but cannot be read.
    std::vector<std::string> lines(const std::string& name) const {
        std::optional<std::vector<std::string>> lines = corvalen::read_existing_lines(root_ / name);
        if (!lines) {
            out_.push_back({name, 0, "could not be read"});
            return {};
        }
        return *lines;
    }

  private:
    fs::path root_;
    Findings& out_;
};

// The save folders, by the names the plug-in gives them (its backups' names
// carry a suffix, and are left alone); none when the listing fails.
std::optional<std::vector<std::string>> save_folders(const fs::path& root) {
    std::vector<std::string> saves;
    std::error_code error;
    fs::directory_iterator entry(root, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code type_error;
        if (!entry->is_directory(type_error))
            continue;
        std::string name = entry->path().filename().string();
        std::int32_t identity = corvalen::parse_int_prefix(name);
        if (identity > 0 && std::to_string(identity) == name)
            saves.push_back(name);
    }
    if (error)
        return std::nullopt;
    std::sort(saves.begin(), saves.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return saves;
}

}  // namespace

std::optional<Findings> check_folder(const fs::path& folder) {
    std::error_code error;
    if (!fs::is_directory(folder, error))
        return std::nullopt;
    std::optional<std::vector<std::string>> saves = save_folders(folder);
    if (!saves)
        return std::nullopt;

    Findings out;
    Folder files(folder, out);
    for (corvalen::ServiceMode mode :
         {corvalen::ServiceMode::Bus, corvalen::ServiceMode::Boat, corvalen::ServiceMode::Ship}) {
        std::string name = corvalen::stops_file_for(mode);
        check_network(mode, name, files.lines(name), out);
    }
    const std::string stations = corvalen::ServiceManager::kStationsFileName;
    check_stations(stations, files.lines(stations), out);
    const std::string fuel = corvalen::FuelModel::kFuelDataFileName;
    check_lines(fuel, files.lines(fuel), fuel_reader(), out);
    check_lots(corvalen::kLotsFileName, files.lines(corvalen::kLotsFileName), out);
    std::vector<std::string> database = files.lines(corvalen::kPropertyFileName);
    check_properties(corvalen::kPropertyFileName, database, out);

    for (const std::string& save : *saves) {
        const std::string owned = save + "/" + corvalen::kOwnedHousesFileName;
        check_owned_keys(owned, files.lines(owned), database, out);
        for (const char* cars : {corvalen::kParkedCarsFileName, corvalen::kHouseCarsFileName}) {
            const std::string name = save + "/" + cars;
            check_cars(name, files.lines(name), out);
        }
    }
    // Each file's findings by line, the files in the order they were read.
    std::map<std::string, std::size_t> file_order;
    for (const Finding& finding : out)
        file_order.emplace(finding.file, file_order.size());
    std::stable_sort(out.begin(), out.end(), [&](const Finding& a, const Finding& b) {
        std::size_t first = file_order[a.file];
        std::size_t second = file_order[b.file];
        return first != second ? first < second : a.line < b.line;
    });
    return out;
}

}  // namespace check
