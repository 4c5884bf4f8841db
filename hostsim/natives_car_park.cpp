// Cars kept for the player in garages and car parks: the value a script
// saves and restores with a car, the game's marks on a kept car, and the area
// value where a car is left.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

std::string name_of(const Vehicle& car) {
    return "vehicle " + hex(static_cast<std::uint32_t>(car.handle));
}

}  // namespace

void add_car_park_natives(NativeTable& table) {
    table.add({0x10237666, "vehicle extra value", 2, [](const NativeArgs& a) {
                   if (const Vehicle* car = a.vehicle(0))
                       a.write_int(1, car->parts.extra_value);
               }});
    table.add({0x2E9E149D, "set vehicle extra value", 2, [](const NativeArgs& a) {
                   if (Vehicle* car = a.vehicle(0))
                       car->parts.extra_value = a.i(1);
               }});
    table.add({0x25750E4F, "keep vehicle", 2, [](const NativeArgs& a) {
                   Vehicle* car = a.vehicle(0);
                   if (car == nullptr || car->parts.kept == a.b(1))
                       return;
                   car->parts.kept = a.b(1);
                   a.world().note(name_of(*car) + (a.b(1) ? " kept" : " no longer kept"));
               }});
    table.add({0x295C4C52, "set restoring mark", 2, [](const NativeArgs& a) {
                   Vehicle* car = a.vehicle(0);
                   if (car == nullptr || car->parts.needs_restoring == a.b(1))
                       return;
                   car->parts.needs_restoring = a.b(1);
                   a.world().note(name_of(*car) + " restoring mark " +
                                  (a.b(1) ? "set" : "cleared"));
               }});
    table.add({0x62EA75E0, "vehicle needs restoring", 1, [](const NativeArgs& a) {
                   const Vehicle* car = a.vehicle(0);
                   a.result_bool(car != nullptr && car->parts.needs_restoring);
               }});
    table.add(
        {0x4E493AAF, "area code", 0, [](const NativeArgs& a) { a.result(a.world().area_code()); }});
    table.add({0x48ED6432, "restore area code", 1, [](const NativeArgs& a) {
                   a.world().set_area_code(a.u(0));
                   a.world().note("area code restored to " + std::to_string(a.u(0)));
               }});
}

}  // namespace hostsim
