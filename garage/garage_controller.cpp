#include "garage/garage_controller.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "autoservice/fuel_model.h"
#include "core/atomic_file.h"
#include "core/csv.h"
#include "core/host_distance.h"
#include "core/player.h"
#include "garage/car_file.h"
#include "host/vehicle_structure.h"

namespace corvalen {
namespace {

using host::VehicleField;

// Cars whose saved position is unusable stand in a row here, 5 m apart.
constexpr float kFallbackX = -55.0f;
constexpr float kFallbackFirstY = -80.0f;
constexpr float kFallbackZ = 15.0f;
constexpr float kFallbackHeading = 90.0f;
constexpr float kFallbackStep = 5.0f;

// How the vehicle factory creates a re-created car.
constexpr std::int32_t kRecreatedKind = 4;
constexpr float kSoundCondition = 1000.0f;

constexpr std::int32_t kSpotBlipColour = 9;
constexpr std::int32_t kSpotBlipSprite = 79;
constexpr std::int32_t kSpotBlipDisplay = 2;
constexpr std::int32_t kCarBlipColour = 11;
constexpr std::int32_t kCarBlipDisplay = 4;
// What the host hands back when it made no blip on a vehicle.
constexpr host::Handle kNoBlip = static_cast<host::Handle>(-1);

std::vector<host::Handle> sorted_handles(
    const std::unordered_map<host::Handle, host::VehicleBlock>& stored) {
    std::vector<host::Handle> handles;
    handles.reserve(stored.size());
    for (const auto& [handle, block] : stored)
        handles.push_back(handle);
    std::sort(handles.begin(), handles.end());
    return handles;
}

}  // namespace

GarageController::~GarageController() {
    hide_blips();
}

void GarageController::set_car_file(std::string path) {
    if (path != car_file)
        car_file_unread = false;
    car_file = std::move(path);
}

bool GarageController::add_spot(const GarageSpot& spot) {
    if (spot.radius <= 0)
        return false;
    spots.push_back(spot);
    return true;
}

void GarageController::update() {
    notice.draw();
    taken_out = false;
    current = nullptr;
    if (!player_not_driving()) {
        host::Handle vehicle = player_vehicle();
        if (vehicle != last_vehicle) {
            last_vehicle = vehicle;
            take_out(vehicle);
        }
    } else if (last_vehicle != 0) {
        park(last_vehicle);
        last_vehicle = 0;
    }
}

void GarageController::take_out(host::Handle handle) {
    taken_out = false;
    if (stored.count(handle) == 0)
        return;
    auto record = records.find(handle);
    if (record == records.end())
        record = records.insert_or_assign(handle, StoredCar(handle, 0, false)).first;
    // The host gives a destroyed vehicle's handle to the next one it makes:
    // a handle that now names another model is not the stored car.
    std::uint32_t model = host::vehicle_model(handle);
    if (model != record->second.vehicle.model)
        return;

    current = &record->second;
    current->retrieved_at = game_time_stamp();
    stored.erase(handle);
    taken_out = true;
    host::restore_area_code(current->vehicle.area_code);
    if (host::vehicle_needs_restoring(handle))
        host::set_vehicle_needs_restoring(handle, false);
}

void GarageController::park(host::Handle handle) {
    // The structure is looked up now: the one of the last update may belong
    // to a vehicle that is gone, or to a world before a reload.
    if (!host::vehicle_exists(handle))
        return;
    std::uint32_t structure = host::vehicle_object(handle);
    if (structure == 0 || host::vehicle_word(structure, host::kHoldOffset) == host::kNeverGaraged)
        return;
    std::optional<host::Matrix> matrix = host::object_matrix(structure);
    if (!matrix)
        return;
    host::Vec3 at = matrix->position();
    for (const GarageSpot& spot : spots) {
        host::Vec3 centre{spot.x, spot.y, spot.z};
        auto distance = [&] { return host::distance_3d(at, centre); };
        // A distance that is no number holds the car in no area.
        if (!distance_at_most(distance_range(at, centre), static_cast<float>(spot.radius),
                              distance))
            continue;
        // The first area that holds the vehicle decides, even when its
        // height test fails.
        if (spot.single_storey == 0 || std::fabs(at.z - spot.z) <= kStoreyHeight)
            store(handle, structure);
        return;
    }
}

void GarageController::store(host::Handle handle, std::uint32_t structure) {
    stored.insert_or_assign(handle, host::copy_vehicle_block(structure));
    host::set_vehicle_byte(structure, host::kGarageByteOffset, host::kLeftInGarage);
    StoredCar record(handle, game_time_stamp(), false);
    record.vehicle.area_code = host::area_code();
    records.insert_or_assign(handle, std::move(record));
    notice.show("Vehicle Parked");
}

void GarageController::toggle_blips() {
    blips_shown = !blips_shown;
    if (blips_shown) {
        show_blips();
    } else {
        hide_blips();
    }
}

void GarageController::show_blips() {
    for (const GarageSpot& spot : spots) {
        host::Handle blip = host::add_blip({spot.x, spot.y, spot.z});
        if (blip == 0)
            continue;
        host::set_blip_colour(blip, kSpotBlipColour);
        host::set_blip_sprite(blip, kSpotBlipSprite);
        host::set_blip_display(blip, kSpotBlipDisplay);
        spot_blips.push_back(blip);
    }
    // Only the cars in the store, and only those the world still has.
    for (host::Handle handle : sorted_handles(stored)) {
        if (!host::vehicle_exists(handle))
            continue;
        host::Handle blip = host::add_vehicle_blip(handle);
        if (blip == 0 || blip == kNoBlip)
            continue;
        host::set_blip_colour(blip, kCarBlipColour);
        host::set_blip_display(blip, kCarBlipDisplay);
        car_blips.push_back(blip);
    }
}

void GarageController::hide_blips() {
    for (std::vector<host::Handle>* blips : {&spot_blips, &car_blips}) {
        for (host::Handle blip : *blips)
            host::remove_blip(blip);
        blips->clear();
    }
}

void GarageController::release_stored_cars() {
    for (const auto& [handle, block] : stored) {
        auto record = records.find(handle);
        // A handle the game has since given to another vehicle is not ours.
        if (record != records.end() && host::vehicle_exists(handle) &&
            host::vehicle_model(handle) == record->second.vehicle.model) {
            host::release_vehicle(handle);
        }
    }
}

bool GarageController::read_car_file_again() {
    release_stored_cars();
    return read_car_file();
}

bool GarageController::read_car_file() {
    stored.clear();
    records.clear();
    current = nullptr;
    taken_out = false;
    // The vehicle of the last update belongs to the world before this load.
    last_vehicle = 0;

    kept_lines.clear();
    std::optional<std::vector<std::string>> lines = read_existing_lines(car_file);
    car_file_unread = !lines;
    if (!lines)
        return false;
    float fallback_row = kFallbackFirstY;
    for (const std::string& line : *lines) {
        // A car that cannot be re-created now (a line this reader cannot
        // take, a model the game lacks, no room for another vehicle) stays
        // in the file for a later load.
        std::optional<CarLine> car = parse_car_line(line);
        if (!car || recreate(*car, fallback_row) != Recreation::made)
            keep_line(kept_lines, line);
    }
    return true;
}

bool GarageController::read_car_file_after_load() {
    car_blips.clear();
    hide_blips();
    bool read = read_car_file();
    if (blips_shown)
        show_blips();
    return read;
}

GarageController::Recreation GarageController::recreate(const CarLine& car, float& fallback_row) {
    std::int32_t model_index = host::load_model_now(car.model);
    if (model_index < 0)
        return Recreation::model_unknown;

    host::Vec3 at{car.x, car.y, car.z};
    float heading = car.heading;
    if (!position_on_map(car)) {
        at = {kFallbackX, fallback_row, kFallbackZ};
        heading = kFallbackHeading;
        host::ground_height(at);
        fallback_row += kFallbackStep;
    }
    host::Matrix transform;
    transform.rows[3][0] = at.x;
    transform.rows[3][1] = at.y;
    transform.rows[3][2] = at.z;
    std::uint32_t structure = host::create_vehicle_object(model_index, kRecreatedKind, transform);
    if (structure == 0)
        return Recreation::no_room;

    for (std::uint32_t i = 0; i < car.colours.size(); ++i)
        host::set_vehicle_byte(structure, host::kColourBytesOffset + i, car.colours[i]);
    host::set_vehicle_byte(structure, host::kLooksByteOffset, car.looks);
    host::set_vehicle_float(structure, VehicleField::Damage, car.damage);
    host::set_vehicle_float(structure, VehicleField::Engine, kSoundCondition);
    host::set_vehicle_float(structure, VehicleField::Body, kSoundCondition);
    host::set_vehicle_float(structure, VehicleField::FuelRecord,
                            std::max(car.fuel_record, kSoundCondition));

    host::finish_object_creation(structure);
    host::Handle handle = host::vehicle_handle_of(structure);
    if (handle == 0)
        return Recreation::no_room;
    host::set_vehicle_heading(handle, heading);
    host::set_vehicle_extra_value(handle, car.extra_value);
    host::keep_vehicle(handle);
    if (host::vehicle_word(structure, host::kHoldOffset) == host::kMarkedWhenRecreated)
        host::set_vehicle_needs_restoring(handle, true);
    for (std::size_t i = 0; i < car.extras_fitted.size(); ++i)
        host::set_extra_removed(handle, static_cast<std::int32_t>(i), !car.extras_fitted[i]);

    stored.insert_or_assign(handle, host::copy_vehicle_block(structure));
    StoredCar record(handle, car.parked_at, true);
    record.vehicle.area_code = car.area_code;
    records.insert_or_assign(handle, std::move(record));
    if (car.odometer && owner != nullptr)
        owner->restore_odometer(handle, *car.odometer);
    return Recreation::made;
}

bool GarageController::write_car_file() const {
    if (car_file_unread)
        return false;
    std::string contents;
    for (host::Handle handle : sorted_handles(stored))
        contents += car_line(handle);
    append_kept_lines(contents, kept_lines);
    keep_first_line_whole(contents);
    return replace_file(car_file, contents);
}

std::string GarageController::car_line(host::Handle handle) const {
    auto record = records.find(handle);
    if (record == records.end())
        return {};
    std::int32_t odometer = owner != nullptr ? owner->odometer_metres(handle) : 0;
    return car_file_line(record->second, odometer);
}

}  // namespace corvalen
