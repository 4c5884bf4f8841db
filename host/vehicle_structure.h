#pragma once
// Fields of the host's vehicle structure (the object the vehicle pool lookup
// gives for a handle) that the plug-in reads and writes directly.

#include <array>
#include <cstdint>

namespace corvalen::host {

enum class VehicleField : std::uint32_t {
    Body = 0x1F0,          // float, body condition, 1000 when sound
    FuelDivisor = 0x10C8,  // float, taken off a model's metres per litre
    Engine = 0x10FC,       // float, engine condition, 1000 when sound
    // Float the host keeps with the vehicle (and car files keep with it); the
    // fuel model stores a vehicle's fill there, as 1000 + thousandths of the
    // tank, while the vehicle stands unused.
    FuelRecord = 0x1128,
};

// The four lamp bytes: one per lamp, 1 off, 0 flashing.
inline constexpr std::uint32_t kLampBytesOffset = 0x11E4;
using LampBytes = std::array<std::uint8_t, 4>;

// Reads a float field; 0 for structure 0.
float vehicle_float(std::uint32_t structure, VehicleField field);
// Writes a float field. Nothing is written to structure 0, and no infinity or
// NaN ever reaches the host: such a value leaves the field as it was.
void set_vehicle_float(std::uint32_t structure, VehicleField field, float value);
void set_lamp_bytes(std::uint32_t structure, const LampBytes& lamps);

}  // namespace corvalen::host
