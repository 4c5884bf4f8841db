#pragma once
// What a car is made of beyond its matrix: the fields of its game object
// that the plug-in reads and writes directly (body and engine condition, the
// fuel record, the lamp bytes, colours, wear and the garage fields), and the
// parts the natives work on (speed, engine, tyres, extras, doors, indicator
// lights, and the values and marks of a car kept for the player).

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
inline constexpr std::uint32_t kTagOffset = 0x2E;            // 16-bit, the car's own tag
inline constexpr std::uint32_t kLooksOffset = 0x2AF;         // byte
inline constexpr std::uint32_t kColoursOffset = 0xFE4;       // 4 bytes
inline constexpr std::uint32_t kGarageByteOffset = 0x1108;   // byte, 4 once left in a garage
inline constexpr std::uint32_t kDamageOffset = 0x1118;       // float, wear, 0 when new
// 32-bit: how the game holds the car; 3 keeps it out of garages, 4 has it
// marked again when a script re-creates it.
inline constexpr std::uint32_t kHoldOffset = 0x1354;

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
    std::int32_t extra_value = 0;  // the value behind natives 0x10237666 / 0x2E9E149D
    bool kept = false;             // a script asked the game to keep it (0x25750E4F)
    bool needs_restoring = false;  // the mark of 0x295C4C52, asked by 0x62EA75E0
};

// A new vehicle's object: sound body and engine, no wear, the fuel record as
// the game leaves it, every lamp off, colours of its model.
void set_up_vehicle_fields(EntityObject& object, std::uint32_t model);

float vehicle_float(const EntityObject& object, std::uint32_t offset);
void set_vehicle_float(EntityObject& object, std::uint32_t offset, float value);
LampBytes lamp_bytes(const EntityObject& object);
std::uint8_t vehicle_byte(const EntityObject& object, std::uint32_t offset);
void set_vehicle_byte(EntityObject& object, std::uint32_t offset, std::uint8_t value);
std::int32_t vehicle_word(const EntityObject& object, std::uint32_t offset);
void set_vehicle_word(EntityObject& object, std::uint32_t offset, std::int32_t value);

}  // namespace hostsim
