#include "monkey/holdings.h"

#include "core/mod.h"

namespace monkey {
namespace {

using corvalen::ServiceVehicle;
using corvalen::TransitService;

// Features mark "none" with 0 or with -1, depending on their age.
bool held(corvalen::host::Handle handle) {
    return handle != 0 && handle != corvalen::kNoHandle;
}

void add(HandleHolders& holders, corvalen::host::Handle handle, const char* kind,
         const std::string& owner) {
    if (held(handle))
        holders.try_emplace(static_cast<std::int32_t>(handle), Holder{kind, owner});
}

void add_places(Holdings& out, const corvalen::SpotController& spots, const char* kind,
                const std::string& owner) {
    for (const corvalen::Place& place : spots.places)
        add(out.blips, place.blip, kind, owner);
}

void add_garage(Holdings& out, const corvalen::GarageController& garage, const std::string& owner) {
    for (const std::vector<corvalen::host::Handle>* blips :
         {&garage.spot_blips, &garage.car_blips}) {
        for (corvalen::host::Handle blip : *blips)
            add(out.blips, blip, "garage debug blip", owner);
    }
    for (const auto& [handle, record] : garage.records)
        add(out.vehicles, handle, "kept car", owner);
}

void add_vehicle(Holdings& out, const ServiceVehicle& record, const char* what,
                 const std::string& owner) {
    add(out.vehicles, record.vehicle, what, owner);
    add(out.blips, record.blip, "service vehicle blip", owner);
    add(out.groups, record.group, "service vehicle group", owner);
    add(out.characters, record.driver, "fleet driver", owner);
    for (corvalen::host::Handle rider : record.passengers)
        add(out.characters, rider, "passenger", owner);
}

void add_service(Holdings& out, const TransitService& service, const std::string& owner) {
    for (const corvalen::RoutePoint& point : service.points)
        add(out.blips, point.blip, "route point blip", owner);
    add(out.blips, service.inspector_blip, "inspector blip", owner);
    add(out.blips, service.mission_blip, "mission stop blip", owner);
    for (const ServiceVehicle& record : service.vehicles)
        add_vehicle(out, record, "fleet vehicle", owner);
    if (service.mission_vehicle)
        add_vehicle(out, *service.mission_vehicle, "mission vehicle", owner);
    for (const auto& [character, since] : service.releases)
        add(out.characters, character, "boarder", owner);
}

}  // namespace

Holdings holdings_of(const corvalen::Mod& mod) {
    Holdings out;
    add_places(out, mod.auto_service.stations, "station blip", "auto service");
    add_places(out, mod.real_estate, "property blip", "real estate");
    add(out.blips, mod.real_estate.agent.blip, "agent blip", "real estate");
    add(out.characters, mod.real_estate.agent.handle, "estate agent", "real estate");
    add_garage(out, mod.real_estate.garage, "house garage");
    add_garage(out, mod.public_parking.garage, "parking garage");
    add_service(out, mod.bus, "bus service");
    add_service(out, mod.boat, "boat service");
    add_service(out, mod.ship, "ship service");
    return out;
}

}  // namespace monkey
