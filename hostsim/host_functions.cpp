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

// What the game's factories refuse: a call on another object, no matrix, a
// model that is not loaded. `kind` is "vehicle" or "pedestrian".
bool HostFunctions::can_create(const char* kind, std::uint32_t factory, std::uint32_t own_factory,
                               std::int32_t model_index, const float* matrix) {
    std::string creation = std::string(kind) + " creation";
    if (factory != own_factory) {
        world_.record_error(creation + " on " + hex(factory) + ", not the " + kind + " factory");
        return false;
    }
    if (matrix == nullptr) {
        world_.record_error(creation + " without a matrix");
        return false;
    }
    if (!world_.model_loaded(model_index)) {
        world_.record_error(creation + " of model index " + std::to_string(model_index) +
                            ", which is not loaded");
        return false;
    }
    return true;
}

std::uint32_t HostFunctions::create_vehicle(std::uint32_t factory, std::int32_t model_index,
                                            std::int32_t kind, const float* matrix,
                                            std::int32_t /*flag*/) {
    if (!can_create("vehicle", factory, image_.vehicle_factory(), model_index, matrix))
        return 0;
    std::uint32_t model = world_.model_of_index(model_index).value_or(0);
    if (world_.vehicle_pool_full()) {
        world_.note("vehicle factory: no room for model " + hex(model));
        return 0;
    }
    Vehicle& car = world_.add_vehicle(model, {}, 0.0f);
    car.object.set_from_matrix(matrix);
    world_.count_created_vehicle();
    world_.note("vehicle " + hex(static_cast<std::uint32_t>(car.handle)) + " created, model " +
                hex(model) + ", kind " + std::to_string(kind) + ", at " +
                format_point(car.object.position()));
    return car.object.address();
}

std::uint32_t HostFunctions::create_pedestrian(std::uint32_t factory, std::int32_t model_index,
                                               const float* matrix, std::int32_t /*flag*/) {
    if (!can_create("pedestrian", factory, image_.pedestrian_factory(), model_index, matrix))
        return 0;
    std::uint32_t model = world_.model_of_index(model_index).value_or(0);
    if (world_.pedestrian_pool_full()) {
        world_.note("pedestrian factory: no room for model " + hex(model));
        return 0;
    }
    Character& person = world_.add_character(model, {}, 0.0f);
    person.object.set_from_matrix(matrix);
    world_.note("pedestrian " + hex(static_cast<std::uint32_t>(person.handle)) +
                " created, model " + hex(model) + ", at " + format_point(person.object.position()));
    return person.object.address();
}

}  // namespace hostsim
