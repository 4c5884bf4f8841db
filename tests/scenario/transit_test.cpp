// The transit services with the real plug-in in the stand-in's traffic. Every
// scenario ends with the stand-in holding nothing beyond the live fleet and
// having seen no host errors.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "plugin_scenario.h"

namespace corvalen::test {
namespace {

constexpr std::uint32_t kFirstSpawnDelay = 20000;

struct StopLine {
    float x;
    float y;
    int type;  // 0 stop, 1 spawn spot, 2 way point, 3 capture point
    float heading;
    int link_x = 0;
    int link_y = 0;
};

std::string stop_file(const std::vector<StopLine>& points, float z = 5.0f) {
    std::string text;
    char line[160];
    for (const StopLine& p : points) {
        std::snprintf(line, sizeof line, "%.2f,%.2f,%.2f,%.2f,%d,0,%d,%d,\n", p.x, p.y, z,
                      p.heading, p.type, p.link_x, p.link_y);
        text += line;
    }
    return text;
}

class TransitScenario : public PluginScenario {
  protected:
    void TearDown() override {
        if (game)
            expect_only_the_live_fleet();
    }

    void boot_at(hostsim::Vec3 player) {
        hostsim::BootOptions options = hostsim::boot_options(hostsim::Build::v1070);
        options.world.player_start = player;
        boot(options);
        frame();  // the first tick reloads
        game->pass_game_time(kFirstSpawnDelay);
    }
    // Vehicles the game did not park at the start: the services' fleets.
    std::vector<const hostsim::Vehicle*> fleet() {
        std::vector<const hostsim::Vehicle*> vehicles;
        for (const auto& [handle, car] : world().vehicles()) {
            if (!car.from_world_start)
                vehicles.push_back(&car);
        }
        return vehicles;
    }
    // Runs frames, noting where each new vehicle first stood.
    void run(int frames) {
        for (int i = 0; i < frames; ++i) {
            frame();
            for (const hostsim::Vehicle* car : fleet())
                first_seen.try_emplace(car->handle, car->object.position());
            most_at_once = std::max(most_at_once, fleet().size());
        }
    }
    // Journal lines about one vehicle, without the "frame N: " stamp.
    std::vector<std::string> events_of(std::int32_t vehicle) {
        std::string name = "vehicle " + hostsim::hex(static_cast<std::uint32_t>(vehicle)) + " ";
        std::vector<std::string> lines;
        for (const hostsim::JournalEntry& entry : world().journal()) {
            if (entry.text.rfind(name, 0) == 0)
                lines.push_back(entry.text.substr(name.size()));
        }
        return lines;
    }
    std::uint32_t frame_of(std::int32_t vehicle, const std::string& event) {
        std::string text =
            "vehicle " + hostsim::hex(static_cast<std::uint32_t>(vehicle)) + " " + event;
        for (const hostsim::JournalEntry& entry : world().journal()) {
            if (entry.text == text)
                return entry.frame;
        }
        ADD_FAILURE() << "never: " << text;
        return 0;
    }

    // Each live fleet vehicle keeps its driver and group; nothing else is
    // left behind, and the game saw no mistake.
    void expect_only_the_live_fleet() {
        std::size_t vehicles = fleet().size();
        for (const hostsim::Vehicle* car : fleet()) {
            const hostsim::Character* driver = world().character(car->driver);
            EXPECT_TRUE(driver != nullptr && driver->claimed) << hostsim::hex(car->handle);
        }
        EXPECT_EQ(world().characters().size(), 1 + vehicles) << "drivers";
        EXPECT_EQ(world().groups().size(), vehicles);
        EXPECT_EQ(world().blip_count(), 0u);
        for (const hostsim::JournalEntry& error : world().errors())
            ADD_FAILURE() << "frame " << error.frame << ": " << error.text;
    }

