// Vehicles, their seats and their occupants.

#include <algorithm>

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {
void add_vehicle_natives(NativeTable& table) {
    table.add({0x67A42263, "vehicle exists", 1,
               [](const NativeArgs& a) { a.result_bool(a.world().vehicle(a.i(0)) != nullptr); }});
    table.add({0x22457083, "driver of vehicle", 2, [](const NativeArgs& a) {
                   if (const Vehicle* car = a.vehicle(0))
                       a.write_int(1, car->driver);
               }});
    table.add({0x5FF84497, "vehicle model", 2, [](const NativeArgs& a) {
                   if (const Vehicle* car = a.vehicle(0)) {
                       a.write_int(1, static_cast<std::int32_t>(car->model));
                   }
               }});
    table.add({0x554014F1, "passenger seat count", 2, [](const NativeArgs& a) {
                   if (const Vehicle* car = a.vehicle(0)) {
                       a.write_int(1, static_cast<std::int32_t>(car->passengers.size()));
                   }
               }});
    table.add({0x1BDA0DA5, "passenger seat free", 2, [](const NativeArgs& a) {
                   const Vehicle* car = a.vehicle(0);
                   std::int32_t seat = a.i(1);
                   a.result_bool(car != nullptr && seat >= 0 &&
                                 static_cast<std::size_t>(seat) < car->passengers.size() &&
                                 car->passengers[static_cast<std::size_t>(seat)] == 0);
               }});
    table.add({0x0A2C70AF, "warp into passenger seat", 4, [](const NativeArgs& a) {
                   if (!a.world().enter_vehicle(a.i(0), a.i(1), a.i(3))) {
                       a.error("cannot seat " + hex(a.u(0)) + " in " + hex(a.u(1)) + " seat " +
                               std::to_string(a.i(3)));
                   }
               }});
    table.add({0x011D360D, "leave vehicle", 2, [](const NativeArgs& a) {
                   const Character* person = a.world().character(a.i(0));
                   if (person == nullptr || person->vehicle != a.i(1)) {
                       a.error(hex(a.u(0)) + " is not in " + hex(a.u(1)));
                       return;
                   }
                   a.world().leave_vehicle(a.i(0));
               }});
    table.add({0x2CB303F8, "nearest vehicle", 6, [](const NativeArgs& a) {
                   a.result_int(a.world().nearest_vehicle(a.vec(0), a.f(3)));
               }});
    // The position comes back as a vector fix-up when the three out-addresses
    // are one vector (x, y, z one after the other), as a script's are; other
    // callers get the three floats written directly.
    table.add({0x2D432EAB, "vehicle position", 4, [](const NativeArgs& a) {
                   const Vehicle* car = a.vehicle(0);
                   if (car == nullptr)
                       return;
                   Vec3 at = car->object.position();
                   std::uint32_t x = a.u(1);
                   if (x != 0 && a.u(2) == x + 4 && a.u(3) == x + 8 && a.add_fixup(x, at))
                       return;
                   a.write_float(1, at.x);
                   a.write_float(2, at.y);
                   a.write_float(3, at.z);
               }});
    table.add({0x46803CFA, "vehicle heading", 2, [](const NativeArgs& a) {
                   if (const Vehicle* car = a.vehicle(0)) {
                       a.write_float(1, car->object.heading());
                   }
               }});
    table.add(
        {0x5CD64D63, "can create vehicles", 2, [](const NativeArgs& a) { a.result_bool(true); }});
    table.add({0x24367E48, "clear area", 4, [](const NativeArgs&) {}});
    table.add({0x210A33B2, "claim vehicle", 1, [](const NativeArgs& a) {
                   if (Vehicle* car = a.vehicle(0))
                       car->claimed = true;
               }});
    table.add(
        {0x0E717E98, "settle vehicle on ground", 1, [](const NativeArgs& a) { a.vehicle(0); }});
    table.add({0x75E40528, "set vehicle heading", 2, [](const NativeArgs& a) {
                   if (Vehicle* car = a.vehicle(0))
                       car->object.set_heading(a.f(1));
               }});
    table.add({0x4D417CD3, "vehicle health", 2, [](const NativeArgs& a) {
                   if (const Vehicle* car = a.vehicle(0))
                       a.write_int(1, car->health);
               }});
    table.add({0x61487DBF, "vehicle damaged by", 2, [](const NativeArgs& a) {
                   const Vehicle* car = a.vehicle(0);
                   const Character* person = a.character(1);
                   a.result_bool(car != nullptr && person != nullptr &&
                                 std::find(car->damaged_by.begin(), car->damaged_by.end(),
                                           person->handle) != car->damaged_by.end());
               }});
    table.add({0x56B8674F, "close vehicle doors", 1, [](const NativeArgs& a) { a.vehicle(0); }});
    table.add({0x1B8B3973, "vehicle in service", 2, [](const NativeArgs& a) {
                   if (Vehicle* car = a.vehicle(0))
                       car->in_service = a.b(1);
               }});
    // Handed the address of the handle, as a script hands its variable.
    table.add({0x20C76FD1, "release vehicle", 1, [](const NativeArgs& a) {
                   std::int32_t handle = a.pointed_int(0);
                   if (!a.world().release_vehicle(handle))
                       a.error("no vehicle " + hex(static_cast<std::uint32_t>(handle)));
               }});
}

}  // namespace hostsim
