// Characters, vehicles and the models they are made of.

#include <algorithm>
#include <limits>

#include "hostsim/world.h"

namespace hostsim {

const std::vector<VehicleModel>& vehicle_models() {
    // The cars come first: the game parks them near the start.
    static const std::vector<VehicleModel> kModels = {
        {0x8A1C3E05, "Estate", 3},     {0x94F0B2D1, "Coupe", 1},  {0xA7D4E113, "Van", 1},
        {0xD577C962, "Bus", 8},        {0x3D961290, "Ferry", 12}, {0x68E27CB6, "Launch", 4},
        {0x1149422F, "Water taxi", 6}, {0x3F724E66, "Ship", 20},
    };
    return kModels;
}

int World::passenger_seats(std::uint32_t model) const {
    for (const VehicleModel& known : vehicle_models()) {
        if (known.id == model)
            return known.passenger_seats;
    }
    return 3;  // any other model is an ordinary car
}

Character* World::character(std::int32_t handle) {
    return entry_of(characters_, handle);
}

const Character* World::character(std::int32_t handle) const {
    return entry_of(characters_, handle);
}

Character* World::character_by_object(std::uint32_t address) {
    return owner_of(characters_, address);
}

Character& World::add_character(std::uint32_t model, Vec3 position, float heading) {
    std::int32_t handle = next_character_++;
    Character& person = characters_.try_emplace(handle, handle, model).first->second;
    person.object.set_heading(heading);
    person.object.set_position(position);
    return person;
}

Vehicle* World::vehicle(std::int32_t handle) {
    return entry_of(vehicles_, handle);
}

const Vehicle* World::vehicle(std::int32_t handle) const {
    return entry_of(vehicles_, handle);
}

Vehicle* World::vehicle_by_object(std::uint32_t address) {
    return owner_of(vehicles_, address);
}

Vehicle& World::add_vehicle(std::uint32_t model, Vec3 position, float heading) {
    std::int32_t handle = next_vehicle_++;
    Vehicle& car =
        vehicles_.try_emplace(handle, handle, model, passenger_seats(model)).first->second;
    car.object.set_heading(heading);
    car.object.set_position(position);
    return car;
}

bool World::remove_vehicle(std::int32_t handle) {
    Vehicle* car = vehicle(handle);
    if (car == nullptr)
        return false;
    for (auto& [id, person] : characters_) {
        if (person.vehicle == handle)
            person.vehicle = 0;
    }
    vehicles_.erase(handle);
    return true;
}

void World::vacate_seat(Vehicle& car, std::int32_t character_handle) {
    if (car.driver == character_handle) {
        car.driver = 0;
        car.parts.speed = 0.0f;
    }
    for (std::int32_t& rider : car.passengers) {
        if (rider == character_handle)
            rider = 0;
    }
}

bool World::release_character(std::int32_t handle) {
    Character* person = character(handle);
    if (person == nullptr || handle == player_character_)
        return false;
    leave_groups(handle);
    if (person->pedestrian) {
        // Back to the crowd: he finishes what he was doing, as the game's.
        person->claimed = false;
        person->keeps_orders = false;
        note("character " + hex(static_cast<std::uint32_t>(handle)) + " back among the people");
        return true;
    }
    if (Vehicle* car = vehicle(person->vehicle))
        vacate_seat(*car, handle);
    characters_.erase(handle);
    note("character " + hex(static_cast<std::uint32_t>(handle)) + " released");
    return true;
}

bool World::release_vehicle(std::int32_t handle) {
    if (!remove_vehicle(handle))
        return false;
    ++traffic_.vehicles_released;
    note("vehicle " + hex(static_cast<std::uint32_t>(handle)) + " released");
    return true;
}

void World::forget_created_since_start() {
    for (auto it = vehicles_.begin(); it != vehicles_.end();) {
        it = it->second.from_world_start ? std::next(it) : vehicles_.erase(it);
    }
    for (auto it = characters_.begin(); it != characters_.end();) {
        it = it->first == player_character_ ? std::next(it) : characters_.erase(it);
    }
    for (auto& [handle, car] : vehicles_) {
        if (character(car.driver) == nullptr)
            car.driver = 0;
        for (std::int32_t& rider : car.passengers) {
            if (character(rider) == nullptr)
                rider = 0;
        }
    }
    groups_.clear();
    std::erase_if(player_group_.members,
                  [this](std::int32_t member) { return character(member) == nullptr; });
    // Blips on what is gone go with it; blips at fixed points stay.
    for (auto it = blips_.begin(); it != blips_.end();) {
        std::int32_t entity = it->second.entity;
        bool gone = entity != 0 && vehicle(entity) == nullptr && character(entity) == nullptr;
        it = gone ? blips_.erase(it) : std::next(it);
    }
}

Vehicle& World::reuse_vehicle_handle(std::int32_t handle, std::uint32_t model) {
    Vec3 at;
    float heading = 0.0f;
    if (const Vehicle* old = vehicle(handle)) {
        at = old->object.position();
        heading = old->object.heading();
        remove_vehicle(handle);
    }
    Vehicle& car =
        vehicles_.try_emplace(handle, handle, model, passenger_seats(model)).first->second;
    car.object.set_heading(heading);
    car.object.set_position(at);
    note("vehicle " + hex(static_cast<std::uint32_t>(handle)) + " is now a new vehicle, model " +
         hex(model));
    return car;
}

bool World::enter_vehicle(std::int32_t character_handle, std::int32_t vehicle_handle,
                          std::int32_t seat) {
    Character* person = character(character_handle);
    Vehicle* car = vehicle(vehicle_handle);
    if (person == nullptr || car == nullptr)
        return false;
    std::int32_t* place = nullptr;
    if (seat == kDriverSeat) {
        place = &car->driver;
    } else if (seat >= 0 && static_cast<std::size_t>(seat) < car->passengers.size()) {
        place = &car->passengers[static_cast<std::size_t>(seat)];
    }
    if (place == nullptr || (*place != 0 && *place != character_handle))
        return false;
    leave_vehicle(character_handle);
    *place = character_handle;
    if (seat == kDriverSeat)
        car->parts.engine_running = true;  // a driver starts it
    person->vehicle = vehicle_handle;
    person->seat = seat;
    person->object.set_position(car->object.position());
    if (character_handle == player_character_)
        walk_target_.reset();
    note("character " + hex(static_cast<std::uint32_t>(character_handle)) + " entered vehicle " +
         hex(static_cast<std::uint32_t>(vehicle_handle)) +
         (seat == kDriverSeat ? " as driver" : " in seat " + std::to_string(seat)));
    return true;
}

bool World::leave_vehicle(std::int32_t character_handle) {
    Character* person = character(character_handle);
    if (person == nullptr || person->vehicle == 0)
        return false;
    if (Vehicle* car = vehicle(person->vehicle)) {
        vacate_seat(*car, character_handle);
        // Out on the driver's side, two metres to the left.
        Vec3 at = car->object.position();
        const float* m = car->object.matrix();
        person->object.set_position({at.x - 2.0f * m[0], at.y - 2.0f * m[1], at.z});
        note("character " + hex(static_cast<std::uint32_t>(character_handle)) + " left vehicle " +
             hex(static_cast<std::uint32_t>(car->handle)));
    }
    person->vehicle = 0;
    person->seat = kDriverSeat;
    return true;
}

std::int32_t World::nearest_vehicle(Vec3 point, float radius) const {
    std::int32_t best = 0;
    float best_distance = std::numeric_limits<float>::infinity();
    for (const auto& [handle, car] : vehicles_) {
        float d = distance(point, car.object.position());
        if (d <= radius && d < best_distance) {
            best = handle;
            best_distance = d;
        }
    }
    return best;
}

bool World::model_exists(std::uint32_t model) const {
    if (model == kPlayerModel)
        return true;
    for (const VehicleModel& known : vehicle_models()) {
        if (known.id == model)
            return true;
    }
    const std::vector<std::uint32_t>& people = pedestrian_models();
    return std::find(people.begin(), people.end(), model) != people.end();
}

std::int32_t World::model_index(std::uint32_t model) {
    if (!model_exists(model))
        return -1;
    auto [it, added] =
        model_indices_.try_emplace(model, static_cast<std::int32_t>(100 + model_indices_.size()));
    return it->second;
}

std::optional<std::uint32_t> World::model_of_index(std::int32_t index) const {
    for (const auto& [model, known] : model_indices_) {
        if (known == index)
            return model;
    }
    return std::nullopt;
}

void World::request_model(std::int32_t index) {
    if (model_of_index(index)) {
        requested_models_.insert(index);
    } else {
        record_error("model request for unknown index " + std::to_string(index));
    }
}

void World::load_requested_models() {
    loaded_models_.insert(requested_models_.begin(), requested_models_.end());
    requested_models_.clear();
}

}  // namespace hostsim
