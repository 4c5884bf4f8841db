// People: found near a point, told to board or leave a vehicle or to wander
// off, made to speak; the player's boarding as a passenger; where a
// pedestrian may appear, the player's group, a companion's settings, and
// whether he still keeps to someone. Settings are written to the journal
// with their values.

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

// "character 0x00001002 <what>" in the journal, when the character exists.
Character* noted(const NativeArgs& a, const std::string& what) {
    Character* person = a.character(0);
    if (person != nullptr)
        a.world().note("character " + hex(a.u(0)) + " " + what);
    return person;
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
    table.add({0x43F5151F, "wander about", 1, [](const NativeArgs& a) {
                   if (Character* person = a.character(0))
                       a.world().order_wander(*person);
               }});
    table.add({0x6EEE7E6C, "allow orders", 1, [](const NativeArgs& a) { expect(a, 0, 1); }});
    table.add({0x6D9538E1, "character behaviour", 3, [](const NativeArgs& a) {
                   if (a.character(0) == nullptr || !expect(a, 2, 0))
                       return;
                   if (Character* person = noted(a, "behaviour " + std::to_string(a.i(1))))
                       person->behaviour = a.i(1);
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
    // x, y, z, range, 1, then out x, y, z, heading and the pavement node.
    table.add({0x63C00DE7, "spawn point near", 10, [](const NativeArgs& a) {
                   std::optional<Vec3> spot = a.world().spawn_point_near(a.vec(0));
                   if (spot) {
                       a.write_float(5, spot->x);
                       a.write_float(6, spot->y);
                       a.write_float(7, spot->z);
                       a.write_float(8, 0.0f);
                       a.write_int(9, 1);
                   }
                   a.result_bool(spot.has_value());
               }});
    table.add({0x41AB3C30, "player group", 2, [](const NativeArgs& a) {
                   if (a.i(0) != kPlayerHandle) {
                       a.error("not the player handle: " + std::to_string(a.i(0)));
                       return;
                   }
                   a.write_int(1, kPlayerGroup);
               }});
    table.add({0x22DD329E, "group separation", 2, [](const NativeArgs& a) {
                   if (Group* group = a.group(0)) {
                       group->separation = a.f(1);
                       a.world().note("group " + hex(a.u(0)) + " separation " +
                                      format_float(a.f(1)));
                   }
               }});
    table.add({0x04C85E23, "group leader", 2, [](const NativeArgs& a) {
                   Group* group = a.group(0);
                   const Character* leader = a.character(1);
                   if (group != nullptr && leader != nullptr) {
                       group->leader = leader->handle;
                       a.world().note("group " + hex(a.u(0)) + " led by " + hex(a.u(1)));
                   }
               }});
    table.add({0x700165C2, "player group follows", 2, [](const NativeArgs& a) {
                   if (a.i(0) != kPlayerIndex) {
                       a.error("not the player index: " + std::to_string(a.i(0)));
                       return;
                   }
                   a.world().note("player group follows " + std::to_string(a.i(1)));
               }});
    table.add({0x0F4C513E, "character flees", 2,
               [](const NativeArgs& a) { noted(a, "flees " + std::to_string(a.i(1))); }});
    table.add({0x127669D3, "character roaming range", 2,
               [](const NativeArgs& a) { noted(a, "roaming range " + format_float(a.f(1))); }});
    table.add({0x08A453C9, "set character health", 2, [](const NativeArgs& a) {
                   if (Character* person = noted(a, "health " + std::to_string(a.i(1))))
                       person->health = a.i(1);
               }});
    table.add({0x575E2880, "set character armour", 2, [](const NativeArgs& a) {
                   if (Character* person = noted(a, "armour " + std::to_string(a.i(1))))
                       person->armour = a.i(1);
               }});
    table.add({0x6A6B4F18, "character injured", 1, [](const NativeArgs& a) {
                   const Character* person = a.character(0);
                   a.result_bool(person != nullptr && person->injured);
               }});
    table.add({0x649316B7, "leave group", 1, [](const NativeArgs& a) {
                   if (noted(a, "leaves his group"))
                       a.world().leave_groups(a.i(0));
               }});
    table.add({0x42DB145F, "stop following", 3,
               [](const NativeArgs& a) { noted(a, "stops following"); }});
    table.add({0x1DD624A0, "character left", 3, [](const NativeArgs& a) {
                   if (a.character(0) != nullptr && a.character(1) != nullptr)
                       a.result_bool(a.world().character_left(a.i(0), a.i(1)));
               }});
}

}  // namespace hostsim
