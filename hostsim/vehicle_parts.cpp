#include "hostsim/vehicle_parts.h"

#include <cstring>

#include "hostsim/entities.h"

namespace hostsim {

void set_up_vehicle_fields(EntityObject& object) {
    set_vehicle_float(object, kBodyOffset, kSoundCondition);
    set_vehicle_float(object, kEngineOffset, kSoundCondition);
    set_vehicle_float(object, kFuelRecordOffset, kSoundCondition);
    set_vehicle_float(object, kFuelDivisorOffset, 0.0f);
    std::memset(object.bytes() + kLampsOffset, 1, sizeof(LampBytes));
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

}  // namespace hostsim
