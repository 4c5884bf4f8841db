#pragma once
// What a car is made of beyond its matrix: the fields of its game object
// that the plug-in reads and writes directly (body and engine condition, the
// fuel record, the lamp bytes), and the parts the natives work on (speed,
// engine, tyres, extras, doors, indicator lights).

#include <array>
#include <cstdint>

namespace hostsim {

class EntityObject;

// Offsets into a vehicle's game object.
inline constexpr std::uint32_t kBodyOffset = 0x1F0;          // float, 1000 when sound
inline constexpr std::uint32_t kFuelDivisorOffset = 0x10C8;  // float, 0
inline constexpr std::uint32_t kEngineOffset = 0x10FC;       // float, 1000 when sound
inline constexpr std::uint32_t kFuelRecordOffset = 0x1128;   // float, 1000 from new
inline constexpr std::uint32_t kLampsOffset = 0x11E4;        // 4 bytes, 1 off, 0 flashing

inline constexpr float kSoundCondition = 1000.0f;
inline constexpr std::size_t kTyreCount = 6;
inline constexpr std::size_t kExtraCount = 10;
inline constexpr std::size_t kDoorCount = 6;  // 4 the bonnet, 5 the boot

using LampBytes = std::array<std::uint8_t, 4>;

struct VehicleParts {
    float speed = 0.0f;  // metres per second
    bool engine_running = false;
    bool runs_without_fuel = false;  // keeps its engine running on an empty tank
    std::array<bool, kTyreCount> burst_tyres{};
    std::array<bool, kExtraCount> extras{};  // fitted
    std::array<bool, kDoorCount> open_doors{};
    bool indicators = false;
};

// A new vehicle's object: sound body and engine, the fuel record as the game
// leaves it, every lamp off.
void set_up_vehicle_fields(EntityObject& object);

float vehicle_float(const EntityObject& object, std::uint32_t offset);
void set_vehicle_float(EntityObject& object, std::uint32_t offset, float value);
LampBytes lamp_bytes(const EntityObject& object);

}  // namespace hostsim
