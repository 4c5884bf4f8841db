// People on foot as scripts handle them: where one may appear, the player's
// group, a companion's settings, his farewell, and whether he still keeps to
// someone. Each setting is written to the journal with its values.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

// "character 0x00001002 <what>" in the journal, when the character exists.
Character* noted(const NativeArgs& a, const std::string& what) {
    Character* person = a.character(0);
    if (person != nullptr)
        a.world().note("character " + hex(a.u(0)) + " " + what);
    return person;
}

}  // namespace

void add_people_natives(NativeTable& table) {
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
    table.add({0x6D9538E1, "character behaviour", 3, [](const NativeArgs& a) {
                   if (Character* person = noted(a, "behaviour " + std::to_string(a.i(1)) + ", " +
                                                        std::to_string(a.i(2)))) {
                       person->behaviour = a.i(1);
                   }
               }});
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
    table.add({0x43F5151F, "wander about", 1, [](const NativeArgs& a) {
                   if (Character* person = noted(a, "wanders about"))
                       person->wandering = true;
               }});
    table.add({0x5CF149C8, "say", 5, [](const NativeArgs& a) { noted(a, "says " + a.text(1)); }});
    table.add({0x1DD624A0, "character left", 3, [](const NativeArgs& a) {
                   if (a.character(0) != nullptr && a.character(1) != nullptr)
                       a.result_bool(a.world().character_left(a.i(0), a.i(1)));
               }});
}

}  // namespace hostsim
