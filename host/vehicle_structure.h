#pragma once
// Fields of the host's vehicle structure (the object the vehicle pool lookup
// gives for a handle) that the plug-in reads and writes directly, and the
// vehicle block: a copy of the structure's first 8400 bytes, which car files
// keep for every stored vehicle.

#include <array>
#include <cstdint>

namespace corvalen::host {

enum class VehicleField : std::uint32_t {
    Body = 0x1F0,          // float, body condition, 1000 when sound
    FuelDivisor = 0x10C8,  // float, taken off a model's metres per litre
    Engine = 0x10FC,       // float, engine condition, 1000 when sound
    Damage = 0x1118,       // float, the wear car files carry over as it is
    // Float the host keeps with the vehicle (and car files keep with it); the
    // fuel model stores a vehicle's fill there, as 1000 + thousandths of the
    // tank, while the vehicle stands unused.
    FuelRecord = 0x1128,
};

// The four lamp bytes: one per lamp, 1 off, 0 flashing.
inline constexpr std::uint32_t kLampBytesOffset = 0x11E4;
using LampBytes = std::array<std::uint8_t, 4>;

// The vehicle's own 16-bit tag; car files record it, nothing reads it back.
inline constexpr std::uint32_t kVehicleTagOffset = 0x2E;
// The four colour bytes, and one more byte of the vehicle's looks.
inline constexpr std::uint32_t kColourBytesOffset = 0xFE4;
inline constexpr std::uint32_t kLooksByteOffset = 0x2AF;
// Byte set to 4 when a vehicle is left in a garage.
inline constexpr std::uint32_t kGarageByteOffset = 0x1108;
inline constexpr std::uint8_t kLeftInGarage = 4;
// 32-bit: how the host holds the vehicle. One it holds as kNeverGaraged is
// never stored; one held as kMarkedWhenRecreated is marked again (the
// restoring mark) when a car file re-creates it.
inline constexpr std::uint32_t kHoldOffset = 0x1354;
inline constexpr std::int32_t kNeverGaraged = 3;
inline constexpr std::int32_t kMarkedWhenRecreated = 4;

inline constexpr std::uint32_t kVehicleBlockSize = 8400;
using VehicleBlock = std::array<std::uint8_t, kVehicleBlockSize>;

// Reads a float field; 0 for structure 0.
float vehicle_float(std::uint32_t structure, VehicleField field);
// Writes a float field. Nothing is written to structure 0, and no infinity or
// NaN ever reaches the host: such a value leaves the field as it was.
void set_vehicle_float(std::uint32_t structure, VehicleField field, float value);
void set_lamp_bytes(std::uint32_t structure, const LampBytes& lamps);

// Plain bytes and words of a structure; 0 (and nothing written) for
// structure 0.
std::uint8_t vehicle_byte(std::uint32_t structure, std::uint32_t offset);
void set_vehicle_byte(std::uint32_t structure, std::uint32_t offset, std::uint8_t value);
std::int32_t vehicle_word(std::uint32_t structure, std::uint32_t offset);

// A copy of the structure's vehicle block; all zero for structure 0.
VehicleBlock copy_vehicle_block(std::uint32_t structure);

// Fields read from a block copy.
std::uint8_t block_byte(const VehicleBlock& block, std::uint32_t offset);
std::int16_t block_short(const VehicleBlock& block, std::uint32_t offset);
float block_float(const VehicleBlock& block, VehicleField field);

}  // namespace corvalen::host
