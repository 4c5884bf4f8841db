// The player, characters and money.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

bool is_player(const NativeArgs& a, std::uint32_t i) {
    if (a.i(i) == kPlayerIndex)
        return true;
    a.error("not the player index: " + std::to_string(a.i(i)));
    return false;
}

}  // namespace

void add_player_natives(NativeTable& table) {
    table.add(
        {0x62E319C6, "player index", 0, [](const NativeArgs& a) { a.result_int(kPlayerIndex); }});
    table.add({0x511454A9, "player character", 2, [](const NativeArgs& a) {
                   if (is_player(a, 0))
                       a.write_int(1, a.world().player_character());
               }});
    table.add({0x5996315E, "player handle", 1, [](const NativeArgs& a) {
                   if (is_player(a, 0))
                       a.result_int(kPlayerHandle);
               }});
    table.add({0x537379A8, "add cash", 2, [](const NativeArgs& a) {
                   // The game accepts the player's handle or index here.
                   if (a.i(0) != kPlayerHandle && a.i(0) != kPlayerIndex) {
                       a.error("not the player: " + std::to_string(a.i(0)));
                       return;
                   }
                   a.world().add_cash(a.i(1));
               }});
    table.add({0x2EE310C5, "set player position", 4, [](const NativeArgs& a) {
                   if (!is_player(a, 0))
                       return;
                   Vec3 to = a.vec(1);
                   a.world().set_player_position(to);
                   a.world().note("player moved to " + format_point(to));
               }});
    table.add({0x057A3AC7, "character heading", 2, [](const NativeArgs& a) {
                   if (const Character* person = a.character(0)) {
                       a.write_float(1, person->object.heading());
                   }
               }});
    table.add({0x46531797, "character exists", 1,
               [](const NativeArgs& a) { a.result_bool(a.world().character(a.i(0)) != nullptr); }});
    table.add({0x10A86CF4, "character on foot", 1, [](const NativeArgs& a) {
                   const Character* person = a.character(0);
                   a.result_bool(person != nullptr && person->vehicle == 0);
               }});
    table.add({0x1DBD7385, "character in a vehicle", 1, [](const NativeArgs& a) {
                   const Character* person = a.character(0);
                   a.result_bool(person != nullptr && person->vehicle != 0);
               }});
    table.add({0x71184DA3, "character sitting in a vehicle", 1, [](const NativeArgs& a) {
                   const Character* person = a.character(0);
                   a.result_bool(person != nullptr && person->vehicle != 0);
               }});
    table.add({0x1B067237, "vehicle of character", 2, [](const NativeArgs& a) {
                   const Character* person = a.character(0);
                   a.write_int(1, person != nullptr ? person->vehicle : 0);
               }});
    table.add({0x4ECB2267, "character dead", 1, [](const NativeArgs& a) {
                   const Character* person = a.character(0);
                   a.result_bool(person != nullptr && person->dead);
               }});
    table.add({0x4B6C2256, "character health", 2, [](const NativeArgs& a) {
                   if (const Character* person = a.character(0))
                       a.write_int(1, person->health);
               }});
    table.add({0x28A73BCA, "character indoors", 1, [](const NativeArgs& a) {
                   const Character* person = a.character(0);
                   a.result_bool(person != nullptr && person->indoors);
               }});
    table.add({0x7D037B40, "character in this vehicle", 2, [](const NativeArgs& a) {
                   const Character* person = a.character(0);
                   const Vehicle* car = a.vehicle(1);
                   a.result_bool(person != nullptr && car != nullptr &&
                                 person->vehicle == car->handle);
               }});
    table.add({0x60EC0540, "claim character", 1, [](const NativeArgs& a) {
                   if (Character* person = a.character(0))
                       person->claimed = true;
               }});
    table.add({0x05801768, "character claimed", 1, [](const NativeArgs& a) {
                   const Character* person = a.character(0);
                   a.result_bool(person != nullptr && person->claimed);
               }});
    table.add({0x7B44224F, "set character money", 2, [](const NativeArgs& a) {
                   if (Character* person = a.character(0))
                       person->money = a.i(1);
               }});
    // Clearing a driver's orders stops his driving until the next order.
    table.add({0x4AB470F3, "clear character orders", 1, [](const NativeArgs& a) {
                   const Character* person = a.character(0);
                   if (person == nullptr)
                       return;
                   Vehicle* car = a.world().vehicle(person->vehicle);
                   if (car != nullptr && car->driver == person->handle)
                       a.world().cancel_drive(*car);
               }});
    table.add(
        {0x7FC96DD5, "clear character reactions", 1, [](const NativeArgs& a) { a.character(0); }});
    table.add({0x264009D3, "character keeps orders", 2, [](const NativeArgs& a) {
                   if (Character* person = a.character(0))
                       person->keeps_orders = a.b(1);
               }});
    table.add({0x31CD5F18, "create driver", 2, [](const NativeArgs& a) {
                   if (a.vehicle(0) == nullptr)
                       return;
                   if (const Character* driver = a.world().create_driver(a.i(0))) {
                       a.write_int(1, driver->handle);
                   } else {
                       a.error("the driver's seat of " + hex(a.u(0)) + " is taken");
                   }
               }});
    // Handed the address of the handle, as a script hands its variable.
    table.add({0x0B774604, "release character", 1, [](const NativeArgs& a) {
                   std::int32_t handle = a.pointed_int(0);
                   if (handle == a.world().player_character()) {
                       a.error("the player cannot be released");
                   } else if (!a.world().release_character(handle)) {
                       a.error("no character " + hex(static_cast<std::uint32_t>(handle)));
                   }
               }});
    table.add({0x03E90416, "give weapon", 4, [](const NativeArgs& a) {
                   if (a.character(0) != nullptr) {
                       a.world().note(hex(a.u(0)) + " given weapon " + std::to_string(a.i(1)) +
                                      ", ammunition " + std::to_string(a.i(2)));
                   }
               }});
    // The developer hotkey's pair of effects; the stand-in only records them.
    table.add({0x264C5448, "developer effect on", 4, [](const NativeArgs& a) {
                   a.world().note("developer effect on for " + hex(a.u(0)) + " (" +
                                  std::to_string(a.i(1)) + ", " + std::to_string(a.i(2)) + ", " +
                                  std::to_string(a.i(3)) + ")");
               }});
    table.add({0x524C4CB5, "developer effect off", 2, [](const NativeArgs& a) {
                   a.world().note("developer effect off for " + hex(a.u(0)) + " (" +
                                  std::to_string(a.i(1)) + ")");
               }});
}

}  // namespace hostsim
