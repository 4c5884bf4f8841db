#pragma once
// The game objects the plug-in can reach: characters (the player among them)
// and vehicles. Each is backed by a block of memory laid out like the game's
// object, so the plug-in can read its matrix through the word at +0x20.

#include <cstdint>
#include <memory>
#include <vector>

#include "hostsim/vehicle_parts.h"

namespace hostsim {

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

float distance(Vec3 a, Vec3 b);
float horizontal_distance(Vec3 a, Vec3 b);

// The seat of a vehicle's driver; passenger seats count from 0.
inline constexpr std::int32_t kDriverSeat = -1;

class EntityObject {
  public:
    explicit EntityObject(std::uint32_t size);

    std::uint32_t address() const;
    std::uint32_t size() const { return size_; }
    // A byte of the object that the game keeps there for the plug-in to read.
    void set_byte(std::uint32_t offset, std::uint8_t value);
    std::uint8_t* bytes() const { return bytes_.get(); }

    Vec3 position() const;
    void set_position(Vec3 position);
    // Degrees, counter-clockwise from north (+y); rewrites the rotation rows.
    float heading() const { return heading_; }
    void set_heading(float degrees);
    // Also keeps the heading as a float at this offset of the object.
    void keep_heading_at(std::uint32_t offset);
    // Takes position and heading from a 4x4 matrix given by the plug-in.
    void set_from_matrix(const float* matrix);
    const float* matrix() const;

  private:
    float* matrix_storage() const;

    std::uint32_t size_;
    std::unique_ptr<std::uint8_t[]> bytes_;
    float heading_ = 0.0f;
    std::uint32_t heading_field_ = 0;  // 0: none
};

// An order to walk to a vehicle and get in (people, the player too).
struct EnterOrder {
    std::int32_t vehicle = 0;  // 0: no order
    std::int32_t seat = 0;     // kAnyPassengerSeat: the first free one
    bool time_limited = false;
    std::uint32_t deadline = 0;  // game timer
};
inline constexpr std::int32_t kAnyPassengerSeat = -1;

struct Character {
    Character(std::int32_t handle, std::uint32_t model);

    std::int32_t handle;
    std::uint32_t model;
    EntityObject object;
    std::int32_t vehicle = 0;  // 0 on foot
    std::int32_t seat = kDriverSeat;
    bool placed = false;  // the after-creation step has run
    std::int32_t health = 200;
    bool dead = false;
    bool indoors = false;
    std::int32_t money = 0;
    bool claimed = false;       // kept for a script; the game does not take him away
    bool keeps_orders = false;  // events do not interrupt his orders
    // One of the people about the streets: released by a script, he goes
    // back to the crowd instead of being taken away.
    bool pedestrian = false;
    float walk_speed = 1.5f;  // metres per second; 0 for someone who never moves
    EnterOrder enter;
    bool getting_out = false;  // told to leave his vehicle; out at `out_at`
    std::uint32_t out_at = 0;
    bool wandering = false;  // walks off along his heading, keeping to nobody
    bool injured = false;    // hurt too badly to do anything but lie there
    std::int32_t armour = 0;
    std::int32_t behaviour = 0;
};

// What a vehicle's driver was told to do.
struct DriveOrder {
    enum class Kind { none, to_point, wander };
    Kind kind = Kind::none;
    Vec3 target;
    float speed = 0.0f;  // metres per second
    std::int32_t style = 0;
    std::int32_t approach = 0;
    float range = 0.0f;    // comes to rest this close to the target
    bool at_rest = false;  // reached its target and stopped
};

// The driving style that goes around whatever blocks the way.
inline constexpr std::int32_t kPushThroughStyle = 2;

struct Vehicle {
    Vehicle(std::int32_t handle, std::uint32_t model, int passenger_seats);

    std::int32_t handle;
    std::uint32_t model;
    EntityObject object;
    std::int32_t driver = 0;
    std::vector<std::int32_t> passengers;  // one per passenger seat, 0 when free
    bool from_world_start = false;         // parked there when the game began
    Vec3 home;                             // where the game parks it when a save is loaded
    float home_heading = 0.0f;
    bool placed = false;  // the after-creation step has run
    DriveOrder order;
    // Stuck behind something: moves only under the style that pushes through.
    bool blocked = false;
    std::int32_t health = 1000;
    std::vector<std::int32_t> damaged_by;  // characters that damaged it
    bool claimed = false;                  // kept for a script
    bool in_service = false;
    VehicleParts parts;
};

// A group of characters that keep together.
struct Group {
    std::int32_t handle = 0;
    std::vector<std::int32_t> members;
    std::int32_t formation = -1;
    bool set_up = false;
    std::int32_t leader = 0;  // members keep to him; 0 for none
    float separation = 0.0f;  // beyond this from the leader a member has left; 0: no limit
};

}  // namespace hostsim
