#include "host/vehicle_structure.h"

#include <cmath>
#include <cstring>

namespace corvalen::host {
namespace {

void* field_address(std::uint32_t structure, std::uint32_t offset) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(structure + offset));
}

}  // namespace

float vehicle_float(std::uint32_t structure, VehicleField field) {
    if (structure == 0)
        return 0.0f;
    float value = 0.0f;
    std::memcpy(&value, field_address(structure, static_cast<std::uint32_t>(field)), sizeof(value));
    return value;
}

void set_vehicle_float(std::uint32_t structure, VehicleField field, float value) {
    if (structure == 0 || !std::isfinite(value))
        return;
    std::memcpy(field_address(structure, static_cast<std::uint32_t>(field)), &value, sizeof(value));
}

void set_lamp_bytes(std::uint32_t structure, const LampBytes& lamps) {
    if (structure == 0)
        return;
    std::memcpy(field_address(structure, kLampBytesOffset), lamps.data(), lamps.size());
}

}  // namespace corvalen::host
