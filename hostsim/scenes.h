#pragma once
// Prepared games for the demo and the end-to-end tests. A scene sets the
// world up before the plug-in loads (and puts beside the game the data files
// a modder would have written for it), then plays the player's part: keys,
// driving and walking, frame by frame.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace hostsim {

class Host;

struct SceneStep {
    std::uint32_t frame;  // before this frame; 0: before the plug-in loads
    std::function<void(Host&)> act;
};

// The steps of a scene by name; none for a name no scene has.
std::optional<std::vector<SceneStep>> scene_steps(const std::string& name);

}  // namespace hostsim
