#include "hostsim/host_functions.h"

#include "hostsim/host_image.h"
#include "hostsim/world.h"

namespace hostsim {

std::uint32_t HostFunctions::player_object() {
    return world_.player().object.address();
}

std::uint32_t HostFunctions::pool_lookup(std::uint32_t pool, std::int32_t handle) {
    if (pool == image_.vehicle_pool()) {
        Vehicle* car = world_.vehicle(handle);
        return car != nullptr ? car->object.address() : 0;
    }
    if (pool == image_.second_pool()) {
        Character* person = world_.character(handle);
        return person != nullptr ? person->object.address() : 0;
    }
    world_.record_error("pool lookup on " + hex(pool) + ", which is not a pool");
    return 0;
}

std::int32_t HostFunctions::handle_from_object(std::uint32_t pool, std::uint32_t object) {
    if (pool == image_.vehicle_pool()) {
        Vehicle* car = world_.vehicle_by_object(object);
        return car != nullptr ? car->handle : 0;
    }
    if (pool == image_.second_pool()) {
        Character* person = world_.character_by_object(object);
        return person != nullptr ? person->handle : 0;
    }
    world_.record_error("handle from object on " + hex(pool) + ", which is not a pool");
    return 0;
}

std::int32_t HostFunctions::model_index(std::uint32_t model, std::int32_t* out_index) {
    std::int32_t index = world_.model_index(model);
    if (out_index != nullptr)
        *out_index = index;
    return index;
}

void HostFunctions::model_request(std::int32_t index, std::int32_t /*flags*/) {
    world_.request_model(index);
}

void HostFunctions::load_requested_models(std::int32_t /*flag*/) {
    world_.load_requested_models();
}

void HostFunctions::after_creation(std::uint32_t object, std::int32_t /*zero*/) {
    if (Vehicle* car = world_.vehicle_by_object(object)) {
        car->placed = true;
    } else if (Character* person = world_.character_by_object(object)) {
        person->placed = true;
    } else {
        world_.record_error("after-creation step for " + hex(object) + ", which is no object");
    }
}

bool HostFunctions::model_ready(std::int32_t model_index, const char* what) {
    if (world_.model_loaded(model_index))
        return true;
    world_.record_error(std::string(what) + " of model index " + std::to_string(model_index) +
                        ", which is not loaded");
    return false;
}

std::uint32_t HostFunctions::create_vehicle(std::uint32_t factory, std::int32_t model_index,
                                            std::int32_t kind, const float* matrix,
                                            std::int32_t /*flag*/) {
    if (factory != image_.vehicle_factory()) {
        world_.record_error("vehicle creation on " + hex(factory) + ", not the vehicle factory");
        return 0;
    }
    if (matrix == nullptr) {
        world_.record_error("vehicle creation without a matrix");
        return 0;
    }
    if (!model_ready(model_index, "vehicle creation"))
        return 0;
    std::uint32_t model = world_.model_of_index(model_index).value_or(0);
    Vehicle& car = world_.add_vehicle(model, {}, 0.0f);
    car.object.set_from_matrix(matrix);
    Vec3 at = car.object.position();
    world_.note("vehicle " + hex(static_cast<std::uint32_t>(car.handle)) + " created, model " +
                hex(model) + ", kind " + std::to_string(kind) + ", at (" + format_float(at.x) +
                "," + format_float(at.y) + "," + format_float(at.z) + ")");
    return car.object.address();
}

std::uint32_t HostFunctions::create_pedestrian(std::uint32_t factory, std::int32_t model_index,
                                               const float* matrix, std::int32_t /*flag*/) {
    if (factory != image_.pedestrian_factory()) {
        world_.record_error("pedestrian creation on " + hex(factory) +
                            ", not the pedestrian factory");
        return 0;
    }
    if (matrix == nullptr) {
        world_.record_error("pedestrian creation without a matrix");
        return 0;
    }
    if (!model_ready(model_index, "pedestrian creation"))
        return 0;
    std::uint32_t model = world_.model_of_index(model_index).value_or(0);
    Character& person = world_.add_character(model, {}, 0.0f);
    person.object.set_from_matrix(matrix);
    Vec3 at = person.object.position();
    world_.note("pedestrian " + hex(static_cast<std::uint32_t>(person.handle)) +
                " created, model " + hex(model) + ", at (" + format_float(at.x) + "," +
                format_float(at.y) + "," + format_float(at.z) + ")");
    return person.object.address();
}

}  // namespace hostsim
