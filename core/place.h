#pragma once
// One fixed spot on the map (a station, an office, a house): a position with
// an entry radius, an optional map blip and an optional ground marker. The
// feature that owns the spot gives `kind`, `label` and the user fields their
// meaning.

#include <cstdint>
#include <string>

#include "host/host_game.h"

namespace corvalen {

class Place {
  public:
    Place() = default;
    Place(std::int32_t entry_radius, std::int32_t place_kind, float at_x, float at_y, float at_z)
        : x(at_x), y(at_y), z(at_z), kind(place_kind), radius(entry_radius) {}
    // A spot that draws no ground marker.
    static Place without_marker(std::int32_t entry_radius, std::int32_t place_kind, float at_x,
                                float at_y, float at_z) {
        Place place(entry_radius, place_kind, at_x, at_y, at_z);
        place.show_marker = false;
        return place;
    }
    Place(const Place&) = default;
    Place& operator=(const Place&) = default;
    // Declared, as the virtual destructor would otherwise leave every move a
    // copy of both strings, and a growing list copying all its places.
    Place(Place&&) noexcept = default;
    Place& operator=(Place&&) noexcept = default;
    // Frees the strings only: the host blip belongs to the owning controller.
    virtual ~Place() = default;

    std::string label;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::int32_t kind = 0;
    host::Handle blip = 0;
    std::uint8_t user_flag = 0;
    std::uint32_t user_value = 0;
    std::int32_t blip_sprite = 29;  // negative: the place gets no blip
    std::int32_t blip_colour = 0;
    std::int32_t radius = 0;  // whole metres
    std::int32_t blip_alpha = 255;
    float blip_scale = 1.0f;
    bool short_range = true;
    bool enabled = true;
    bool show_marker = true;
    std::string blip_name;

    host::Vec3 position() const { return {x, y, z}; }
};

}  // namespace corvalen
