#include "autoservice/service_manager.h"

#include <filesystem>
#include <optional>

#include "autoservice/station_file.h"
#include "core/atomic_file.h"
#include "core/csv.h"
#include "host/host_game.h"

namespace corvalen {
namespace {

constexpr std::int32_t kStationSprite = 79;
constexpr std::int32_t kGasStationColour = 2;
constexpr std::int32_t kRepairShopColour = 11;
constexpr float kStationBlipScale = 0.5f;

}  // namespace

ServiceManager::ServiceManager(const Config* config) {
    apply_config(config);
}

void ServiceManager::apply_config(const Config* config) {
    if (config == nullptr)
        return;
    show_repair_blips = config->get_bool("blip_car_service", false);
    show_gas_blips = config->get_bool("blip_gas_station", false);
}

void ServiceManager::style_blip(Place& place) {
    if (place.kind == kGasStation) {
        place.blip_colour = kGasStationColour;
        place.blip_name = "Gas Station";
        place.blip_sprite = show_gas_blips ? kStationSprite : -1;
    } else if (place.kind == kRepairShop) {
        place.blip_colour = kRepairShopColour;
        place.blip_name = "Auto Service";
        place.blip_sprite = show_repair_blips ? kStationSprite : -1;
    }
    place.blip_scale = kStationBlipScale;
}

void ServiceManager::load_stations() {
    for (Place& place : places) {
        if (place.blip != 0)
            host::remove_blip(place.blip);
    }
    places.clear();
    nearest_index = -1;
    for (const std::string& line : read_lines(stations_file)) {
        std::optional<Place> station = parse_station_line(line);
        if (!station)
            continue;
        refresh_blip(*station, true);
        places.push_back(std::move(*station));
    }
}

bool ServiceManager::save_stations() const {
    std::string contents;
    for (const Place& station : places)
        contents += station_line(station, host::street_name_at(station.position()));
    std::filesystem::path file(stations_file);
    if (file.has_parent_path())
        ensure_folder(file.parent_path().string());
    return replace_file(file, contents);
}

// Stations react through on_enter, which replaces the base's choice between
// these two.
void ServiceManager::on_activate(Place& /*place*/) {}
void ServiceManager::on_prompt(Place& /*place*/) {}

}  // namespace corvalen
