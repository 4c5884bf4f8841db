// Blips on the map and what is drawn on the screen each frame.

#include "hostsim/world.h"

namespace hostsim {

std::int32_t World::create_blip(Vec3 position, std::int32_t entity) {
    std::int32_t handle = next_blip_++;
    Blip& blip = blips_[handle];
    blip.handle = handle;
    blip.position = position;
    blip.entity = entity;
    note("blip " + hex(static_cast<std::uint32_t>(handle)) + " created at " +
         format_point(position) +
         (entity != 0 ? " on " + hex(static_cast<std::uint32_t>(entity)) : std::string()));
    return handle;
}

Blip* World::blip(std::int32_t handle) {
    return entry_of(blips_, handle);
}

bool World::remove_blip(std::int32_t handle) {
    if (blips_.erase(handle) == 0)
        return false;
    note("blip " + hex(static_cast<std::uint32_t>(handle)) + " removed");
    return true;
}

void World::set_text_scale(float x, float y) {
    text_scale_x_ = x;
    text_scale_y_ = y;
}

void World::set_text_colour(const Colour& colour) {
    text_colour_ = colour;
}

void World::draw_text(float x, float y, const std::string& text) {
    DrawItem item;
    item.kind = DrawKind::text;
    item.x = x;
    item.y = y;
    item.width = text_scale_x_;
    item.height = text_scale_y_;
    item.colour = text_colour_;
    item.text = text;
    current_draws_.push_back(std::move(item));
    reset_text_style();
}

void World::draw(const DrawItem& item) {
    current_draws_.push_back(item);
}

void World::reset_text_style() {
    text_scale_x_ = kDefaultTextScale;
    text_scale_y_ = kDefaultTextScale;
    text_colour_ = kDefaultTextColour;
}

}  // namespace hostsim
