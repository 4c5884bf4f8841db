#pragma once
// Marking a new spot in the game: the player starts the capture where the
// spot's centre shall be, walks outwards to set its radius (a circle follows
// the distance), and confirms with Y or cancels with N.

#include <cstdint>

#include "host/host_game.h"

namespace corvalen {

struct PositionCapture {
    static constexpr const char* kPrompt = "Adding. Go and press Y to save, or N to cancel.";

    // Anchors the capture at the player's current matrix, radius 1.
    void start();
    // Once per frame by the owner; afterwards `confirmed` tells whether the
    // player pressed Y in this very frame.
    void process();

    host::Vec3 start_position() const { return start_matrix.position(); }

    bool active = false;
    std::int32_t radius = 0;
    host::Matrix start_matrix;
    bool confirmed = false;
};

}  // namespace corvalen
