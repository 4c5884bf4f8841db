#include "host/vehicle_structure.h"

#include <cmath>
#include <cstring>

namespace corvalen::host {
namespace {

void* field_address(std::uint32_t structure, std::uint32_t offset) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(structure + offset));
}

template <typename Value>
Value block_value(const VehicleBlock& block, std::uint32_t offset) {
    Value value{};
    if (offset + sizeof(Value) <= block.size())
        std::memcpy(&value, block.data() + offset, sizeof(Value));
    return value;
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

std::uint8_t vehicle_byte(std::uint32_t structure, std::uint32_t offset) {
    if (structure == 0)
        return 0;
    return *static_cast<const volatile std::uint8_t*>(field_address(structure, offset));
}

void set_vehicle_byte(std::uint32_t structure, std::uint32_t offset, std::uint8_t value) {
    if (structure != 0)
        *static_cast<volatile std::uint8_t*>(field_address(structure, offset)) = value;
}

std::int32_t vehicle_word(std::uint32_t structure, std::uint32_t offset) {
    if (structure == 0)
        return 0;
    std::int32_t value = 0;
    std::memcpy(&value, field_address(structure, offset), sizeof(value));
    return value;
}

VehicleBlock copy_vehicle_block(std::uint32_t structure) {
    VehicleBlock block{};
    if (structure != 0)
        std::memcpy(block.data(), field_address(structure, 0), block.size());
    return block;
}

std::uint8_t block_byte(const VehicleBlock& block, std::uint32_t offset) {
    return block_value<std::uint8_t>(block, offset);
}

std::int16_t block_short(const VehicleBlock& block, std::uint32_t offset) {
    return block_value<std::int16_t>(block, offset);
}

float block_float(const VehicleBlock& block, VehicleField field) {
    return block_value<float>(block, static_cast<std::uint32_t>(field));
}

}  // namespace corvalen::host
