#include "autoservice/fuel_model.h"

#include <algorithm>
#include <cmath>

#include "core/data_folder.h"
#include "core/geometry.h"
#include "core/player.h"
#include "core/screen_text.h"
#include "core/text_number.h"
#include "host/vehicle_structure.h"

namespace corvalen {
namespace {

using host::VehicleField;

// Thousandths of a tank: the fill of a vehicle and its fuel record.
constexpr double kFullFill = 1000.0;
constexpr std::int32_t kEmptyishFill[2] = {5, 400};
constexpr std::int32_t kFullerFill[2] = {300, 800};

constexpr float kBarWidth = 0.1f;
constexpr float kBarHeight = 0.012f;
constexpr float kBarFillHeight = 0.01f;
constexpr double kMetresPerSecondToKmPerHour = 3.6;

// A speed the host gives that is no number counts as standing.
float speed_of(host::Handle vehicle) {
    float speed = host::vehicle_speed(vehicle);
    return std::isfinite(speed) ? speed : 0.0f;
}

// The fuel record of a vehicle left with `state`: 1000 plus the whole
// thousandths of the tank still in it, an empty (or overdrawn) tank as 0 and
// never more than a full one.
float fuel_record(const FuelState& state) {
    double fill = std::trunc(static_cast<double>(state.litres) * kFullFill / state.tank);
    if (!(fill > 0.0))
        fill = 0.0;
    return static_cast<float>(std::min(fill, kFullFill) + kFullFill);
}

}  // namespace

FuelModel::FuelModel(const Config* config) {
    load_fuel_data();
    if (config == nullptr)
        return;
    ui_y = config->get(settings::fuel_ui_y);
    ui_x = config->get(settings::fuel_ui_x);
    ui_size = config->get(settings::fuel_ui_size);
    dist_x = ui_x + 0.15f;
    speed_x = ui_x + 0.3f;
    bar_x = ui_x + 0.06f;
    bar_y = ui_y - 0.01f;
}

void FuelModel::load_fuel_data() {
    specs = read_fuel_data(data_path(kDataFolder, kFuelDataFileName));
}

void FuelModel::forget_vehicles() {
    states.clear();
    saved_odometers.clear();
    current = kNoVehicle;
}

FuelState* FuelModel::state_of(host::Handle handle) {
    auto it = states.find(handle);
    return it == states.end() ? nullptr : &it->second;
}

std::int32_t FuelModel::odometer_metres(host::Handle handle) const {
    if (auto state = states.find(handle); state != states.end())
        return whole_metres(static_cast<float>(state->second.odometer));
    if (auto saved = saved_odometers.find(handle); saved != saved_odometers.end())
        return saved->second;
    return 0;
}

void FuelModel::restore_odometer(host::Handle handle, std::int32_t metres) {
    saved_odometers[handle] = metres;
}

void FuelModel::enter_vehicle(host::Handle handle) {
    std::uint32_t structure = host::vehicle_object(handle);
    if (structure == 0)
        return;
    last_ms = host::game_timer();
    std::uint32_t model = host::vehicle_model(handle);

    // A handle the host has handed to a vehicle of another model names a
    // new vehicle, whose tank has nothing to do with the old one's.
    if (FuelState* state = state_of(handle); state != nullptr && state->model == model) {
        state->vehicle = structure;
        host::set_vehicle_float(structure, VehicleField::FuelRecord, state->saved_health);
        return;
    }
    states[handle] = new_state(handle, structure, model);
}

FuelState FuelModel::new_state(host::Handle handle, std::uint32_t structure, std::uint32_t model) {
    float record = host::vehicle_float(structure, VehicleField::FuelRecord);
    double fill = 0.0;
    if (record > kFullFill && !host::vehicle_runs_without_fuel(handle)) {
        fill = std::fabs(kFullFill - std::floor(static_cast<double>(record)));
    } else {
        const std::int32_t* range =
            host::vehicle_runs_without_fuel(current) ? kFullerFill : kEmptyishFill;
        fill = roll(random_engine, range[0], range[1]);
    }
    fill = std::clamp(fill, 0.0, kFullFill);

    auto spec = specs.find(model);
    if (spec == specs.end()) {
        FuelSpec unknown;
        unknown.model = model;
        spec = specs.emplace(model, unknown).first;
    }

    FuelState state;
    state.handle = handle;
    state.vehicle = structure;
    state.tank = spec->second.tank > 0 ? spec->second.tank : FuelSpec::kDefaultTank;
    state.litres = static_cast<float>(state.tank * fill / kFullFill);
    state.saved_health = record;
    if (auto saved = saved_odometers.find(handle); saved != saved_odometers.end())
        state.odometer = saved->second;
    state.metres_per_litre = spec->second.km_per_litre * 1000.0f;
    state.name = spec->second.name;
    state.model = model;
    state.km_per_litre = spec->second.km_per_litre;
    state.spec_extra = spec->second.spec_extra;
    return state;
}

void FuelModel::leave_vehicle() {
    if (current != kNoVehicle && host::vehicle_exists(current)) {
        // No state when entering found no structure or a reload came between.
        FuelState* state = state_of(current);
        std::uint32_t structure = host::vehicle_object(current);
        if (state != nullptr && structure != 0) {
            state->vehicle = structure;
            float record = host::vehicle_float(structure, VehicleField::FuelRecord);
            state->saved_health = record;
            if (record >= 0.0f)
                host::set_vehicle_float(structure, VehicleField::FuelRecord, fuel_record(*state));
        }
    }
    current = kNoVehicle;
}

void FuelModel::update(bool refuelling) {
    refuel_done = false;
    if (player_not_driving()) {
        leave_vehicle();
        return;
    }
    host::Handle vehicle = player_vehicle();
    if (vehicle != 0 && vehicle != current) {
        current = vehicle;
        enter_vehicle(vehicle);
    }
    FuelState* state = state_of(current);
    if (state == nullptr)
        return;

    std::uint32_t clock = host::game_timer();
    float speed = 0.0f;
    if (last_ms == 0) {
        last_ms = clock;
    } else {
        speed = speed_of(current);
        // The timer is 32 bits wide: its wrap-around is no leap in time.
        std::uint32_t elapsed_ms = clock - static_cast<std::uint32_t>(last_ms);
        double distance = elapsed_ms / 1000.0 * speed;
        if (speed >= kStandingSpeed)
            state->odometer += distance;
        last_ms = clock;
        burn(*state, host::vehicle_object(current), distance);
    }

    draw_display(*state, speed);

    if (refuelling) {
        refuel(*state);
    } else {
        refuelled_litres = 0.0f;
    }
}

void FuelModel::burn(FuelState& state, std::uint32_t structure, double metres) {
    if (state.litres > 0.0f) {
        double divisor = static_cast<double>(state.metres_per_litre) -
                         host::vehicle_float(structure, VehicleField::FuelDivisor);
        // A model without mileage (or a host value beyond it) burns nothing
        // rather than an infinite or negative amount.
        if (divisor > 0.0) {
            double burnt = std::max(metres, kLeastMetresPerUpdate) / divisor;
            state.litres = static_cast<float>(std::max(0.0, state.litres - burnt));
        }
    }
    if (state.litres > 0.0f)
        return;
    if (spare_fuel) {
        state.litres += kSpareCanLitres;
        host::set_engine_running(current, true);
        spare_fuel = false;
    } else if (!host::vehicle_runs_without_fuel(current)) {
        host::set_engine_running(current, false);
    }
}

void FuelModel::refuel(FuelState& state) {
    if (speed_of(current) > kStandingSpeed) {
        refuel_done = true;  // drove off: the fuel so far is paid
    } else if (state.litres >= static_cast<float>(state.tank)) {
        state.litres = static_cast<float>(state.tank);
        host::set_engine_running(current, true);
        refuel_done = true;
    } else {
        refuelled_litres += kRefuelLitresPerUpdate;
        state.litres += kRefuelLitresPerUpdate;
    }
}

void FuelModel::draw_display(const FuelState& state, float speed) const {
    draw_text("fuel " + fixed_decimals(state.litres, 2) + " L", ui_x, ui_y, ui_size);
    draw_text("dist " + fixed_decimals(state.odometer / 1000.0, 2) + " km", dist_x, ui_y, ui_size);
    draw_text(fixed_decimals(speed * kMetresPerSecondToKmPerHour, 0) + " km/h", speed_x, ui_y,
              ui_size);

    host::draw_rectangle(bar_x, bar_y, kBarWidth, kBarHeight, {0, 0, 0, 128});
    float percentage = state.litres * 100.0f / static_cast<float>(state.tank);
    float width = std::clamp(percentage / 100.0f, 0.0f, 1.0f) * kBarWidth;
    host::draw_rectangle(bar_x - (kBarWidth / 2 - width / 2), bar_y, width, kBarFillHeight,
                         {0, 128, 0, 128});
}

}  // namespace corvalen