    std::map<std::int32_t, hostsim::Vec3> first_seen;
    std::size_t most_at_once = 0;
};

TEST_F(TransitScenario, BusesSpawnOnlyInTheRingAndNeverBeyondTheCap) {
    write_file("corvalen/corvalen.conf",
               "max_busses=2\nbus_spawn_delay=2000\nbus_spawn_spot_delay=1000\n");
    // Around the player at (-120, 35): 40 m and 200 m away lie outside the
    // ring of 60 to 180 m.
    write_file("corvalen/bus_stops.csv", stop_file({{-120, 75, 0, 90},
                                                    {-20, 35, 0, 180},
                                                    {-120, -85, 0, 270},
                                                    {-270, 35, 0, 0},
                                                    {80, 35, 0, 180}}));
    boot_at({-120.0f, 35.0f, 6.0f});
    run(400);
    EXPECT_EQ(most_at_once, 2u);
    for (const auto& [handle, at] : first_seen) {
        float distance = std::hypot(at.x + 120.0f, at.y - 35.0f);
        EXPECT_TRUE(60.0f <= distance && distance <= 180.0f)
            << hostsim::hex(handle) << " at " << distance << " m";
        EXPECT_EQ(at.z, 6.0f);
    }

    // At the cap the attempt waits for a free place every frame: a broken
    // bus is replaced as soon as its record goes.
    ASSERT_EQ(fleet().size(), 2u);
    int created = world().traffic().vehicles_created;
    world().vehicle(fleet()[0]->handle)->health = 0;
    run(3);
    EXPECT_EQ(world().traffic().vehicles_created, created + 1);
    EXPECT_EQ(fleet().size(), 2u);
    EXPECT_EQ(world().traffic().vehicles_released, 1);
}

TEST_F(TransitScenario, BoatsAppearOnlyAtSpawnSpots) {
    write_file("corvalen/boat_stops.csv",
               stop_file({{-120, 650, 0, 0}, {0, 700, 1, 0}, {-300, 600, 2, 0}}, 0.0f));
    boot_at({-120.0f, 500.0f, 6.0f});
    run(600);
    ASSERT_FALSE(first_seen.empty());
    for (const auto& [handle, at] : first_seen) {
        EXPECT_EQ(at.x, 0.0f);
        EXPECT_EQ(at.y, 700.0f);
        EXPECT_EQ(at.z, 0.0f) << "on the water";
        std::uint32_t model = world().vehicle(handle) ? world().vehicle(handle)->model : 0;
        EXPECT_TRUE(model == 0x3D961290 || model == 0x68E27CB6 || model == 0x1149422F)
            << hostsim::hex(model);
    }
}

// East along Harbour Road, the player at x = 100: the stop A links to the way
// point W, W to the stop B, B to the capture point C, C to the way point Z
// just beyond it, which ends the chain. Further east the capture point D
// leads to the stop E, and that chain ends too. Everything faces east
// (heading 270).
class BusRouteScenario : public TransitScenario {
  protected:
    void SetUp() override {
        TransitScenario::SetUp();
        if (IsSkipped())
            return;
        write_file("corvalen/corvalen.conf", "max_busses=1\n");
        write_file("corvalen/bus_stops.csv", stop_file({
                                                 {-60, 35, 0, 270, 10, 35},   // A
                                                 {10, 35, 2, 270, 60, 35},    // W
                                                 {60, 35, 0, 270, 120, 35},   // B
                                                 {120, 35, 3, 270, 135, 35},  // C
                                                 {135, 35, 2, 270},           // Z
                                                 {180, 35, 3, 270, 260, 35},  // D
                                                 {260, 35, 0, 270},           // E
                                             }));
        boot_at({100.0f, 45.0f, 6.0f});
    }
};

TEST_F(BusRouteScenario, ABusWorksTheChainsDwellsAtStopsAndIsCapturedAhead) {
    run(3000);
    ASSERT_FALSE(first_seen.empty());
    std::int32_t bus = first_seen.begin()->first;
    EXPECT_EQ(first_seen.begin()->second.x, -60.0f) << "spawned at A, the first point";

    const std::vector<std::string> expected = {
        "created, model 0xD577C962, kind 2, at (-60.00,35.00,6.00)",
        "ordered to wander at 8.00, style 1",  // the driver's first order
        "engine on",
        "ordered to drive to (10.00,35.00,5.00) within 15.00 at 8.00, style 1",  // W
        "ordered to drive to (60.00,35.00,5.00) within 15.00 at 8.00, style 1",  // B
        "at rest at (45.00,35.00,6.00)",
        "ordered to drive to (120.00,35.00,5.00) within 15.00 at 8.00, style 1",  // C
        "ordered to drive to (135.00,35.00,5.00) within 15.00 at 8.00, style 1",  // Z
        // Wandering on, it passes C, which it has just left, and takes D.
        "ordered to wander at 8.00, style 1",
        "ordered to drive to (180.00,35.00,5.00) within 15.00 at 8.00, style 1",  // D
        "ordered to drive to (260.00,35.00,5.00) within 15.00 at 8.00, style 1",  // E
        "at rest at (245.00,35.00,6.00)",
        "ordered to wander at 8.00, style 1",
        "released",
    };
    EXPECT_EQ(events_of(bus), expected);

    // The dwell at B: four seconds at rest before the next order.
    std::uint32_t rest = frame_of(bus, "at rest at (45.00,35.00,6.00)");
    std::uint32_t off =
        frame_of(bus, "ordered to drive to (120.00,35.00,5.00) within 15.00 at 8.00, style 1");
    EXPECT_GE((off - rest) * 33, 4000u);
    EXPECT_LE((off - rest) * 33, 4000u + 2 * 33);

    // Wandering on beyond 230 m from the player, it was removed.
    EXPECT_EQ(world().vehicle(bus), nullptr);
    EXPECT_EQ(world().traffic().vehicles_released, 1);
}

TEST_F(TransitScenario, AStuckBusIsOrderedOnInTheStyleThatPushesThrough) {
    write_file("corvalen/corvalen.conf", "max_busses=1\n");
    write_file("corvalen/bus_stops.csv",
               stop_file({{-40, 35, 0, 270, 160, 35}, {160, 35, 0, 270}}));
    boot_at({60.0f, 45.0f, 6.0f});
    run(2);
    ASSERT_EQ(fleet().size(), 1u);
    std::int32_t bus = fleet()[0]->handle;
    world().set_blocked(bus, true);
    run(30 * 1000 / 33 + 5);

    std::vector<std::string> events = events_of(bus);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.back(),
              "ordered to drive to (160.00,35.00,5.00) within 15.00 at 8.00, style 2");
    run(30 * 1000 / 33);
    EXPECT_GT(world().vehicle(bus)->object.position().x, 100.0f) << "on its way again";
}

TEST_F(TransitScenario, AFactoryThatFailsLeavesNothingBehind) {
    write_file("corvalen/bus_stops.csv", stop_file({{-20, 35, 0, 270}}));
    hostsim::BootOptions options = hostsim::boot_options(hostsim::Build::v1070);
    boot(options);
    frame();
    world().set_vehicle_pool_full(true);
    game->pass_game_time(kFirstSpawnDelay);
    run(10);
    EXPECT_TRUE(fleet().empty());
    EXPECT_EQ(world().groups().size(), 0u);

    // The point was stamped all the same: the next spawn there waits its
    // cooldown of a minute.
    world().set_vehicle_pool_full(false);
    run(7000 / 33);
    EXPECT_TRUE(fleet().empty());
    game->pass_game_time(60000);
    run(2);
    EXPECT_EQ(fleet().size(), 1u);
}

}  // namespace
}  // namespace corvalen::test
