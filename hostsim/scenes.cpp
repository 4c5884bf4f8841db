#include "hostsim/scenes.h"

#include <filesystem>
#include <fstream>

#include "hostsim/host.h"
#include "hostsim/platform.h"

namespace hostsim {
namespace {

constexpr std::uint8_t kNumpad5 = 0x4C;
constexpr std::uint8_t kEnter = 0x1C;

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

// The vehicle of a model nearest to a point; null when the world has none.
Vehicle* nearest_of_model(World& world, std::uint32_t model, Vec3 near) {
    Vehicle* found = nullptr;
    for (const auto& [handle, car] : world.vehicles()) {
        if (car.model == model &&
            (found == nullptr ||
             distance(car.object.position(), near) < distance(found->object.position(), near))) {
            found = world.vehicle(handle);
        }
    }
    return found;
}

// A car left in a pay car park overnight, in a time zone away from UTC. The
// modder has placed a lot on Harbour Road. At 22:28 the player drives the
// coupe into it and gets out; the game's save screen comes (after the 12 s of
// wall clock the plug-in waits between autosaves), the save is loaded again,
// the night passes, and at 08:00 the player gets into the re-created coupe
// and pays the overnight ticket.
std::vector<SceneStep> car_park() {
    constexpr Vec3 kLot{-60.0f, 35.0f, 6.0f};
    constexpr float kDrivingSpeed = 10.0f;
    constexpr std::int64_t kWallSeconds = 13;
    constexpr int kCollectHour = 8;
    const std::uint32_t coupe = vehicle_models()[1].id;
    return {
        {0,
         [=](Host& host) {
             set_process_time_zone("IST-5:30");
             write_text("corvalen/pub_parking_lots.csv", "-60.00,35.00,5.00,8,0,\n");
             World& world = host.world();
             world.set_clock(22, 28);
             if (Vehicle* car = first_of_model(world, coupe))
                 host.enter_vehicle(car->handle);
             host.note("scene: the player sits in the coupe, time zone IST-5:30");
         }},
        {5,
         [=](Host& host) {
             host.world().set_walk_target(kLot, kDrivingSpeed);
             host.note("scene: the player drives into the car park");
         }},
        {140,
         [](Host& host) {
             host.leave_vehicle();
             host.note("scene: the player gets out");
         }},
        {145,
         [=](Host& host) {
             host.pass_wall_time(kWallSeconds);
             host.note("scene: 13 s of wall clock pass");
         }},
        {150, [](Host& host) { host.world().open_save_screen(); }},
        {200, [](Host& host) { host.world().load_save(1); }},
        {230,
         [=](Host& host) {
             ClockReading now = host.world().clock();
             std::uint32_t seconds = static_cast<std::uint32_t>(
                 ((24 - now.hour + kCollectHour) * 60 - now.minute) * 60 - now.second);
             host.pass_game_time(seconds * 1000 / host.world().settings().clock_rate);
             host.note("scene: the night passes");
         }},
        {235,
         [=](Host& host) {
             if (Vehicle* car = nearest_of_model(host.world(), coupe, kLot))
                 host.enter_vehicle(car->handle);
             host.note("scene: the player gets into the coupe");
         }},
    };
}

// --- the driver mission ---------------------------------------------------------------

constexpr std::uint32_t kBus = 0xD577C962;
constexpr std::uint8_t kKeyB = 0x30;
constexpr float kDrivingSpeed = 12.0f;

// A, B and C along Harbour Road, facing east; the bus comes to rest 12 m
// short of a stop.
constexpr Vec3 kStopA{-100.0f, 35.0f, 6.0f};
constexpr Vec3 kAtB{-2.0f, 35.0f, 6.0f};
constexpr Vec3 kAtC{98.0f, 35.0f, 6.0f};
constexpr Vec3 kPastB{40.0f, 35.0f, 6.0f};
constexpr Vec3 kPastC{160.0f, 35.0f, 6.0f};

void drive(Host& host, Vec3 to, const std::string& what) {
    host.world().set_walk_target(to, kDrivingSpeed);
    host.note("scene: the player drives " + what);
}

void get_out(Host& host) {
    host.leave_vehicle();
    host.note("scene: the player gets out of the bus");
}

// The player sits at the wheel of a bus at the stop A on Harbour Road, in a
// bus network A -> B -> C along the road, with people waiting at B and C;
// he presses B and drives to B, waits while people board, and drives on. With
// two stops he also stops at C and gets out once C's fares are paid; with
// one he gets out soon after B's fares are paid.
std::vector<SceneStep> driver_mission_scene(int stops) {
    std::vector<SceneStep> steps = {
        {0,
         [](Host& host) {
             write_text("corvalen/bus_stops.csv",
                        "-100.00,35.00,5.00,270.00,0,0,10,35,\n"
                        "10.00,35.00,5.00,270.00,0,0,110,35,\n"
                        "110.00,35.00,5.00,270.00,0,0,0,0,\n");
             // Only the player's bus runs.
             write_text("corvalen/corvalen.conf", "max_busses=0\n");
             World& world = host.world();
             Vehicle& bus = world.add_vehicle(kBus, kStopA, 270.0f);
             host.enter_vehicle(bus.handle);
             // Two waiting at B, one at C.
             world.add_pedestrian({16.0f, 41.0f, 6.0f}, 0.0f);
             world.add_pedestrian({4.0f, 28.0f, 6.0f}, 0.0f);
             world.add_pedestrian({114.0f, 42.0f, 6.0f}, 0.0f);
             world.schedule_press(10, kKeyB);
             host.note("scene: the player sits at the wheel of a bus at stop A");
         }},
        {15, [](Host& host) { drive(host, kAtB, "to stop B"); }},
    };
    if (stops >= 2) {
        steps.push_back({820, [](Host& host) { drive(host, kAtC, "on to stop C"); }});
        // However many get off at C, the bus has left by then.
        steps.push_back({1840, [](Host& host) { drive(host, kPastC, "on"); }});
        steps.push_back({1960, get_out});
    } else {
        steps.push_back({820, [](Host& host) { drive(host, kPastB, "on"); }});
        steps.push_back({1000, get_out});
    }
    return steps;
}

// The estate agent's office stands on Harbour Road 8 m east of the start and
// a house for sale (with a garage) 12 m beyond it. The player walks to the
// office and asks for the agent (Enter), walks to the house with him and
// buys it (Enter), rests there and saves (Enter, the game's save screen),
// walks off down Cedar Avenue, and loads that save: the game starts at the
// house's door. 420 frames show it all.
std::vector<SceneStep> house_buying() {
    constexpr Vec3 kOffice{-112.0f, 35.0f, 6.0f};
    constexpr Vec3 kHouse{-100.0f, 35.0f, 6.0f};
    constexpr Vec3 kDownTheAvenue{-120.0f, 60.0f, 6.0f};
    constexpr float kWalkingSpeed = 5.0f;
    return {
        {0,
         [](Host& host) {
             write_text("corvalen/house_db.csv",
                        "-112.00,35.00,6.00,f,3,0,0.00,0.00,0.00,0,\n"
                        "-100.00,35.00,6.00,f,1,35000,-95.00,45.00,5.00,6,\n");
             World& world = host.world();
             world.set_float_stat(kCashStat, 50000.0f);
             world.schedule_press(70, kEnter);
             world.schedule_press(170, kEnter);
             world.schedule_press(200, kEnter);
             host.note("scene: the player has $50000 and wants a house");
         }},
        {1,
         [=](Host& host) {
             host.world().set_walk_target(kOffice, kWalkingSpeed);
             host.note("scene: the player walks to the estate agent's office");
         }},
        {80,
         [=](Host& host) {
             host.world().set_walk_target(kHouse, kWalkingSpeed);
             host.note("scene: the player walks to the house for sale");
         }},
        {260,
         [=](Host& host) {
             host.world().set_walk_target(kDownTheAvenue, kWalkingSpeed);
             host.note("scene: the player walks off down Cedar Avenue");
         }},
        {340,
         [](Host& host) {
             host.world().load_save(1);
             host.note("scene: the player loads the save made at the house");
         }},
    };
}

}  // namespace

std::optional<std::vector<SceneStep>> scene_steps(const std::string& name) {
    if (name == "filling-station")
        return filling_station();
    if (name == "car-park")
        return car_park();
    if (name == "driver-mission")
        return driver_mission_scene(2);
    if (name == "short-driver-mission")
        return driver_mission_scene(1);
    if (name == "house-buying")
        return house_buying();
    return std::nullopt;
}

}  // namespace hostsim
