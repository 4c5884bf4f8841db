#pragma once
// Fuel for the vehicles the player drives: a tank per vehicle that empties
// with the distance covered (per-model mileage from the fuel data file), an
// engine that stops when it is empty, refuelling at a gas station, the
// distance driven, and the fuel display while the player drives.
//
// When the player leaves a vehicle its fill goes into a float of the host's
// own vehicle structure, so that it travels with the vehicle (car files keep
// it too) and comes back when the vehicle is entered again after a reload.

#include <cstdint>
#include <string>
#include <unordered_map>

#include "autoservice/fuel_data.h"
#include "core/config.h"
#include "core/dice.h"
#include "host/host_game.h"

namespace corvalen {

// The fuel of one vehicle the player has driven.
struct FuelState {
    host::Handle handle = 0;
    std::uint32_t vehicle = 0;  // host vehicle structure of the handle
    float litres = 0.0f;
    // The structure's fuel record as it was before the fuel model wrote into it.
    float saved_health = 0.0f;
    double odometer = 0.0;           // metres driven
    std::int64_t radiator_time = 0;  // wall-clock second of the last radiator top-up
    float metres_per_litre = 0.0f;
    std::string name;
    std::uint32_t model = 0;
    std::int32_t tank = FuelSpec::kDefaultTank;
    float km_per_litre = FuelSpec::kDefaultKmPerLitre;
    std::int32_t spec_extra = 0;
};

class FuelModel {
  public:
    static constexpr const char* kFuelDataFileName = "fuel_data.csv";
    static constexpr host::Handle kNoVehicle = static_cast<host::Handle>(-1);
    // Even a standing vehicle burns this many metres' worth per update.
    static constexpr double kLeastMetresPerUpdate = 1.4;
    static constexpr float kRefuelLitresPerUpdate = 0.111f;
    static constexpr float kSpareCanLitres = 3.0f;
    // Speeds above this (metres per second) count as moving.
    static constexpr float kStandingSpeed = 0.05f;

    // Reads the fuel data file, then the display's screen settings.
    explicit FuelModel(const Config* config);

    void load_fuel_data();
    // Once per frame; `refuelling` while the player buys fuel at a station.
    void update(bool refuelling);
    // The player now drives `handle`: take up its fuel state, or make one.
    void enter_vehicle(host::Handle handle);
    // Another save was loaded: no vehicle's state carries over.
    void forget_vehicles();

    // The state of a handle, null when none.
    FuelState* state_of(host::Handle handle);
    // Whole metres a vehicle has been driven, for car files: from its state,
    // else the value restored from a car file, else 0.
    std::int32_t odometer_metres(host::Handle handle) const;
    // A car file's odometer for a re-created vehicle, used when it is entered.
    void restore_odometer(host::Handle handle, std::int32_t metres);

    float ui_y = settings::fuel_ui_y.fallback;
    float ui_x = settings::fuel_ui_x.fallback;
    float ui_size = settings::fuel_ui_size.fallback;
    float dist_x = ui_x + 0.15f;
    float speed_x = ui_x + 0.3f;
    float bar_x = ui_x + 0.06f;
    float bar_y = ui_y - 0.01f;
    std::uint64_t last_ms = 0;  // game timer at the previous update, 0 = not started
    host::Handle current = kNoVehicle;
    FuelSpecs specs;
    std::unordered_map<host::Handle, FuelState> states;
    std::unordered_map<host::Handle, std::int32_t> saved_odometers;
    bool refuel_done = false;
    float refuelled_litres = 0.0f;
    bool spare_fuel = false;
    // Draws the starting fill of a vehicle seen for the first time.
    Dice random_engine = seeded_dice();

  private:
    void leave_vehicle();
    void burn(FuelState& state, std::uint32_t structure, double metres);
    void refuel(FuelState& state);
    void draw_display(const FuelState& state, float speed) const;
    FuelState new_state(host::Handle handle, std::uint32_t structure, std::uint32_t model);
};

}  // namespace corvalen
