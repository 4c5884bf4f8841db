// Drivers' orders: wander, or drive to a point and come to rest there.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

// The vehicle a driving order is for, when the character is its driver;
// otherwise null, with the error recorded.
Vehicle* driven_vehicle(const NativeArgs& a) {
    const Character* driver = a.character(0);
    Vehicle* car = a.vehicle(1);
    if (driver == nullptr || car == nullptr)
        return nullptr;
    if (car->driver != driver->handle) {
        a.error(hex(a.u(0)) + " does not drive " + hex(a.u(1)));
        return nullptr;
    }
    return car;
}

}  // namespace

void add_traffic_natives(NativeTable& table) {
    table.add({0x1E9635A9, "drive wander", 4, [](const NativeArgs& a) {
                   if (Vehicle* car = driven_vehicle(a)) {
                       DriveOrder order;
                       order.kind = DriveOrder::Kind::wander;
                       order.speed = a.f(2);
                       order.style = a.i(3);
                       a.world().order_drive(*car, order);
                   }
               }});
    table.add({0x69715285, "drive to point", 11, [](const NativeArgs& a) {
                   Vehicle* car = driven_vehicle(a);
                   if (car == nullptr)
                       return;
                   if (a.i(7) != 0 || a.i(10) != -1) {
                       a.error("unexpected fixed arguments " + std::to_string(a.i(7)) + ", " +
                               std::to_string(a.i(10)));
                       return;
                   }
                   DriveOrder order;
                   order.kind = DriveOrder::Kind::to_point;
                   order.target = a.vec(2);
                   order.speed = a.f(5);
                   order.approach = a.i(6);
                   order.style = a.i(8);
                   order.range = a.f(9);
                   a.world().order_drive(*car, order);
               }});
    // Asked with the player's handle and a level.
    table.add({0x7DA4736D, "wanted level above", 2, [](const NativeArgs& a) {
                   if (a.i(0) != kPlayerHandle) {
                       a.error("not the player's handle: " + std::to_string(a.i(0)));
                       return;
                   }
                   a.result_bool(a.world().wanted_level() > a.i(1));
               }});
}

}  // namespace hostsim
