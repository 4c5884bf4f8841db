#include "transit/service_vehicle.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "core/game_timer.h"
#include "core/geometry.h"
#include "core/player.h"
#include "transit/transit_service.h"

namespace corvalen {
namespace {

// Drivers start with a little money of their own.
constexpr std::int32_t kMostDriverMoney = 40;
// The driving style that makes a stuck driver find his way out.
constexpr std::int32_t kUnstickStyle = 2;
// Drive-to-point approach that reaches the point backwards.
constexpr std::int32_t kBackwardsApproach = 2;
// How a vehicle's blip shows while the editor shows the points.
constexpr std::int32_t kVehicleBlipDisplay = 2;
// Doors shut at every departure.
constexpr std::int32_t kDoorCount = 6;
// Capture: a candidate must face the vehicle's way, lie ahead of it, and
// stand within this height; vehicles in service for a while look farther.
constexpr float kCaptureSearchAngle = 50.0f;
constexpr float kCaptureFacingAngle = 35.0f;
constexpr float kCaptureAheadAngle = 45.0f;
constexpr float kCaptureHeight = 5.0f;
constexpr std::uint32_t kLongServiceAge = 60000;
constexpr std::int32_t kLongServiceCaptureRadius = 80;
// Points the vehicle left that capture still passes over.
constexpr std::size_t kRecentPoints = 3;
// The player's standing at which stuck vehicles are checked more often.
constexpr std::int32_t kNearStuckLevel = 3;

bool live(host::Handle handle) {
    return static_cast<std::int32_t>(handle) >= 0;
}

// Compass bearing in degrees (the host's headings: counter-clockwise from
// north) from one position to another; 0 when they coincide.
float bearing(host::Vec3 from, host::Vec3 to) {
    if (from.x == to.x && from.y == to.y)
        return 0.0f;
    float degrees = std::atan2(from.x - to.x, to.y - from.y) * 180.0f / std::numbers::pi_v<float>;
    return degrees < 0.0f ? degrees + 360.0f : degrees;
}

}  // namespace

ServiceVehicle::ServiceVehicle(TransitService& owner, host::Handle vehicle_handle,
                               std::uint32_t object, std::int32_t start_point,
                               bool driven_by_player)
    : vehicle(vehicle_handle),
      vehicle_object(object),
      player_driven(driven_by_player),
      service(&owner) {
    // The history never holds more than this; its room is made once, not in
    // the frames the vehicle leaves its first stops.
    history.reserve(kRecentPoints + 2);
    spawn_time = host::game_timer();
    std::optional<host::Matrix> transform = host::object_matrix(object);
    if (transform) {
        host::Vec3 at = transform->position();
        spawn_x = whole_metres(at.x);
        spawn_y = whole_metres(at.y);
        spawn_z = whole_metres(at.z);
    }
    group = host::create_group();

    if (player_driven) {
        driver = player_character();
    } else if (host::vehicle_exists(vehicle) && host::can_create_vehicles()) {
        driver = host::create_driver(vehicle);
        if (host::character_exists(driver)) {
            host::claim_character(driver);
            host::add_to_group(group, driver);
            revenue = roll(service->driver_dice, 0, kMostDriverMoney);
            host::set_character_money(driver, revenue);
            drive();
        }
    }

    // The player's own bus needs no mark (the map shows the player), and it
    // may be one of the game's, whose blip a load would leave on it after
    // the mod had to forget it.
    if (service->show_points && !player_driven) {
        blip = host::add_vehicle_blip(vehicle);
        if (blip != kNoHandle)
            host::set_blip_display(blip, kVehicleBlipDisplay);
    }
    host::set_up_group(group);
    speed = service->cruise_speed;
    depart_time = 0;
    host::set_engine_running(vehicle, true);

    if (service->valid_point(start_point)) {
        const RoutePoint& start = service->points[static_cast<std::size_t>(start_point)];
        if (start.has_full_link())
            set_target(service->next_point(start_point));
    }
    if (transform)
        last_transform = *transform;
}

bool ServiceVehicle::valid_point(std::int32_t index) const {
    return service->valid_point(index);
}

host::Vec3 ServiceVehicle::position() const {
    return host::vehicle_position(vehicle);
}

RoutePoint ServiceVehicle::target_point() const {
    std::int32_t index = target >= 0 ? target : last_target;
    if (valid_point(index))
        return service->points[static_cast<std::size_t>(index)];
    RoutePoint nowhere;
    nowhere.type = 5;  // passed through like a way point
    return nowhere;
}

void ServiceVehicle::set_target(std::int32_t index) {
    if (!valid_point(index)) {
        wandering = true;
        return;
    }
    wandering = false;
    last_target = index;
    target = index;
    drive();
}

void ServiceVehicle::drive() {
    if (player_driven) {
        leave_point();
        move_route_blip();
        return;
    }
    // A target that no longer designates a point (the network was edited or
    // reloaded since) sends the vehicle wandering rather than to the origin.
    if (!wandering && !valid_point(target))
        wandering = true;

    if (host::character_in_this_vehicle(player_character(), vehicle)) {
        speed = service->boarded_speed;
        style = service->boarded_style;
    } else {
        speed = service->cruise_speed;
        style = service->normal_style;
    }
    // Also while wandering: the point last aimed at still decides.
    if (service->is_water && target_point().is(RoutePointType::BusStop))
        speed = service->stop_speed;
    if (stuck)
        style = kUnstickStyle;

    if (!host::character_claimed(driver))
        host::claim_character(driver);
    host::clear_character_orders(driver);
    host::clear_character_reactions(driver);
    host::set_character_keeps_orders(driver, false);
    leave_point();
    if (wandering) {
        host::order_wander(driver, vehicle, speed, style);
    } else {
        RoutePoint point = target_point();
        host::order_drive_to(driver, vehicle, point.position(), speed,
                             point.backwards ? kBackwardsApproach : 0, style, service->stop_range);
    }
    host::set_vehicle_in_service(vehicle, true);
    host::set_character_keeps_orders(driver, true);
}

void ServiceVehicle::leave_point() {
    at_point = false;
    // A dwell cut short (the rider's fare paid, its stop deleted or reloaded
    // away) must not hold the vehicle at the next way or capture point, where
    // arrival sets no departure time of its own.
    depart_time = 0;
}

void ServiceVehicle::update() {
    if (!started) {
        started = true;
        return;
    }
    std::uint32_t now = host::game_timer();
    // Departure time 0 is "at once", whatever the timer reads.
    if (at_point && (depart_time == 0 || passed(now, depart_time)))
        depart();
    if (wandering) {
        // Drawn before the capture: a stop taken now shows from the next frame.
        if (player_driven)
            draw_mission_prompt(0.0f);
        capture(now);
    } else {
        approach(now);
    }
    check_fares();
    check_stuck(now);
}

void ServiceVehicle::depart() {
    // A vehicle that never had a target departs as if from the first point.
    std::int32_t from = target >= 0 ? target : last_target;
    history.push_back(from);
    // Capture drops the oldest before it looks; more is never looked at.
    if (history.size() > kRecentPoints + 1)
        history.erase(history.begin());
    std::int32_t next = service->next_point(from);
    if (next >= 0) {
        set_target(next);
    } else {
        wandering = true;
        drive();
    }
    host::close_vehicle_doors(vehicle);
    for (std::int32_t door = 0; door < kDoorCount; ++door)
        host::shut_door(vehicle, door);
}

void ServiceVehicle::approach(std::uint32_t now) {
    if (!valid_point(target)) {
        wandering = true;
        drive();
        return;
    }
    const RoutePoint& point = service->points[static_cast<std::size_t>(target)];
    bool stop = point.is(RoutePointType::BusStop);
    bool halted = host::vehicle_speed(vehicle) < service->halted_speed || !stop;
    host::Vec3 at = position();
    float distance = host::distance_2d(at.x, at.y, point.x, point.y);
    if (distance < static_cast<float>(service->arrival_distance) && halted && !at_point) {
        at_point = true;
        if (stop) {
            depart_time = after(now, service->dwell_base);
            latest_depart_time = after(now, seats() * service->dwell_base);
            exchange_passengers();
        }
    } else if (player_driven) {
        draw_mission_prompt(distance);
    }
}

void ServiceVehicle::capture(std::uint32_t now) {
    if (!service->capture_enabled)
        return;
    if (next_capture_check != 0 && !reached(now, next_capture_check))
        return;
    std::int32_t radius = elapsed_since(spawn_time, now) > kLongServiceAge
                              ? kLongServiceCaptureRadius
                              : capture_radius;
    float heading = host::vehicle_heading(vehicle);
    if (history.size() > kRecentPoints)
        history.erase(history.begin());

    host::Vec3 at = position();
    float distance = 0.0f;
    std::int32_t candidate =
        service->nearest_capturable(at, heading, kCaptureSearchAngle, history, &distance);
    if (candidate < 0)
        return;
    const RoutePoint& point = service->points[static_cast<std::size_t>(candidate)];
    if (!(std::fabs(at.z - point.z) <= kCaptureHeight))
        return;
    bool ahead =
        std::fabs(heading_difference(heading, bearing(at, point.position()))) < kCaptureAheadAngle;
    if (distance < static_cast<float>(radius) &&
        std::fabs(heading_difference(heading, point.heading)) < kCaptureFacingAngle &&
        candidate != target && ahead) {
        set_target(candidate);
    }
    next_capture_check = after(now, capture_interval);
}

void ServiceVehicle::check_stuck(std::uint32_t now) {
    if (at_point)
        return;
    if (next_stuck_check != 0 && !reached(now, next_stuck_check))
        return;
    stuck = false;
    std::optional<host::Matrix> transform = host::object_matrix(host::vehicle_object(vehicle));
    if (!transform)
        return;
    host::Vec3 here = transform->position();
    host::Vec3 before = last_transform.position();
    if (host::distance_2d(here.x, here.y, before.x, before.y) <
            static_cast<float>(stuck_distance) &&
        next_stuck_check != 0) {
        stuck = true;
        drive();
    }
    last_transform = *transform;
    bool near = host::player_wanted_above(host::cash_player(host::player_index()), kNearStuckLevel);
    next_stuck_check = after(now, near ? stuck_interval_near : stuck_interval_far);
}

void ServiceVehicle::remove() {
    // The driver mission's vehicle and driver are the player's own.
    if (!player_driven) {
        if (live(driver) && host::character_exists(driver))
            host::release_character(driver);
        if (live(vehicle) && host::vehicle_exists(vehicle))
            host::release_vehicle(vehicle);
    }
    driver = kNoHandle;
    vehicle = kNoHandle;
    vehicle_object = 0;
    if (blip != kNoHandle) {
        host::remove_blip(blip);
        blip = kNoHandle;
    }
    if (group != kNoHandle) {
        host::release_group(group);
        group = kNoHandle;
    }
}

}  // namespace corvalen
