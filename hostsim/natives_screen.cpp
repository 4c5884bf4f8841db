// Text, rectangles, circles and markers drawn this frame.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

Colour colour_args(const NativeArgs& a, std::uint32_t first, std::int32_t alpha) {
    return {a.i(first), a.i(first + 1), a.i(first + 2), alpha};
}

// A rectangle (at a screen point), circle or marker (at a point in the world).
void draw_shape(const NativeArgs& a, DrawKind kind, Vec3 at, float width, float height,
                const Colour& colour) {
    DrawItem item;
    item.kind = kind;
    item.x = at.x;
    item.y = at.y;
    item.z = at.z;
    item.width = width;
    item.height = height;
    item.colour = colour;
    a.world().draw(item);
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
                   draw_shape(a, DrawKind::rectangle, {a.f(0), a.f(1), 0.0f}, a.f(2), a.f(3),
                              colour_args(a, 4, a.i(7)));
               }});
    table.add({0x29FC3E19, "circle", 7, [](const NativeArgs& a) {
                   draw_shape(a, DrawKind::circle, a.vec(0), a.f(3), 0.0f, colour_args(a, 4, 255));
               }});
    table.add({0x309860C4, "marker", 9, [](const NativeArgs& a) {
                   draw_shape(a, DrawKind::marker, a.vec(0), a.f(3), a.f(4),
                              colour_args(a, 5, a.i(8)));
               }});
}

}  // namespace hostsim
