#pragma once
// The driver mission as a player plays it (scenes.h).

#include <vector>

#include "hostsim/scenes.h"

namespace hostsim {

// The player sits at the wheel of a bus at the stop A on Harbour Road, in a
// bus network A -> B -> C along the road, with people waiting at B and C;
// he presses B and drives to B, waits while people board, and drives on. With
// two stops he also stops at C and gets out once C's fares are paid; with
// one he gets out soon after B's fares are paid.
std::vector<SceneStep> driver_mission_scene(int stops);

}  // namespace hostsim
