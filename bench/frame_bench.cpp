// Google Benchmark suite: the frame tick in the situations a player meets,
// and each data file's load and save, in one world per run (the variable
// CORVALEN_BENCH_WORLD: typical, the sample data; large; huge, large with
// 100,000 bus points). Times are per frame; the counters say what part of a
// frame the game's own code took, the mod's own heap allocations and native
// calls per frame, and the median, 99th percentile and worst frame.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/frame_rig.h"
#include "bench/world_data.h"
#include "host/host_game.h"

namespace corvalen::bench {
namespace {

const std::filesystem::path kSample = std::filesystem::path(CORVALEN_SOURCE_DIR) / "data/corvalen";

std::string world_name() {
    const char* name = std::getenv("CORVALEN_BENCH_WORLD");
    return name != nullptr ? name : "typical";
}

std::optional<WorldSize> generated_size() {
    std::string name = world_name();
    if (name == "typical")
        return std::nullopt;
    WorldSize size;
    if (name == "huge")
        size.bus_points = 100000;
    return size;
}

// The world's data folder, written once per run beside the working folders.
const std::filesystem::path& world_data() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("corvalen-bench-" + world_name());
        std::filesystem::remove_all(path);
        if (std::optional<WorldSize> size = generated_size()) {
            write_world(path, *size, kSample);
        } else {
            std::filesystem::copy(kSample, path);
        }
        return path;
    }();
    return folder;
}

FrameRig& rig() {
    static FrameRig* the_rig = [] {
        auto* made = new FrameRig(world_data());
        made->frames(5);  // the first frame reloads everything
        return made;
    }();
    return *the_rig;
}

struct Spot {
    float x, y;
};

Spot station() {
    if (generated_size())
        return {generated_spots().station_x, generated_spots().station_y};
    return {-60.0f, 28.0f};  // the sample's gas station on Harbour Road
}

Spot property() {
    if (generated_size())
        return {generated_spots().property_x, generated_spots().property_y};
    return {-30.0f, 110.0f};  // a house for sale in the sample
}

enum class Situation { OnFoot, Driving, NearStation, NearProperty, MenuOpen, BusesRunning };

void set_up(FrameRig& rig, Situation situation) {
    hostsim::World& world = rig.world();
    if (rig.mod().main_menu.open) {
        rig.host().press_key(static_cast<std::uint8_t>(host::ScanCode::F12));
        rig.frame();
    }
    world.set_walk_target(world.player_position(), 0.0f);
    rig.frames(1);
    hostsim::Vec3 start{-120.0f, 35.0f, 6.0f};
    switch (situation) {
        case Situation::OnFoot:
        case Situation::BusesRunning:
            rig.stand_at(start);
            break;
        case Situation::Driving:
            rig.stand_at(start);
            rig.drive_nearest_vehicle();
            world.set_walk_target({start.x + 4000.0f, start.y + 2500.0f, start.z}, 15.0f);
            break;
        case Situation::NearStation:
            rig.stand_at({station().x + 2.0f, station().y + 1.0f, 5.0f});
            break;
        case Situation::NearProperty:
            rig.stand_at({property().x + 0.5f, property().y, 6.0f});
            break;
        case Situation::MenuOpen:
            rig.stand_at(start);
            rig.host().press_key(static_cast<std::uint8_t>(host::ScanCode::F12));
            break;
    }
    // Buses spawn every few seconds of game time; a minute of frames fills the fleet.
    rig.frames(situation == Situation::BusesRunning ? 2000 : 60);
}

void frame_tick(benchmark::State& state, Situation situation) {
    FrameRig& the_rig = rig();
    set_up(the_rig, situation);
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(state.max_iterations));
    double game = 0.0;
    std::uint64_t allocations = 0;
    std::uint64_t natives = 0;
    for (auto _ : state) {
        FrameCost cost = the_rig.frame();
        state.SetIterationTime(cost.seconds);
        times.push_back(cost.seconds);
        allocations += cost.allocations;
        natives += cost.natives;
    }
    auto frames = static_cast<double>(times.size());
    std::sort(times.begin(), times.end());
    auto percentile = [&](double p) {
        return times[std::min(times.size() - 1, static_cast<std::size_t>(p * frames))] * 1e6;
    };
    state.counters["median_us"] = percentile(0.5);
    state.counters["p99_us"] = percentile(0.99);
    state.counters["worst_us"] = times.back() * 1e6;
    // The game's share, from as many frames again with its code timed.
    the_rig.time_game_code(true);
    double wall = 0.0;
    for (std::size_t i = 0; i < times.size(); ++i) {
        FrameCost cost = the_rig.frame();
        wall += cost.wall_seconds;
        game += cost.game_seconds;
    }
    the_rig.time_game_code(false);
    state.counters["mod_us"] = (wall - game) / frames * 1e6;
    state.counters["game_us"] = game / frames * 1e6;
    state.counters["allocs"] = static_cast<double>(allocations) / frames;
    state.counters["natives"] = static_cast<double>(natives) / frames;
}

