#pragma once
// What a data folder places on the map, read with the plug-in's own readers:
// the three route networks, the service stations, the pay car parks and the
// properties with their house garages.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/place.h"
#include "garage/garage_controller.h"
#include "pictures/view.h"
#include "realestate/property_file.h"
#include "transit/route_point.h"
#include "transit/transit_service.h"

namespace pictures {

struct Network {
    corvalen::ServiceMode mode = corvalen::ServiceMode::Bus;
    std::vector<corvalen::RoutePoint> points;
};

struct MapData {
    std::vector<Network> networks;  // bus, boat, ship
    std::vector<corvalen::Place> stations;
    std::vector<corvalen::GarageSpot> lots;
    // Houses the save owns carry the owned flag.
    std::vector<corvalen::PropertyRecord> properties;
};

// The lines of a data file by its name in the data folder (a save's files as
// "SAVE/NAME"), without line ends; none when it is missing or unreadable.
using DataFiles = std::function<std::optional<std::vector<std::string>>(const std::string& name)>;

// The files of a data folder on disk.
DataFiles folder_files(const std::string& data_folder);

// Reads every file the map shows; missing and unreadable files show nothing,
// and lines the plug-in would skip are skipped. The owned-houses file of
// `save_identity` marks the houses owned; an empty identity owns none.
MapData read_map_data(const DataFiles& files, const std::string& save_identity);

// The area the map's spots, points and their reaches cover; none when the
// map is empty.
std::optional<Bounds> map_bounds(const MapData& map);

}  // namespace pictures
