#include "hostsim/scenes.h"

#include <filesystem>
#include <fstream>

#include "hostsim/host.h"

namespace hostsim {
namespace {

constexpr std::uint8_t kNumpad5 = 0x4C;

void write_text(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

Vehicle* first_of_model(World& world, std::uint32_t model) {
    for (const auto& [handle, car] : world.vehicles()) {
        if (car.model == model)
            return world.vehicle(handle);
    }
    return nullptr;
}

// The estate car by the start has run low: it was last left with 8% of its
// 60 L tank, on Harbour Road 40 m short of the gas station at (-60, 35) (near
// enough for the station to be watched every frame, whatever the wall clock
// does). The player drives it into the station, fills up (NUMPAD 5 chooses
// "Fill up Gas"), pays once the tank is full, and drives on.
std::vector<SceneStep> filling_station() {
    constexpr Vec3 kStation{-60.0f, 35.0f, 6.0f};
    constexpr Vec3 kOnwards{0.0f, 35.0f, 6.0f};
    constexpr float kDrivingSpeed = 10.0f;
    return {
        {0,
         [](Host& host) {
             std::uint32_t estate = vehicle_models()[0].id;
             write_text("corvalen/service_stations.csv", "-60.00,35.00,5.00,6,1,Harbour Road,\n");
             write_text("corvalen/fuel_data.csv",
                        "Estate," + std::to_string(estate) + ",60,10,0,\nVan," +
                            std::to_string(vehicle_models()[2].id) + ",80,7.5,0,\n");
             write_text("corvalen/corvalen.conf", "blip_gas_station=true\n");
             World& world = host.world();
             Vehicle* car = first_of_model(world, estate);
             if (car == nullptr)
                 return;
             car->object.set_position({-100.0f, 35.0f, 6.0f});
             set_vehicle_float(car->object, kFuelRecordOffset, 1080.0f);
             host.enter_vehicle(car->handle);
             world.schedule_press(200, kNumpad5);
             host.note("scene: the player sits in the estate car, low on fuel");
         }},
        {20,
         [=](Host& host) {
             host.world().set_walk_target(kStation, kDrivingSpeed);
             host.note("scene: the player drives to the gas station");
         }},
        {760,
         [=](Host& host) {
             host.world().set_walk_target(kOnwards, kDrivingSpeed);
             host.note("scene: the player drives on");
         }},
    };
}

}  // namespace

std::optional<std::vector<SceneStep>> scene_steps(const std::string& name) {
    if (name == "filling-station")
        return filling_station();
    return std::nullopt;
}

}  // namespace hostsim
