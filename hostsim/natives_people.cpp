// People: found near a point, told to board or leave a vehicle or to walk
// away, and made to speak; the player's boarding as a passenger.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

// Literal arguments the game expects; anything else is a caller's mistake.
bool expect(const NativeArgs& a, std::uint32_t i, std::int32_t value) {
    if (a.i(i) == value)
        return true;
    a.error("argument " + std::to_string(i) + " is " + std::to_string(a.i(i)) + ", not " +
            std::to_string(value));
    return false;
}

}  // namespace

void add_people_natives(NativeTable& table) {
    table.add({0x0F4B0239, "character near a point", 7, [](const NativeArgs& a) {
                   if (!expect(a, 4, 1) || !expect(a, 5, 0))
                       return;
                   std::int32_t found = a.world().find_pedestrian_near(a.vec(0), a.f(3));
                   a.write_int(6, found);
                   a.result_bool(found != 0);
               }});
    table.add({0x5E756B51, "character in seat", 3, [](const NativeArgs& a) {
                   const Vehicle* car = a.vehicle(0);
                   if (car == nullptr)
                       return;
                   std::int32_t seat = a.i(1);
                   if (seat < 0 || static_cast<std::size_t>(seat) >= car->passengers.size()) {
                       a.error("no seat " + std::to_string(seat));
                       return;
                   }
                   std::int32_t rider = car->passengers[static_cast<std::size_t>(seat)];
                   a.write_int(2, rider != 0 ? rider : -1);
               }});
    // Time limit 0 puts the character in the seat at once (-1: the driver's);
    // any other is an order to walk there, within the limit in milliseconds
    // (negative: none), and seat -1 then means the first free passenger seat.
    table.add({0x0A2C70AF, "enter vehicle", 4, [](const NativeArgs& a) {
                   Character* person = a.character(0);
                   const Vehicle* car = a.vehicle(1);
                   if (person == nullptr || car == nullptr)
                       return;
                   std::int32_t limit = a.i(2);
                   std::int32_t seat = a.i(3);
                   if (limit == 0) {
                       if (!a.world().enter_vehicle(a.i(0), a.i(1), seat)) {
                           a.error("cannot seat " + hex(a.u(0)) + " in " + hex(a.u(1)) + " seat " +
                                   std::to_string(seat));
                       }
                       return;
                   }
                   if (seat < kAnyPassengerSeat ||
                       (seat >= 0 && static_cast<std::size_t>(seat) >= car->passengers.size())) {
                       a.error("no seat " + std::to_string(seat) + " in " + hex(a.u(1)));
                       return;
                   }
                   a.world().order_enter(*person, a.i(1), seat, limit);
               }});
    table.add({0x1114089D, "leave vehicle", 1, [](const NativeArgs& a) {
                   if (Character* person = a.character(0))
                       a.world().order_leave(*person);
               }});
    table.add({0x43F5151F, "walk away", 1, [](const NativeArgs& a) {
                   if (Character* person = a.character(0))
                       a.world().order_walk_away(*person);
               }});
    table.add({0x6EEE7E6C, "allow orders", 1, [](const NativeArgs& a) { expect(a, 0, 1); }});
    table.add({0x6D9538E1, "character behaviour", 3, [](const NativeArgs& a) {
                   if (a.character(0) != nullptr)
                       expect(a, 2, 0);
               }});
    table.add({0x1A02748F, "character stays on order", 2, [](const NativeArgs& a) {
                   if (a.character(0) != nullptr)
                       expect(a, 1, 1);
               }});
    table.add({0x5CF149C8, "say", 5, [](const NativeArgs& a) {
                   if (a.character(0) == nullptr)
                       return;
                   if (!expect(a, 2, 1) || !expect(a, 3, 1) || !expect(a, 4, 1))
                       return;
                   a.world().say(a.i(0), a.text(1));
               }});
    // The player boards as a passenger.
    table.add({0x02033258, "passenger entry", 1, [](const NativeArgs& a) { expect(a, 0, 4); }});
    table.add({0x67CC007C, "player boarding, first", 2, [](const NativeArgs& a) {
                   if (a.character(0) != nullptr)
                       expect(a, 1, 0);
               }});
    table.add({0x458C333D, "player boarding, second", 2, [](const NativeArgs& a) {
                   if (a.character(0) != nullptr)
                       expect(a, 1, 0);
               }});
    table.add({0x41E45BE5, "vehicle out of service", 1, [](const NativeArgs& a) {
                   if (Vehicle* car = a.vehicle(0)) {
                       car->in_service = false;
                       a.world().note("vehicle " + hex(a.u(0)) + " out of service");
                   }
               }});
}

}  // namespace hostsim
