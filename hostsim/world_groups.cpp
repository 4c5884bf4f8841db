// Groups of characters that a script keeps together.

#include "hostsim/world.h"

namespace hostsim {

std::int32_t World::create_group() {
    std::int32_t handle = next_group_++;
    groups_[handle].handle = handle;
    note("group " + hex(static_cast<std::uint32_t>(handle)) + " created");
    return handle;
}

Group* World::group(std::int32_t handle) {
    if (handle == kPlayerGroup)
        return &player_group_;
    return entry_of(groups_, handle);
}

bool World::release_group(std::int32_t handle) {
    if (groups_.erase(handle) == 0)
        return false;
    note("group " + hex(static_cast<std::uint32_t>(handle)) + " released");
    return true;
}

}  // namespace hostsim
