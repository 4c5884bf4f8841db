// People on foot: where a pedestrian may appear, group members who walk after
// their leader, and those who die or wander off.

#include <algorithm>
#include <cmath>

#include "hostsim/world.h"

namespace hostsim {
namespace {

constexpr float kSpawnPointOffset = 2.0f;  // beside the point asked about
constexpr float kStandingHeight = 1.0f;    // above the ground, as the player stands
constexpr float kFollowDistance = 2.0f;    // a follower stops this close to his leader
constexpr float kFollowSpeed = 7.0f;       // metres per second: he keeps up with a runner
constexpr float kWanderSpeed = 1.5f;
constexpr float kDegreesToRadians = 0.0174532925f;

std::string handle_text(std::int32_t handle) {
    return hex(static_cast<std::uint32_t>(handle));
}

}  // namespace

const std::vector<std::uint32_t>& pedestrian_models() {
    static const std::vector<std::uint32_t> kModels = {
        kDriverModel, 0x5B404032, 0x2924DBD8, 0xDA0E92D1, 0x976C0D95, 0x1B0DCC86,
    };
    return kModels;
}

std::optional<Vec3> World::spawn_point_near(Vec3 point) const {
    Vec3 spot{point.x + kSpawnPointOffset, point.y, 0.0f};
    float ground = ground_height(spot);
    if (ground <= 0.0f)
        return std::nullopt;  // open water: no pavement
    spot.z = ground + kStandingHeight;
    return spot;
}

void World::kill_character(std::int32_t handle) {
    Character* person = character(handle);
    if (person == nullptr || handle == player_character_)
        return;
    person->dead = true;
    person->health = 0;
    note("character " + handle_text(handle) + " died");
}

void World::send_wandering(std::int32_t handle) {
    Character* person = character(handle);
    if (person == nullptr || handle == player_character_)
        return;
    leave_groups(handle);
    person->wandering = true;
    note("character " + handle_text(handle) + " wanders off");
}

void World::leave_groups(std::int32_t handle) {
    for (auto& [id, group] : groups_)
        std::erase(group.members, handle);
    std::erase(player_group_.members, handle);
}

bool World::character_left(std::int32_t character_handle, std::int32_t other) const {
    const Character* person = character(character_handle);
    const Character* leader = character(other);
    if (person == nullptr || leader == nullptr)
        return true;
    auto keeps_to = [&](const Group& group) {
        if (group.leader != other)
            return false;
        if (std::find(group.members.begin(), group.members.end(), character_handle) ==
            group.members.end()) {
            return false;
        }
        return group.separation <= 0.0f ||
               distance(person->object.position(), leader->object.position()) <= group.separation;
    };
    if (keeps_to(player_group_))
        return false;
    return std::none_of(groups_.begin(), groups_.end(),
                        [&](const auto& entry) { return keeps_to(entry.second); });
}

void World::move_people() {
    float seconds = static_cast<float>(settings_.frame_ms) / 1000.0f;
    auto follow = [&](const Group& group) {
        const Character* leader = character(group.leader);
        if (leader == nullptr)
            return;
        Vec3 to = leader->object.position();
        for (std::int32_t member : group.members) {
            Character* person = character(member);
            if (person == nullptr || member == group.leader || person->dead || person->wandering ||
                person->vehicle != 0) {
                continue;
            }
            Vec3 from = person->object.position();
            float gap = distance(from, to) - kFollowDistance;
            if (gap <= 0.0f)
                continue;
            float step = std::min(gap, kFollowSpeed * seconds) / (gap + kFollowDistance);
            person->object.set_position({from.x + (to.x - from.x) * step,
                                         from.y + (to.y - from.y) * step,
                                         from.z + (to.z - from.z) * step});
        }
    };
    follow(player_group_);
    for (const auto& [handle, group] : groups_)
        follow(group);

    for (auto& [handle, person] : characters_) {
        if (!person.wandering || person.dead || person.vehicle != 0)
            continue;
        float heading = person.object.heading() * kDegreesToRadians;
        Vec3 from = person.object.position();
        float step = kWanderSpeed * seconds;
        person.object.set_position(
            {from.x - std::sin(heading) * step, from.y + std::cos(heading) * step, from.z});
    }
}

}  // namespace hostsim
