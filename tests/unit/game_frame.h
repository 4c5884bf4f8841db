#pragma once
// Runs test code the way the plug-in's frame tick runs: inside one frame of
// the stand-in host (keys of that frame visible, draws recorded for it) and
// inside a FrameScope, so that natives are called.

#include <vector>

#include "host/host_game.h"
#include "test_host.h"

namespace corvalen::test {

inline hostsim::Host& game() {
    return test_host();
}

// One frame around `body`; returns what was drawn in it.
template <typename Body>
hostsim::DrawRecord game_frame(Body body) {
    hostsim::World& world = game().world();
    world.begin_frame();
    game().pass_game_time(0);  // publishes the frame's game timer to the image, as a frame does
    {
        host::FrameScope frame;
        body();
    }
    world.end_frame();
    return world.last_frame_draws();
}

// A frame in which `scan_code` is pressed.
template <typename Body>
hostsim::DrawRecord game_frame_pressing(std::uint8_t scan_code, Body body) {
    game().press_key(scan_code);
    return game_frame(body);
}

using hostsim::texts_of;

}  // namespace corvalen::test
