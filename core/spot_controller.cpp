#include "core/spot_controller.h"

#include <optional>
#include <span>

#include "core/geometry.h"
#include "core/host_distance.h"
#include "core/player.h"

namespace corvalen {

SpotController::~SpotController() {
    for (const Place& place : places) {
        if (place.blip != 0)
            host::remove_blip(place.blip);
    }
}

std::int32_t SpotController::find_nearest(bool include_disabled, std::int32_t half_width) {
    nearest_index = -1;
    if (places.empty())
        return -1;
    std::optional<host::Vec3> player = player_position();
    nearest_distance = std::numeric_limits<float>::infinity();
    if (!player)
        return -1;

    auto eligible = [&](const Place& place) {
        return (place.enabled || include_disabled) &&
               in_square(player->x, player->y, place.x, place.y, half_width);
    };
    // Only places near the player can pass the square test: the search
    // looks at those, in index order, as it would over the whole list.
    std::span<const std::int32_t> nearby = places.around(player->x, player->y, half_width);
    auto range = [&](std::size_t k) {
        const Place& place = places[static_cast<std::size_t>(nearby[k])];
        return eligible(place) ? distance_range(*player, place.position()) : DistanceRange{};
    };
    double bound = nearest_bound(nearby.size(), range);
    for (std::int32_t i : nearby) {
        const Place& place = places[static_cast<std::size_t>(i)];
        if (!eligible(place) || !may_be_nearest(distance_range(*player, place.position()), bound))
            continue;
        float distance = host::distance_3d(*player, place.position());
        if (distance <= nearest_distance) {
            nearest_distance = distance;
            nearest_index = i;
        }
    }
    return nearest_index;
}

void SpotController::refresh_blip(Place& place, bool force) {
    if (place.blip != 0) {
        if (place.enabled && !force)
            return;
        host::remove_blip(place.blip);
        place.blip = 0;
    }
    style_blip(place);
    if (place.blip_sprite < 0 || !place.enabled)
        return;

    place.blip = host::add_blip(place.position());
    if (place.blip == 0)
        return;  // the host made none; there is nothing to style
    host::set_blip_sprite(place.blip, place.blip_sprite);
    host::set_blip_colour(place.blip, place.blip_colour);
    host::set_blip_short_range(place.blip, place.short_range);
    host::set_blip_alpha(place.blip, place.blip_alpha);
    host::set_blip_display(place.blip, 4);
    host::set_blip_extra(place.blip, 0);
    host::set_blip_scale(place.blip, place.blip_scale);
    host::set_blip_name(place.blip, place.blip_name);
}

void SpotController::on_enter(std::int32_t index) {
    if (index < 0 || index >= static_cast<std::int32_t>(places.size()))
        return;
    Place& place = places.edit(static_cast<std::size_t>(index));
    if (host::key_pressed(host::ScanCode::Enter)) {
        on_activate(place);
    } else {
        on_prompt(place);
    }
}

void SpotController::tick() {
    std::int64_t now = host::wall_clock_now();
    if (next_check_time != 0 && next_check_time > now)
        return;

    nearest_index = find_nearest(false, kSearchHalfWidth);
    if (nearest_index < 0 || places.empty()) {
        skip_once = false;
        return;
    }

    std::optional<host::Vec3> player = player_position();
    if (!player)
        return;
    // What the checks need is copied out, for on_enter may change the list;
    // the place's strings are not.
    const Place& nearest = places[static_cast<std::size_t>(nearest_index)];
    host::Vec3 at = nearest.position();
    bool show_marker = nearest.show_marker;
    std::int32_t radius = nearest.radius;
    float distance = host::distance_3d(*player, at);

    if (static_cast<float>(near_range) <= distance) {
        recheck_delay = kFarRecheckSeconds;
        skip_once = false;
    } else {
        recheck_delay = 0;
        if (!skip_once && show_marker) {
            float ground = host::ground_height(at);
            host::draw_ground_marker({at.x, at.y, ground}, 128, 0, 128);
        }
        if (static_cast<float>(radius) > distance && !skip_once) {
            on_enter(nearest_index);
        } else {
            skip_once = false;
        }
    }
    next_check_time = now + recheck_delay;
}

}  // namespace corvalen
