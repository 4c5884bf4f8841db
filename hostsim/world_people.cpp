// People on foot. Those about the streets stand where the scenario puts them
// and a script can hand them orders: told to board a vehicle, one walks to it
// and takes the seat if he gets there in time and the seat is still free
// (someone too far off, too slow or standing still never makes it); told to
// leave, one gets out a moment later; told to wander, he walks off. Group
// members walk after their leader; some die or wander off on their own.

#include <algorithm>
#include <cmath>
#include <limits>

#include "hostsim/world.h"

namespace hostsim {
namespace {

// A boarder gets in once this close to the vehicle.
constexpr float kBoardingReach = 3.0f;
// The player runs to a vehicle he boards.
constexpr float kPlayerRunSpeed = 4.0f;
// Getting out of a vehicle takes a moment, during which the seat is still
// taken.
constexpr std::uint32_t kGettingOutMs = 1000;
constexpr float kRadiansToDegrees = 57.2957795f;
constexpr float kSpawnPointOffset = 2.0f;  // beside the point asked about
constexpr float kStandingHeight = 1.0f;    // above the ground, as the player stands
constexpr float kFollowDistance = 2.0f;    // a follower stops this close to his leader
constexpr float kFollowSpeed = 7.0f;       // metres per second: he keeps up with a runner

std::string name_of(std::int32_t handle) {
    return "character " + hex(static_cast<std::uint32_t>(handle));
}

std::string vehicle_name(std::int32_t handle) {
    return "vehicle " + hex(static_cast<std::uint32_t>(handle));
}

}  // namespace

Character& World::add_pedestrian(Vec3 position, float heading, float walk_speed) {
    Character& person = add_character(kPedestrianModel, position, heading);
    person.placed = true;
    person.pedestrian = true;
    person.walk_speed = walk_speed;
    return person;
}

std::int32_t World::find_pedestrian_near(Vec3 point, float radius) const {
    std::int32_t best = 0;
    float best_distance = std::numeric_limits<float>::infinity();
    for (const auto& [handle, person] : characters_) {
        bool free = handle != player_character_ && person.vehicle == 0 && !person.dead &&
                    !person.claimed && person.enter.vehicle == 0 && !person.wandering;
        if (!free)
            continue;
        float d = distance(point, person.object.position());
        if (d <= radius && d < best_distance) {
            best = handle;
            best_distance = d;
        }
    }
    return best;
}

void World::order_enter(Character& person, std::int32_t vehicle_handle, std::int32_t seat,
                        std::int32_t time_limit) {
    person.enter.vehicle = vehicle_handle;
    person.enter.seat = seat;
    person.enter.time_limited = time_limit >= 0;
    person.enter.deadline =
        game_timer_ + static_cast<std::uint32_t>(time_limit >= 0 ? time_limit : 0);
    person.wandering = false;
    if (person.handle == player_character_)
        walk_target_.reset();
    note(name_of(person.handle) + " told to board " + vehicle_name(vehicle_handle) +
         (seat == kAnyPassengerSeat ? ", any seat" : ", seat " + std::to_string(seat)) +
         (time_limit >= 0 ? " within " + std::to_string(time_limit) + " ms" : ""));
}

void World::order_leave(Character& person) {
    if (person.vehicle == 0 || person.getting_out)
        return;
    person.getting_out = true;
    person.out_at = game_timer_ + kGettingOutMs;
    note(name_of(person.handle) + " told to leave " + vehicle_name(person.vehicle));
}

void World::order_wander(Character& person) {
    person.wandering = true;
    person.enter = EnterOrder{};
    note(name_of(person.handle) + " wanders about");
}

void World::say(std::int32_t character_handle, const std::string& line) {
    speeches_.push_back({frame_, character_handle, line});
    note(name_of(character_handle) + " says " + line);
}

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
    note(name_of(handle) + " died");
}

void World::send_wandering(std::int32_t handle) {
    Character* person = character(handle);
    if (person == nullptr || handle == player_character_)
        return;
    leave_groups(handle);
    person->wandering = true;
    note(name_of(handle) + " wanders off");
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
    for (auto& [handle, person] : characters_) {
        if (person.getting_out && static_cast<std::int32_t>(game_timer_ - person.out_at) >= 0) {
            person.getting_out = false;
            leave_vehicle(handle);
        }
        if (person.enter.vehicle != 0)
            follow_enter_order(person, seconds);
    }

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
        if (!person.wandering || person.dead || person.vehicle != 0 || person.getting_out)
            continue;
        float step = person.walk_speed * seconds;
        const float* m = person.object.matrix();
        Vec3 at = person.object.position();
        person.object.set_position({at.x + step * m[4], at.y + step * m[5], at.z});
    }
}

void World::follow_enter_order(Character& person, float seconds) {
    EnterOrder order = person.enter;
    Vehicle* car = vehicle(order.vehicle);
    if (car == nullptr || person.dead) {
        person.enter = EnterOrder{};
        note(name_of(person.handle) + " cannot board: " + vehicle_name(order.vehicle) + " is gone");
        return;
    }
    if (person.vehicle == order.vehicle) {
        person.enter = EnterOrder{};
        return;
    }
    if (order.time_limited && static_cast<std::int32_t>(game_timer_ - order.deadline) > 0) {
        person.enter = EnterOrder{};
        note(name_of(person.handle) + " did not reach " + vehicle_name(order.vehicle) + " in time");
        return;
    }
    if (person.vehicle != 0)
        leave_vehicle(person.handle);

    Vec3 from = person.object.position();
    Vec3 to = car->object.position();
    float left = horizontal_distance(from, to) - kBoardingReach;
    float speed = person.handle == player_character_ ? kPlayerRunSpeed : person.walk_speed;
    float step = speed * seconds;
    // Whoever can cover what is left this frame is there: creeping up on
    // the reach in ever smaller steps would never quite arrive.
    if (left > step) {
        if (step > 0.0f) {
            float f = step / (left + kBoardingReach);
            person.object.set_position(
                {from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f, from.z});
            person.object.set_heading(std::atan2(-(to.x - from.x), to.y - from.y) *
                                      kRadiansToDegrees);
        }
        return;
    }

    std::int32_t seat = kAnyPassengerSeat;
    if (order.seat == kAnyPassengerSeat) {
        for (std::size_t i = 0; i < car->passengers.size(); ++i) {
            if (car->passengers[i] == 0) {
                seat = static_cast<std::int32_t>(i);
                break;
            }
        }
    } else if (static_cast<std::size_t>(order.seat) < car->passengers.size() &&
               car->passengers[static_cast<std::size_t>(order.seat)] == 0) {
        seat = order.seat;
    }
    person.enter = EnterOrder{};
    if (seat == kAnyPassengerSeat) {
        note(name_of(person.handle) + " found no free seat in " + vehicle_name(order.vehicle));
        return;
    }
    enter_vehicle(person.handle, order.vehicle, seat);
}

}  // namespace hostsim
