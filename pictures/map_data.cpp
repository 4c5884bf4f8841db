#include "pictures/map_data.h"

#include <algorithm>

#include "autoservice/service_manager.h"
#include "autoservice/station_file.h"
#include "core/csv.h"
#include "core/data_folder.h"
#include "parking/lot_file.h"
#include "transit/stop_file.h"

namespace pictures {
namespace {

std::vector<std::string> lines_of(const DataFiles& files, const std::string& name) {
    return files(name).value_or(std::vector<std::string>());
}

class Extent {
  public:
    void add(float x, float y, float reach) {
        if (!bounds_) {
            bounds_ = Bounds{x - reach, y - reach, x + reach, y + reach};
            return;
        }
        bounds_->min_x = std::min(bounds_->min_x, x - reach);
        bounds_->min_y = std::min(bounds_->min_y, y - reach);
        bounds_->max_x = std::max(bounds_->max_x, x + reach);
        bounds_->max_y = std::max(bounds_->max_y, y + reach);
    }
    std::optional<Bounds> bounds() const { return bounds_; }

  private:
    std::optional<Bounds> bounds_;
};

}  // namespace

DataFiles folder_files(const std::string& data_folder) {
    return [data_folder](const std::string& name) {
        return corvalen::read_existing_lines(corvalen::data_path(data_folder, name));
    };
}

MapData read_map_data(const DataFiles& files, const std::string& save_identity) {
    MapData map;
    for (corvalen::ServiceMode mode :
         {corvalen::ServiceMode::Bus, corvalen::ServiceMode::Boat, corvalen::ServiceMode::Ship}) {
        map.networks.push_back(
            {mode, corvalen::parse_stop_lines(lines_of(files, corvalen::stops_file_for(mode)))});
    }
    for (const std::string& line : lines_of(files, corvalen::ServiceManager::kStationsFileName)) {
        if (std::optional<corvalen::Place> station = corvalen::parse_station_line(line))
            map.stations.push_back(*station);
    }
    for (const std::string& line : lines_of(files, corvalen::kLotsFileName)) {
        if (std::optional<corvalen::GarageSpot> lot = corvalen::parse_lot_line(line))
            map.lots.push_back(*lot);
    }
    std::vector<std::string> owned;
    if (!save_identity.empty()) {
        owned = corvalen::owned_keys(
            lines_of(files, save_identity + "/" + corvalen::kOwnedHousesFileName));
    }
    for (const std::string& line : lines_of(files, corvalen::kPropertyFileName)) {
        std::optional<corvalen::PropertyRecord> record = corvalen::parse_property_line(line);
        if (!record)
            continue;
        corvalen::Place& property = record->property;
        // As the plug-in reads the owned file: a key may name a house by its
        // position as the line spells it.
        bool named = std::any_of(owned.begin(), owned.end(), [&](const std::string& key) {
            return key == property.label || key == record->key_as_written;
        });
        if (property.kind == corvalen::kHouse && named)
            property.user_flag = 1;
        map.properties.push_back(*record);
    }
    return map;
}

std::optional<Bounds> map_bounds(const MapData& map) {
    Extent extent;
    for (const Network& network : map.networks) {
        for (const corvalen::RoutePoint& point : network.points)
            extent.add(point.x, point.y, 0.0f);
    }
    for (const corvalen::Place& station : map.stations)
        extent.add(station.x, station.y, static_cast<float>(std::max(station.radius, 0)));
    for (const corvalen::GarageSpot& lot : map.lots)
        extent.add(lot.x, lot.y, static_cast<float>(std::max(lot.radius, 0)));
    for (const corvalen::PropertyRecord& record : map.properties) {
        extent.add(record.property.x, record.property.y, 0.0f);
        if (record.garage.radius > 0) {
            extent.add(record.garage.x, record.garage.y, static_cast<float>(record.garage.radius));
        }
    }
    return extent.bounds();
}

}  // namespace pictures
