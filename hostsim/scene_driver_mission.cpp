#include "hostsim/scene_driver_mission.h"

#include <filesystem>
#include <fstream>
#include <string>

#include "hostsim/host.h"

namespace hostsim {
namespace {

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

void write_text(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void drive(Host& host, Vec3 to, const std::string& what) {
    host.world().set_walk_target(to, kDrivingSpeed);
    host.note("scene: the player drives " + what);
}

void get_out(Host& host) {
    host.leave_vehicle();
    host.note("scene: the player gets out of the bus");
}

}  // namespace

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
        steps.push_back({1800, [](Host& host) { drive(host, kPastC, "on"); }});
        steps.push_back({1900, get_out});
    } else {
        steps.push_back({820, [](Host& host) { drive(host, kPastB, "on"); }});
        steps.push_back({1000, get_out});
    }
    return steps;
}

}  // namespace hostsim
