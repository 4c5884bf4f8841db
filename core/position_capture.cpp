#include "core/position_capture.h"

#include <optional>

#include "core/geometry.h"
#include "core/player.h"

namespace corvalen {

void PositionCapture::start() {
    active = true;
    radius = 1;
    start_matrix = host::player_matrix().value_or(host::Matrix{});
}

void PositionCapture::process() {
    confirmed = false;
    if (!active)
        return;

    std::optional<host::Vec3> player = player_position();
    if (!player)
        return;  // no player object this frame: nothing to measure from
    host::Vec3 centre = start_position();
    float distance = host::distance_3d(centre, *player);
    radius = whole_metres(distance);

    host::draw_circle({centre.x, centre.y, centre.z - 0.5f}, 2 * distance, 0, 128, 0);
    host::show_text(0.1f, 0.1f, kPrompt);

    if (host::key_pressed(host::ScanCode::Y)) {
        confirmed = true;
        active = false;
    } else if (host::key_pressed(host::ScanCode::N)) {
        radius = 0;
        active = false;
    }
}

}  // namespace corvalen
