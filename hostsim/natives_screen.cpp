// Text, rectangles, circles and markers drawn this frame.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

Colour colour_args(const NativeArgs& a, std::uint32_t first, std::int32_t alpha) {
    return {a.i(first), a.i(first + 1), a.i(first + 2), alpha};
}

}  // namespace

void add_screen_natives(NativeTable& table) {
    table.add({0x02C069E5, "text scale", 2,
               [](const NativeArgs& a) { a.world().set_text_scale(a.f(0), a.f(1)); }});
    table.add({0x19C967B5, "text colour", 4,
               [](const NativeArgs& a) { a.world().set_text_colour(colour_args(a, 0, a.i(3))); }});
    table.add({0x661B239A, "text", 4, [](const NativeArgs& a) {
                   // Only the literal-text key shows the given text as it is.
                   if (a.text(2) != "STRING") {
                       a.error("text key is not \"STRING\"");
                       return;
                   }
                   a.world().draw_text(a.f(0), a.f(1), a.text(3));
               }});
    table.add({0x3B2526E3, "rectangle", 8, [](const NativeArgs& a) {
                   DrawItem item;
                   item.kind = DrawKind::rectangle;
                   item.x = a.f(0);
                   item.y = a.f(1);
                   item.width = a.f(2);
                   item.height = a.f(3);
                   item.colour = colour_args(a, 4, a.i(7));
                   a.world().draw(item);
               }});
    table.add({0x29FC3E19, "circle", 7, [](const NativeArgs& a) {
                   DrawItem item;
                   item.kind = DrawKind::circle;
                   Vec3 at = a.vec(0);
                   item.x = at.x;
                   item.y = at.y;
                   item.z = at.z;
                   item.width = a.f(3);
                   item.colour = colour_args(a, 4, 255);
                   a.world().draw(item);
               }});
    table.add({0x309860C4, "marker", 9, [](const NativeArgs& a) {
                   DrawItem item;
                   item.kind = DrawKind::marker;
                   Vec3 at = a.vec(0);
                   item.x = at.x;
                   item.y = at.y;
                   item.z = at.z;
                   item.width = a.f(3);
                   item.height = a.f(4);
                   item.colour = colour_args(a, 5, a.i(8));
                   a.world().draw(item);
               }});
}

}  // namespace hostsim
