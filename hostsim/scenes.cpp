#include "hostsim/scenes.h"

#include "hostsim/scene_driver_mission.h"

namespace hostsim {

std::optional<std::vector<SceneStep>> scene_steps(const std::string& name) {
    if (name == "driver-mission")
        return driver_mission_scene(2);
    if (name == "short-driver-mission")
        return driver_mission_scene(1);
    return std::nullopt;
}

}  // namespace hostsim
