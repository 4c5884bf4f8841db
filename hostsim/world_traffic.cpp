// Traffic: drivers the game puts into vehicles and the orders they follow.
// A vehicle ordered to a point drives straight at it, brakes in time and
// comes to rest within the order's range; a wandering one keeps its heading.
// A blocked vehicle stands still unless its order pushes through.

#include <algorithm>
#include <cmath>

#include "hostsim/world.h"

namespace hostsim {
namespace {

constexpr float kAcceleration = 4.0f;  // metres per second, each second
constexpr float kBraking = 4.0f;
constexpr float kRadiansToDegrees = 57.2957795f;
constexpr std::int32_t kDriverHealth = 100;

std::string handle_text(std::int32_t handle) {
    return hex(static_cast<std::uint32_t>(handle));
}

}  // namespace

Character* World::create_driver(std::int32_t vehicle_handle) {
    Vehicle* car = vehicle(vehicle_handle);
    if (car == nullptr || car->driver != 0)
        return nullptr;
    Character& driver = add_character(kDriverModel, car->object.position(), car->object.heading());
    driver.placed = true;
    driver.health = kDriverHealth;
    driver.vehicle = vehicle_handle;
    driver.seat = kDriverSeat;
    car->driver = driver.handle;
    note("driver " + handle_text(driver.handle) + " created in vehicle " +
         handle_text(vehicle_handle));
    return &driver;
}

void World::order_drive(Vehicle& car, const DriveOrder& order) {
    car.order = order;
    car.order.at_rest = false;
    std::string what =
        order.kind == DriveOrder::Kind::wander
            ? "to wander"
            : "to drive to " + format_point(order.target) + " within " + format_float(order.range);
    note("vehicle " + handle_text(car.handle) + " ordered " + what + " at " +
         format_float(order.speed) + ", style " + std::to_string(order.style));
}

void World::cancel_drive(Vehicle& car) {
    car.order = DriveOrder{};
}

void World::set_blocked(std::int32_t vehicle_handle, bool blocked) {
    if (Vehicle* car = vehicle(vehicle_handle)) {
        car->blocked = blocked;
        note("vehicle " + handle_text(vehicle_handle) + (blocked ? " blocked" : " free again"));
    }
}

void World::bring_to_rest(Vehicle& car) {
    car.parts.speed = 0.0f;
    if (car.order.at_rest)
        return;
    car.order.at_rest = true;
    ++traffic_.arrivals;
    note("vehicle " + handle_text(car.handle) + " at rest at " +
         format_point(car.object.position()));
}

void World::drive_traffic() {
    float seconds = static_cast<float>(settings_.frame_ms) / 1000.0f;
    for (auto& [handle, car] : vehicles_) {
        const Character* driver = character(car.driver);
        bool driven = car.order.kind != DriveOrder::Kind::none && driver != nullptr &&
                      !driver->dead && driver->handle != player_character_;
        if (!driven || (car.blocked && car.order.style != kPushThroughStyle)) {
            if (driver == nullptr || driver->handle != player_character_)
                car.parts.speed = 0.0f;
            continue;
        }
        Vec3 at = car.object.position();
        float wanted = car.order.speed;
        float left = 0.0f;
        if (car.order.kind == DriveOrder::Kind::to_point) {
            Vec3 target = car.order.target;
            left = horizontal_distance(at, target) - car.order.range;
            if (left <= 0.0f) {
                bring_to_rest(car);
                continue;
            }
            // Slow enough to stop in what is left of the way.
            wanted = std::min(wanted, std::sqrt(2.0f * kBraking * left));
            car.object.set_heading(std::atan2(-(target.x - at.x), target.y - at.y) *
                                   kRadiansToDegrees);
        }
        car.parts.speed = std::min(wanted, car.parts.speed + kAcceleration * seconds);
        float step = car.parts.speed * seconds;
        if (car.order.kind == DriveOrder::Kind::to_point && step >= left) {
            step = left;
        }
        const float* m = car.object.matrix();
        car.object.set_position({at.x + step * m[4], at.y + step * m[5], at.z});
        if (car.order.kind == DriveOrder::Kind::to_point && step == left)
            bring_to_rest(car);
    }
}

}  // namespace hostsim
