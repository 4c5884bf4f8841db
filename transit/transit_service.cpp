#include "transit/transit_service.h"

namespace corvalen {
namespace {

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

}  // namespace

TransitService::TransitService(ServiceMode service_mode, const Config* /*config*/)
    : stops_file(stops_file_for(service_mode)),
      mode(service_mode),
      is_water(service_mode != ServiceMode::Bus) {}

void TransitService::reset_spawning() {}

void TransitService::tick() {
    // The network, vehicles and editor items come with the transit work; the
    // menu already opens from the main menu.
    editor_menu.process();
}

}  // namespace corvalen
