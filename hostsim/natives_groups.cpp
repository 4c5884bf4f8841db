// Groups of characters: created, set up, joined and released by scripts.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {

void add_group_natives(NativeTable& table) {
    table.add({0x78300C0C, "create group", 3,
               [](const NativeArgs& a) { a.write_int(1, a.world().create_group()); }});
    table.add({0x64B9757E, "group formation", 2, [](const NativeArgs& a) {
                   if (Group* group = a.group(0))
                       group->formation = a.i(1);
               }});
    // The group is the second argument here.
    table.add({0x03D916E4, "set up group", 3, [](const NativeArgs& a) {
                   if (Group* group = a.group(1))
                       group->set_up = true;
               }});
    table.add({0x5E0F611E, "add to group", 2, [](const NativeArgs& a) {
                   Group* group = a.group(0);
                   const Character* person = a.character(1);
                   if (group != nullptr && person != nullptr)
                       group->members.push_back(person->handle);
               }});
    table.add({0x250C2D39, "release group", 1, [](const NativeArgs& a) {
                   if (!a.world().release_group(a.i(0)))
                       a.error("no group " + hex(a.u(0)));
               }});
}

}  // namespace hostsim
