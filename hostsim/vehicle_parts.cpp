#include "hostsim/vehicle_parts.h"

#include <cstring>

#include "hostsim/entities.h"

namespace hostsim {

void set_up_vehicle_fields(EntityObject& object, std::uint32_t model) {
    set_vehicle_float(object, kBodyOffset, kSoundCondition);
    set_vehicle_float(object, kEngineOffset, kSoundCondition);
    set_vehicle_float(object, kFuelRecordOffset, kSoundCondition);
    set_vehicle_float(object, kFuelDivisorOffset, 0.0f);
    std::memset(object.bytes() + kLampsOffset, 1, sizeof(LampBytes));
    // Each model comes in its own colours, so a re-created car that kept
    // none would show.
    for (std::uint32_t i = 0; i < 4; ++i)
        set_vehicle_byte(object, kColoursOffset + i, static_cast<std::uint8_t>(model >> (8 * i)));
}

float vehicle_float(const EntityObject& object, std::uint32_t offset) {
    float value = 0.0f;
    std::memcpy(&value, object.bytes() + offset, sizeof(value));
    return value;
}

void set_vehicle_float(EntityObject& object, std::uint32_t offset, float value) {
    std::memcpy(object.bytes() + offset, &value, sizeof(value));
}

LampBytes lamp_bytes(const EntityObject& object) {
    LampBytes lamps{};
    std::memcpy(lamps.data(), object.bytes() + kLampsOffset, lamps.size());
    return lamps;
}

std::uint8_t vehicle_byte(const EntityObject& object, std::uint32_t offset) {
    return object.bytes()[offset];
}

void set_vehicle_byte(EntityObject& object, std::uint32_t offset, std::uint8_t value) {
    object.bytes()[offset] = value;
}

std::int32_t vehicle_word(const EntityObject& object, std::uint32_t offset) {
    std::int32_t value = 0;
    std::memcpy(&value, object.bytes() + offset, sizeof(value));
    return value;
}

void set_vehicle_word(EntityObject& object, std::uint32_t offset, std::int32_t value) {
    std::memcpy(object.bytes() + offset, &value, sizeof(value));
}

}  // namespace hostsim