constexpr int kFrames = 3000;
constexpr int kLongRun = 20000;

BENCHMARK_CAPTURE(frame_tick, on_foot, Situation::OnFoot)->UseManualTime()->Iterations(kFrames);
BENCHMARK_CAPTURE(frame_tick, driving, Situation::Driving)->UseManualTime()->Iterations(kFrames);
BENCHMARK_CAPTURE(frame_tick, near_station, Situation::NearStation)
    ->UseManualTime()
    ->Iterations(kFrames);
BENCHMARK_CAPTURE(frame_tick, near_property, Situation::NearProperty)
    ->UseManualTime()
    ->Iterations(kFrames);
BENCHMARK_CAPTURE(frame_tick, menu_open, Situation::MenuOpen)->UseManualTime()->Iterations(kFrames);
BENCHMARK_CAPTURE(frame_tick, buses_running, Situation::BusesRunning)
    ->UseManualTime()
    ->Iterations(kFrames);
// Driving across the world for eleven minutes of game time: every spawn, every
// capture, every arrival at a stop is in it; the worst frame is the spike.
BENCHMARK_CAPTURE(frame_tick, long_drive, Situation::Driving)
    ->UseManualTime()
    ->Iterations(kLongRun);

// --- data files: each loaded and saved as the mod does, outside a frame -----------

template <typename Load>
void load_file(benchmark::State& state, Load load) {
    FrameRig& the_rig = rig();
    for (auto _ : state)
        benchmark::DoNotOptimize(load(the_rig.mod()));
}

BENCHMARK_CAPTURE(load_file, bus_stops, [](Mod& mod) {
    return mod.bus.load_points();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load_file, save_bus_stops, [](Mod& mod) {
    return mod.bus.save_points();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load_file, stations, [](Mod& mod) {
    return mod.auto_service.stations.load_stations();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load_file, save_stations, [](Mod& mod) {
    return mod.auto_service.stations.save_stations();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load_file, lots, [](Mod& mod) {
    return mod.public_parking.load_lots();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load_file, save_lots, [](Mod& mod) {
    return mod.public_parking.save_lots();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load_file, houses, [](Mod& mod) {
    return mod.real_estate.load_houses();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load_file, save_houses, [](Mod& mod) {
    return mod.real_estate.save_houses();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load_file, save_owned_houses, [](Mod& mod) {
    return mod.real_estate.save_owned_houses();
})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(load_file, save_house_cars, [](Mod& mod) {
    return mod.real_estate.garage.write_car_file();
})->Unit(benchmark::kMillisecond);

// The property database at a size of its own, whatever the world: 20,000
// properties of which 200 owned, in a data folder beside the world's.
ROViriVariruRoza& big_estate() {
    static ROViriVariruRoza* estate = [] {
        std::filesystem::path folder =
            std::filesystem::temp_directory_path() / "corvalen-bench-properties";
        std::filesystem::remove_all(folder);
        WorldSize size{};
        size.bus_points = size.boat_points = size.ship_points = 0;
        size.stations = size.lots = size.stored_cars = 0;
        size.properties = 20000;
        size.owned = 200;
        write_world(folder, size, kSample);
        rig();  // the stand-in the blips are made in
        auto* made = new ROViriVariruRoza("1");
        made->data_folder = folder.string();
        return made;
    }();
    return *estate;
}

void properties_20000(benchmark::State& state, bool save) {
    ROViriVariruRoza& estate = big_estate();
    estate.load_houses();
    for (auto _ : state)
        benchmark::DoNotOptimize(save ? estate.save_houses() : estate.load_houses());
}

BENCHMARK_CAPTURE(properties_20000, load, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(properties_20000, save, true)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvalen::bench

BENCHMARK_MAIN();
