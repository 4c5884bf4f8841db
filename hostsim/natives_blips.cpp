// Blips: created at a point or on a character or vehicle, styled, removed.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {
void add_blip_natives(NativeTable& table) {
    table.add({0x3E7D3074, "create blip", 4, [](const NativeArgs& a) {
                   std::int32_t handle = a.world().create_blip(a.vec(0), 0);
                   a.write_int(3, handle);
                   a.result_int(handle);
               }});
    table.add({0x19A64C5D, "blip on character", 2, [](const NativeArgs& a) {
                   if (const Character* person = a.character(0))
                       a.write_int(1, a.world().create_blip(person->object.position(), a.i(0)));
               }});
    table.add({0x6D21564D, "blip on vehicle", 2, [](const NativeArgs& a) {
                   if (const Vehicle* car = a.vehicle(0))
                       a.write_int(1, a.world().create_blip(car->object.position(), a.i(0)));
               }});
    table.add({0x7BBF3625, "remove blip", 1, [](const NativeArgs& a) {
                   if (!a.world().remove_blip(a.i(0)))
                       a.error("no blip " + hex(a.u(0)));
               }});
    table.add({0x6A90123D, "blip sprite", 2, [](const NativeArgs& a) {
                   if (Blip* blip = a.blip(0))
                       blip->sprite = a.i(1);
               }});
    table.add({0x1D8800E3, "blip colour", 2, [](const NativeArgs& a) {
                   if (Blip* blip = a.blip(0))
                       blip->colour = a.i(1);
               }});
    table.add({0x2ED90276, "blip short range", 2, [](const NativeArgs& a) {
                   if (Blip* blip = a.blip(0))
                       blip->short_range = a.b(1);
               }});
    table.add({0x2FB14E41, "blip alpha", 2, [](const NativeArgs& a) {
                   if (Blip* blip = a.blip(0))
                       blip->alpha = a.i(1);
               }});
    table.add({0x3ACC1794, "blip display", 2, [](const NativeArgs& a) {
                   if (Blip* blip = a.blip(0))
                       blip->display = a.i(1);
               }});
    table.add({0x69EC0E70, "blip setting", 2, [](const NativeArgs& a) {
                   if (Blip* blip = a.blip(0))
                       blip->setting = a.i(1);
               }});
    table.add({0x44D349D9, "blip scale", 2, [](const NativeArgs& a) {
                   if (Blip* blip = a.blip(0))
                       blip->scale = a.f(1);
               }});
    table.add({0x6C9F2330, "blip name", 2, [](const NativeArgs& a) {
                   if (Blip* blip = a.blip(0))
                       blip->name = a.text(1);
               }});
}

}  // namespace hostsim
