#include "transit/transit_service.h"

#include "core/game_timer.h"

namespace corvalen {
namespace {

// Ferries, launches and water taxis.
constexpr std::uint32_t kBoatModels[] = {0x3D961290, 0x68E27CB6, 0x1149422F};

// Durations from the configuration; a negative one means none.
std::int32_t duration(std::int32_t ms) {
    return ms < 0 ? 0 : ms;
}

}  // namespace

const char* stops_file_for(ServiceMode mode) {
    switch (mode) {
        case ServiceMode::Boat:
            return "boat_stops.csv";
        case ServiceMode::Ship:
            return "ship_stops.csv";
        case ServiceMode::Bus:
            break;
    }
    return "bus_stops.csv";
}

TransitService::TransitService(ServiceMode service_mode, const Config* config)
    : stops_file(stops_file_for(service_mode)),
      mode(service_mode),
      is_water(service_mode != ServiceMode::Bus) {
    if (config != nullptr) {
        max_buses = config->get(settings::max_busses);
        max_ferries = config->get(settings::max_ferries);
        max_ships = config->get(settings::max_ships);
        spawn_delay = duration(config->get(settings::bus_spawn_delay));
        spot_cooldown = duration(config->get(settings::bus_spawn_spot_delay));
        boarded_style = config->get(settings::bus_respect_traffic) ? 1 : 2;
    }
    max_vehicles = max_buses;
    build_editor_menu();
    if (mode == ServiceMode::Boat || mode == ServiceMode::Ship)
        set_up_boat();
    if (mode == ServiceMode::Ship)
        set_up_ship();
    load_points();
    next_spawn_time = after(host::game_timer(), first_spawn_delay);
}

void TransitService::set_up_boat() {
    stops_file = stops_file_for(ServiceMode::Boat);
    max_vehicles = max_ferries;
    spot_cooldown = 60000;
    search_extent = 350;
    spawn_max_distance = 350;
    halted_speed = 2.0f;
    cruise_speed = 30.0f;
    boarded_speed = 35.0f;
    dwell_base = 10000;
    dwell_step = 4000;
    capture_enabled = false;
    normal_style = 0;
    boarded_style = 0;
    models.assign(std::begin(kBoatModels), std::end(kBoatModels));
    all_leave = true;
    board_search_radius = 150.0f;
    mission_allowed = false;
}

void TransitService::set_up_ship() {
    stops_file = stops_file_for(ServiceMode::Ship);
    max_vehicles = max_ships;
    occupied_radius = 400;
    stop_range = 10.0f;
    arrival_distance = 25;
    dwell_base = 30000;
    models = {kShipModel};
}

void TransitService::tick() {
    editor_frame();
    update_fleet();
    release_boarders();
    b_key_action();
    charge_player();
    connection_frame();
    status.draw();
    if (show_points)
        inspect_frame();
}

}  // namespace corvalen
