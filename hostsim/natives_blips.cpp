// Blips: created at a point or on a character or vehicle, styled, removed.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

Blip* blip_arg(const NativeArgs& a) {
    Blip* blip = a.world().blip(a.i(0));
    if (blip == nullptr)
        a.error("no blip " + hex(a.u(0)));
    return blip;
}

}  // namespace

void add_blip_natives(NativeTable& table) {
    table.add({0x3E7D3074, "create blip", 4, [](const NativeArgs& a) {
                   std::int32_t handle = a.world().create_blip(a.vec(0), 0);
                   a.write_int(3, handle);
                   a.result_int(handle);
               }});
    table.add({0x19A64C5D, "blip on character", 2, [](const NativeArgs& a) {
                   const Character* person = a.world().character(a.i(0));
                   if (person == nullptr) {
                       a.error("no character " + hex(a.u(0)));
                       return;
                   }
                   a.write_int(1, a.world().create_blip(person->object.position(), a.i(0)));
               }});
    table.add({0x6D21564D, "blip on vehicle", 2, [](const NativeArgs& a) {
                   const Vehicle* car = a.world().vehicle(a.i(0));
                   if (car == nullptr) {
                       a.error("no vehicle " + hex(a.u(0)));
                       return;
                   }
                   a.write_int(1, a.world().create_blip(car->object.position(), a.i(0)));
               }});
    table.add({0x7BBF3625, "remove blip", 1, [](const NativeArgs& a) {
                   if (!a.world().remove_blip(a.i(0)))
                       a.error("no blip " + hex(a.u(0)));
               }});
    table.add({0x6A90123D, "blip sprite", 2, [](const NativeArgs& a) {
                   if (Blip* blip = blip_arg(a))
                       blip->sprite = a.i(1);
               }});
    table.add({0x1D8800E3, "blip colour", 2, [](const NativeArgs& a) {
                   if (Blip* blip = blip_arg(a))
                       blip->colour = a.i(1);
               }});
    table.add({0x2ED90276, "blip short range", 2, [](const NativeArgs& a) {
                   if (Blip* blip = blip_arg(a))
                       blip->short_range = a.b(1);
               }});
    table.add({0x2FB14E41, "blip alpha", 2, [](const NativeArgs& a) {
                   if (Blip* blip = blip_arg(a))
                       blip->alpha = a.i(1);
               }});
    table.add({0x3ACC1794, "blip display", 2, [](const NativeArgs& a) {
                   if (Blip* blip = blip_arg(a))
                       blip->display = a.i(1);
               }});
    table.add({0x69EC0E70, "blip setting", 2, [](const NativeArgs& a) {
                   if (Blip* blip = blip_arg(a))
                       blip->setting = a.i(1);
               }});
    table.add({0x44D349D9, "blip scale", 2, [](const NativeArgs& a) {
                   if (Blip* blip = blip_arg(a))
                       blip->scale = a.f(1);
               }});
    table.add({0x6C9F2330, "blip name", 2, [](const NativeArgs& a) {
                   if (Blip* blip = blip_arg(a))
                       blip->name = a.text(1);
               }});
}

}  // namespace hostsim
