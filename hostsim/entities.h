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
    std::uint8_t* bytes() const { return bytes_.get(); }

    Vec3 position() const;
    void set_position(Vec3 position);
    // Degrees, counter-clockwise from north (+y); rewrites the rotation rows.
    float heading() const { return heading_; }
    void set_heading(float degrees);
    // Takes position and heading from a 4x4 matrix given by the plug-in.
    void set_from_matrix(const float* matrix);
    const float* matrix() const;

  private:
    float* matrix_storage() const;

    std::uint32_t size_;
    std::unique_ptr<std::uint8_t[]> bytes_;
    float heading_ = 0.0f;
};

struct Character {
    Character(std::int32_t handle, std::uint32_t model);

    std::int32_t handle;
    std::uint32_t model;
    EntityObject object;
    std::int32_t vehicle = 0;  // 0 on foot
    std::int32_t seat = kDriverSeat;
    bool placed = false;  // the after-creation step has run
};

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
    VehicleParts parts;
};

}  // namespace hostsim
