// The fleet of a transit service: vehicles appear at the network's points in
// a ring around the player, one vehicle is looked after per frame, and those
// that are gone, broken or left far behind are removed.

#include <algorithm>
#include <optional>

#include "core/game_timer.h"
#include "core/host_distance.h"
#include "core/player.h"
#include "transit/transit_service.h"

namespace corvalen {
namespace {

// The ring widens by these while the player is in a vehicle or his standing
// trims traffic (at this level).
constexpr float kWiderRingNear = 80.0f;
constexpr float kWiderRingFar = 30.0f;
constexpr std::int32_t kWiderRingLevel = 2;
// The spot around a new vehicle that the host clears first.
constexpr float kClearedRadius = 7.0f;
// How the vehicle factory creates traffic.
constexpr std::int32_t kTrafficKind = 2;

host::Handle player_standing() {
    return host::cash_player(host::player_index());
}

// Whether point a was used for spawning less recently than point b, for two
// points that may spawn now. Points not used since the last load or reset
// come first, in the order of their loaded spread; the others by how long ago
// they were used, which stays right when the timer wraps.
bool spawned_earlier(const RoutePoint& a, const RoutePoint& b, std::uint32_t now) {
    if (a.spawned != b.spawned)
        return !a.spawned;
    if (!a.spawned)
        return a.last_spawn < b.last_spawn;
    return elapsed_since(a.last_spawn, now) > elapsed_since(b.last_spawn, now);
}

}  // namespace

void TransitService::update_fleet() {
    std::uint32_t now = host::game_timer();
    if (passed(now, next_spawn_time))
        spawn_around_player(now);
    update_next_vehicle();
    update_mission();
}

void TransitService::spawn_around_player(std::uint32_t now) {
    std::int32_t cap = max_vehicles;
    if (host::player_wanted_above(player_standing(), reduced_cap_arg) && reduced_cap < cap)
        cap = reduced_cap;
    // At (or, after the cap was lowered, above) the cap the attempt repeats
    // every frame, so the first frame after a removal can spawn.
    if (static_cast<std::int64_t>(vehicles.size()) >= cap)
        return;
    next_spawn_time = after(now, spawn_delay);

    if (host::character_in_interior(player_character()) && player_not_driving())
        return;
    std::optional<host::Vec3> player = player_position();
    if (!player)
        return;
    std::int32_t chosen = choose_spawn_point(now, *player);
    if (chosen < 0)
        return;
    RoutePoint& point = points[static_cast<std::size_t>(chosen)];
    host::Matrix transform;
    transform.rows[3][0] = point.x;
    transform.rows[3][1] = point.y;
    transform.rows[3][2] = point.z;
    transform.rows[3][3] = 1.0f;
    spawn_vehicle(transform, point.heading);
    point.last_spawn = now;
    point.spawned = true;
}

std::int32_t TransitService::choose_spawn_point(std::uint32_t now, host::Vec3 player) const {
    auto nearest = static_cast<float>(spawn_min_distance);
    auto farthest = static_cast<float>(spawn_max_distance);
    if (host::character_in_any_vehicle(player_character()) ||
        host::player_wanted_above(player_standing(), kWiderRingLevel)) {
        nearest += kWiderRingNear;
        farthest += kWiderRingFar;
    }
    // A vehicle born beyond the keep-alive distance would be removed at once.
    farthest = std::min(farthest, static_cast<float>(search_extent));

    // The square around the ring, a little wider than the margin of the
    // host's distances: a point beyond it is out of the ring by any answer.
    double reach = static_cast<double>(farthest) * (1.0 + 1e-3) + 1.0;
    std::int32_t chosen = -1;
    for (std::int32_t i : point_grid().around(player.x, player.y, reach)) {
        const RoutePoint& point = points[static_cast<std::size_t>(i)];
        if (is_water && !point.is(RoutePointType::SpawnSpot))
            continue;
        if (point.spawned &&
            elapsed_since(point.last_spawn, now) < static_cast<std::uint32_t>(spot_cooldown))
            continue;
        auto distance = [&] { return host::distance_2d(player.x, player.y, point.x, point.y); };
        if (!distance_between(horizontal_distance_range(player.x, player.y, point.x, point.y),
                              nearest, farthest, distance))
            continue;
        if (occupied(point))
            continue;
        if (chosen < 0 || spawned_earlier(point, points[static_cast<std::size_t>(chosen)], now))
            chosen = i;
    }
    return chosen;
}

bool TransitService::occupied(const RoutePoint& point) const {
    for (const ServiceVehicle& record : vehicles) {
        // A vehicle the host has taken away occupies nothing; the keep-alive
        // test removes its record when its turn comes.
        if (!host::vehicle_exists(record.vehicle))
            continue;
        host::Vec3 at = host::vehicle_position(record.vehicle);
        auto distance = [&] { return host::distance_2d(at.x, at.y, point.x, point.y); };
        if (distance_at_most(horizontal_distance_range(at.x, at.y, point.x, point.y),
                             static_cast<float>(occupied_radius), distance))
            return true;
    }
    return false;
}

bool TransitService::spawn_vehicle(const host::Matrix& transform, float heading) {
    if (!host::can_create_vehicles())
        return false;
    std::uint32_t model = kBusModel;
    if (!models.empty()) {
        auto last = static_cast<std::int32_t>(models.size()) - 1;
        model = models[static_cast<std::size_t>(roll(spawn_dice, 0, last))];
    }
    std::int32_t model_index = host::load_model_now(model);
    // A model the host does not have: nothing to place, nothing to create.
    if (model_index < 0)
        return false;

    host::Matrix placed = transform;
    host::Vec3 at = transform.position();
    if (is_water) {
        at.z = 0.0f;
    } else {
        float ground = host::ground_height(at);
        at.z = (ground == 0.0f ? at.z : ground) + 1.0f;
    }
    placed.rows[3][2] = at.z;
    host::clear_area(at, kClearedRadius);

    std::uint32_t object = host::create_vehicle_object(model_index, kTrafficKind, placed);
    host::Handle vehicle = object != 0 ? host::vehicle_handle_of(object) : 0;
    if (object == 0 || vehicle == 0 || !host::vehicle_exists(vehicle))
        return false;
    host::claim_vehicle(vehicle);
    host::finish_object_creation(object);
    host::set_vehicle_heading(vehicle, heading);
    host::settle_vehicle_on_ground(vehicle);
    vehicles.emplace_back(*this, vehicle, object, nearest_point(at.x, at.y), false);
    return true;
}

void TransitService::update_next_vehicle() {
    if (update_cursor < 0 || static_cast<std::size_t>(update_cursor) >= vehicles.size())
        update_cursor = 0;
    if (vehicles.empty())
        return;
    std::optional<host::Vec3> player = player_position();
    if (!player)
        return;
    auto at = vehicles.begin() + update_cursor;
    if (keep_alive(*at, *player)) {
        at->update();
        ++update_cursor;
    } else {
        // The cursor stays: the next vehicle moves into this place.
        at->remove();
        vehicles.erase(at);
    }
}

bool TransitService::keep_alive(ServiceVehicle& record, host::Vec3 player) const {
    if (static_cast<std::int32_t>(record.driver) <= 0 ||
        static_cast<std::int32_t>(record.vehicle) <= 0)
        return false;
    if (!host::vehicle_exists(record.vehicle) || !host::character_exists(record.driver) ||
        host::character_dead(record.driver) ||
        host::vehicle_damaged_by(record.vehicle, player_character()) ||
        host::vehicle_health(record.vehicle) == 0 || host::character_health(record.driver) <= 50)
        return false;
    host::Vec3 at = host::vehicle_position(record.vehicle);
    record.player_distance = host::distance_2d(player.x, player.y, at.x, at.y);
    return record.player_distance <= static_cast<float>(search_extent);
}

}  // namespace corvalen
