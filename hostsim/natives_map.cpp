// Distances, the ground and street names.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {

void add_map_natives(NativeTable& table) {
    table.add({0x23F772E7, "distance", 7,
               [](const NativeArgs& a) { a.write_float(6, distance(a.vec(0), a.vec(3))); }});
    table.add(
        {0x687107CA, "horizontal distance", 5, [](const NativeArgs& a) {
             a.write_float(4, horizontal_distance({a.f(0), a.f(1), 0.0f}, {a.f(2), a.f(3), 0.0f}));
         }});
    table.add({0x6D902EE3, "ground height", 4,
               [](const NativeArgs& a) { a.write_float(3, a.world().ground_height(a.vec(0))); }});
    table.add({0x49763A4F, "streets at", 5, [](const NativeArgs& a) {
                   std::array<std::int32_t, 2> streets = a.world().streets_at(a.vec(0));
                   a.write_int(3, streets[0]);
                   a.write_int(4, streets[1]);
               }});
    table.add({0x16E14EA4, "street name", 1, [](const NativeArgs& a) {
                   a.result(static_cast<std::uint32_t>(
                       reinterpret_cast<std::uintptr_t>(a.world().street_name(a.i(0)))));
               }});
}

}  // namespace hostsim
