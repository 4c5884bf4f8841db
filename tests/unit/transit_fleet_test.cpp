// A transit service's fleet against the stand-in's traffic.

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "transit_fixture.h"

namespace corvalen::test {
namespace {

using FleetTest = TransitTest;

TEST_F(FleetTest, EachServiceReadsTheSharedKeysAndKeepsItsOwnCap) {
    Config config;
    config.parse(
        "max_busses=8\nmax_ferries=3\nmax_ships=1\nbus_spawn_delay=-5\n"
        "bus_spawn_spot_delay=1000\nbus_respect_traffic=false\n");
    TransitService bus(ServiceMode::Bus, &config);
    TransitService boat(ServiceMode::Boat, &config);
    TransitService ship(ServiceMode::Ship, &config);
    EXPECT_EQ(bus.max_vehicles, 8);
    EXPECT_EQ(boat.max_vehicles, 3);
    EXPECT_EQ(ship.max_vehicles, 1);
    EXPECT_EQ(ship.spawn_delay, 0) << "a negative delay is none";
    EXPECT_EQ(bus.spot_cooldown, 1000);
    EXPECT_EQ(boat.spot_cooldown, 60000) << "the boat set-up keeps its own";
    EXPECT_FALSE(ship.capture_enabled) << "the ship set-up follows the boat's";
}

TEST_F(FleetTest, BusesSpawnInTheRingAtTheLeastRecentlyUsedFreePoint) {
    TransitService& bus = service_with(
        ServiceMode::Bus, {point_near(-30, 40), point_near(100, 0, RoutePointType::WayPoint),
                           point_near(0, -181), point_near(0, 60), point_near(-180, 0)});
    bus.points[1].last_spawn = 5;
    bus.points[3].last_spawn = 5;
    bus.points[4].last_spawn = 3;
    std::vector<float> spawned_x;
    for (int attempt = 0; attempt < 4; ++attempt) {
        spawn_frame();
        if (bus.vehicles.size() > spawned_x.size()) {
            hostsim::Vec3 at = car_of(bus.vehicles.back()).object.position();
            spawned_x.push_back(at.x - kPlayer.x);
            EXPECT_EQ(at.z, 6.0f) << "a metre above the ground";
        }
    }
    // 50 m and 181 m lie outside [60, 180]; the two points last used at 5
    // come in file order.
    EXPECT_EQ(spawned_x, (std::vector<float>{-180, 100, 0}));
    EXPECT_EQ(bus.points[4].last_spawn + 2 * 33, bus.points[3].last_spawn);
}

TEST_F(FleetTest, ASpotWaitsItsCooldownHoweverTheTimerRuns) {
    // The point's last spawn, whether it has spawned since the load, the
    // timer, whether it spawns now.
    for (auto [last_spawn, spawned, now, spawns] :
         {std::tuple{25000u, true, 31000u, false},  // small timer: 31000 - 60000 must not wrap
          {25000u, true, 85000u, true},
          {0xFFFF0000u, true, 0xFFFF0000u + 59000, false},
          {0xFFFF0000u, true, 0xFFFF0000u + 60000, true},  // across the wrap
          {0u, false, 31000u, true}}) {                    // not used since the load
        TransitService& bus = service_with(ServiceMode::Bus, {point_near(100, 0)});
        bus.points[0].last_spawn = last_spawn;
        bus.points[0].spawned = spawned;
        set_timer(now);
        spawn_frame();
        EXPECT_EQ(bus.vehicles.size(), spawns ? 1u : 0u) << last_spawn << " at " << now;
    }
}

TEST_F(FleetTest, AWantedPlayerOrALoweredCapStopsSpawning) {
    // 150 m away: inside the ring, and inside the wider one of a wanted player.
    TransitService& bus = service_with(
        ServiceMode::Bus, {point_near(150, 0), point_near(-150, 0), point_near(0, 150)});
    bus.max_vehicles = 3;
    world().set_wanted_level(3);  // the reduced cap of 2 holds
    for (int i = 0; i < 3; ++i)
        spawn_frame();
    EXPECT_EQ(bus.vehicles.size(), 2u);
    bus.max_vehicles = 1;
    world().set_wanted_level(0);
    spawn_frame();
    EXPECT_EQ(bus.vehicles.size(), 2u) << "above a lowered cap";
    std::uint32_t due = bus.next_spawn_time;
    fleet_frame();
    EXPECT_EQ(bus.next_spawn_time, due) << "the attempt waits for a place every frame";
}

TEST_F(FleetTest, NothingSpawnsWhileThePlayerIsIndoorsUnlessHeDrives) {
    TransitService& bus = service_with(ServiceMode::Bus, {point_near(150, 0)});
    world().player().indoors = true;
    spawn_frame();
    EXPECT_TRUE(bus.vehicles.empty());
    EXPECT_EQ(bus.next_spawn_time, world().game_timer() + 6000) << "the attempt is spent";
    game().enter_vehicle(world().add_vehicle(kBusModel, kPlayer, 0.0f).handle);
    spawn_frame();
    EXPECT_EQ(bus.vehicles.size(), 1u);
}

TEST_F(FleetTest, AVehicleArrivesWithinItsServicesDistanceOnceAtRest) {
    // The service, metres from the stop, whether it has arrived.
    const std::tuple<ServiceMode, float, bool> cases[] = {
        {ServiceMode::Bus, 19.5f, true},
        {ServiceMode::Bus, 20.5f, false},
        {ServiceMode::Ship, 24.5f, true},
        {ServiceMode::Ship, 25.5f, false},
    };
    for (auto [mode, metres, arrives] : cases) {
        service_with(mode, {point_near(0, 100)});
        ServiceVehicle& record = bus_at({kPlayer.x, kPlayer.y + 100 - metres, 6.0f}, 0);
        record.at_point = false;
        game_frame([&] { record.update(); });
        EXPECT_EQ(record.at_point, arrives) << metres;
    }
}

TEST_F(FleetTest, BoatsSpawnOnlyAtSpawnSpotsWithinTheirKeepAliveDistance) {
    TransitService& boat = service_with(
        ServiceMode::Boat, {point_near(200, 0), point_near(0, 351, RoutePointType::SpawnSpot),
                            point_near(-345, 0, RoutePointType::SpawnSpot),
                            point_near(0, -100, RoutePointType::SpawnSpot)});
    // In a car the ring widens to [140, 380]; a boat at 351 m would be
    // removed at once.
    game().enter_vehicle(world().add_vehicle(kBusModel, kPlayer, 0.0f).handle);
    spawn_frame();
    spawn_frame();
    ASSERT_EQ(boat.vehicles.size(), 1u);
    hostsim::Vec3 at = car_of(boat.vehicles[0]).object.position();
    EXPECT_EQ(at.x, kPlayer.x - 345);
    EXPECT_FALSE(boat.points[1].spawned) << "351 m is beyond the keep-alive distance";
    EXPECT_EQ(at.z, 0.0f) << "on the water";
}

TEST_F(FleetTest, AVehicleTheHostDoesNotMakeLeavesNothingButTheSpotsCooldown) {
    for (bool unknown_model : {true, false}) {
        SCOPED_TRACE(unknown_model ? "a model the host does not know" : "a full vehicle pool");
        TransitService& bus = service_with(ServiceMode::Bus, {point_near(100, 0)});
        if (unknown_model)
            bus.models = {0x0BADF00D};
        world().set_vehicle_pool_full(!unknown_model);
        spawn_frame();
        EXPECT_TRUE(bus.vehicles.empty());
        EXPECT_TRUE(world().groups().empty());
        EXPECT_TRUE(bus.points[0].spawned) << "the spot waits its cooldown all the same";
    }
}

TEST_F(FleetTest, AVehicleDoesNotStartAlongALinkWithAZero) {
    RoutePoint start = point_near(100, 0);
    RoutePoint next = point_at(0.4f, kPlayer.y + 100);
    link(start, next);  // link_x 0
    TransitService& bus = service_with(ServiceMode::Bus, {start, next});
    spawn_at({start.x, start.y, 6.0f});
    EXPECT_EQ(car_of(bus.vehicles[0]).order.kind, hostsim::DriveOrder::Kind::wander);
}

TEST_F(FleetTest, AVehicleThatIsHarmedFarOrWhoseDriverIsIsRemoved) {
    struct Case {
        const char* what;
        float away;
        std::int32_t driver_health, vehicle_health;
        bool driver_dead, hit_by_player, kept;
    };
    const Case cases[] = {
        {"sound, 229.5 m away", 229.5f, 51, 1000, false, false, true},
        {"230.5 m away", 230.5f, 200, 1000, false, false, false},
        {"driver at 50", 50, 50, 1000, false, false, false},
        {"driver dead", 50, 200, 1000, true, false, false},
        {"hit by the player", 50, 200, 1000, false, true, false},
        {"wrecked", 50, 200, 0, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TransitService& bus = service_with(ServiceMode::Bus, {});
        bus.show_points = true;
        ServiceVehicle& record = spawn_at({kPlayer.x + c.away, kPlayer.y, 6.0f});
        hostsim::Character& driver = *world().character(as_int(record.driver));
        driver.health = c.driver_health;
        driver.dead = c.driver_dead;
        car_of(record).health = c.vehicle_health;
        if (c.hit_by_player)
            car_of(record).damaged_by.push_back(world().player_character());
        int released = world().traffic().vehicles_released;
        fleet_frame();
        EXPECT_EQ(bus.vehicles.size(), c.kept ? 1u : 0u);
        // A removed vehicle is let go with its driver, group and blip.
        EXPECT_EQ(world().traffic().vehicles_released, released + (c.kept ? 0 : 1));
        EXPECT_EQ(world().groups().size(), c.kept ? 1u : 0u);
        EXPECT_EQ(world().blip_count(), c.kept ? 1u : 0u);
    }
}

// A load takes away the fleet, its drivers and groups and the people told to
// board; a bus of the game's own that the mission drove stays, but not its
// group. The reload forgets every handle without a word to the host.
TEST_F(FleetTest, AReloadForgetsTheFleetTheMissionAndThePeopleToldToBoard) {
    TransitService& bus = service_with(ServiceMode::Bus, {point_near(100, 0), point_near(-90, 0)});
    link(bus.points[1], bus.points[0]);
    bus.show_points = true;
    spawn_frame();
    game().run_frames(2);
    ASSERT_GT(game().save_game(), 0);
    ServiceVehicle& record = spawn_at({kPlayer.x + 100, kPlayer.y, 6.0f});
    std::int32_t boarder = world().add_pedestrian({kPlayer.x + 95, kPlayer.y, 6.0f}, 0.0f).handle;
    game_frame([&] { record.board(static_cast<host::Handle>(boarder), false); });
    // A driver mission from the nearer point, with its route blip.
    hostsim::Vehicle& parked = world().add_vehicle(kBusModel, kPlayer, 270.0f);
    parked.from_world_start = true;
    game().enter_vehicle(parked.handle);
    game_frame([&] { bus.start_mission(); });
    ASSERT_NE(bus.mission_blip, kNoHandle);
    // The inspector's blip at the nearer point's link.
    game_frame([&] { bus.inspect_frame(); });
    ASSERT_NE(bus.inspector_blip, kNoHandle);
    ASSERT_TRUE(game().load_game(1));
    int released = world().traffic().vehicles_released;
    game_frame([&] { bus.reset_spawning(); });
    EXPECT_TRUE(bus.vehicles.empty() && bus.releases.empty() && !bus.mission_vehicle);
    EXPECT_FALSE(bus.mission_active);
    EXPECT_FALSE(bus.points[0].spawned);
    EXPECT_EQ(bus.next_spawn_time, world().game_timer() + 20000);
    EXPECT_EQ(world().traffic().vehicles_released, released);
    EXPECT_EQ(world().blip_count(), 0u) << "blips at fixed points outlive a load";
}

TEST_F(FleetTest, TheDriveOrderCarriesTheServicesSpeedStyleApproachAndRange) {
    struct Case {
        const char* what;
        ServiceMode mode;
        RoutePointType target;
        bool player_aboard, backwards;
        float speed, range;
        std::int32_t style, approach;
    };
    constexpr RoutePointType kStop = RoutePointType::BusStop;
    constexpr RoutePointType kWay = RoutePointType::WayPoint;
    const Case cases[] = {
        {"bus, the player aboard", ServiceMode::Bus, kStop, true, false, 14, 15, 2, 0},
        {"bus to a backwards point", ServiceMode::Bus, kWay, false, true, 8, 15, 1, 2},
        {"boat, the player aboard, to a stop", ServiceMode::Boat, kStop, true, false, 5, 15, 0, 0},
        {"boat, the player aboard", ServiceMode::Boat, kWay, true, false, 35, 15, 0, 0},
        {"ship", ServiceMode::Ship, kWay, false, false, 30, 10, 0, 0},
    };
    Config config;  // buses push through with the player aboard
    config.parse("bus_respect_traffic=false\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RoutePoint to = point_near(0, 100, c.target);
        to.backwards = c.backwards;
        service_with(c.mode, {to}, &config);
        ServiceVehicle& record = spawn_at(kPlayer);
        if (c.player_aboard) {
            ASSERT_TRUE(game().enter_vehicle(as_int(record.vehicle), 0));
        }
        game_frame([&] { record.set_target(0); });
        const hostsim::DriveOrder& order = car_of(record).order;
        EXPECT_EQ(order.target.y, to.y);
        EXPECT_EQ(order.speed, c.speed);
        EXPECT_EQ(order.style, c.style);
        EXPECT_EQ(order.approach, c.approach);
        EXPECT_EQ(order.range, c.range);
        game().leave_vehicle();
    }
}

TEST_F(FleetTest, AStuckVehicleIsOrderedOnInTheStyleThatPushesThrough) {
    service_with(ServiceMode::Bus, {point_near(0, 150)}).next_spawn_time += 100000000;
    ServiceVehicle& record = spawn_at({kPlayer.x, kPlayer.y + 50, 6.0f});
    game_frame([&] { record.set_target(0); });
    world().set_blocked(as_int(record.vehicle), true);
    fleet_frame();  // the first update only starts it
    fleet_frame();  // the first check notes where it stands
    EXPECT_EQ(car_of(record).order.style, 1);
    set_timer(world().game_timer() + 30000);
    fleet_frame();
    EXPECT_EQ(car_of(record).order.style, hostsim::kPushThroughStyle);
    for (int frame = 0; frame < 30; ++frame)
        fleet_frame();
    EXPECT_GT(car_of(record).object.position().y, kPlayer.y + 52) << "on its way again";
}

TEST_F(FleetTest, CaptureTakesAPointAheadFacingTheVehiclesWayThatItDidNotJustLeave) {
    // The vehicle wanders east (heading 270); the point is 0, those it left
    // are numbered 1 and up.
    struct Case {
        const char* what;
        float degrees_aside, metres, dz, heading;
        bool long_in_service, taken;
        std::vector<std::int32_t> left;
    };
    const Case cases[] = {
        {"ahead", 0, 40, 0, 270, false, true, {}},
        {"facing 36 degrees off", 0, 40, 0, 234, false, false, {}},
        {"44 degrees aside", 44, 40, 0, 270, false, true, {}},
        {"46 degrees aside", -46, 40, 0, 270, false, false, {}},
        {"5 m above", 0, 40, 5.0f, 270, false, true, {}},
        {"5.1 m below", 0, 40, -5.1f, 270, false, false, {}},
        {"59 m", 0, 59, 0, 270, false, true, {}},
        {"61 m", 0, 61, 0, 270, false, false, {}},
        {"61 m after a minute", 0, 61, 0, 270, true, true, {}},
        {"81 m after a minute", 0, 81, 0, 270, true, false, {}},
        {"left three points ago", 0, 40, 0, 270, false, false, {1, 0, 2, 3}},
        {"left four points ago", 0, 40, 0, 270, false, true, {0, 1, 2, 3}},
    };
    service_with(ServiceMode::Bus, {point_near(0, 0, RoutePointType::CapturePoint)});
    hostsim::Vec3 at{kPlayer.x, kPlayer.y + 30, 6.0f};
    ServiceVehicle& record = spawn_at(at);
    record.started = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RoutePoint& point = service->points[0];
        float aside = c.degrees_aside * 3.14159265f / 180.0f;
        point.x = at.x + c.metres * std::cos(aside);
        point.y = at.y + c.metres * std::sin(aside);
        point.z = at.z + c.dz;
        point.heading = c.heading;
        record.spawn_time = world().game_timer() - (c.long_in_service ? 60001 : 0);
        record.next_capture_check = 0;
        game_frame([&] {
            record.lose_route();  // wandering, at `at` whatever the last order did
            record.history = c.left;
            car_of(record).object.set_position(at);
            car_of(record).object.set_heading(270.0f);
            record.update();
        });
        EXPECT_EQ(record.target == 0, c.taken);
    }
}

TEST_F(FleetTest, AVehicleOnALoopRemembersOnlyTheLastPointsItLeft) {
    // Boats never capture, so nothing else trims what they remember.
    TransitService& boat = service_with(
        ServiceMode::Boat, {point_near(-40, 0, RoutePointType::SpawnSpot), point_near(40, 0)});
    link(boat.points[0], boat.points[1]);
    link(boat.points[1], boat.points[0]);
    ServiceVehicle& record = spawn_at({kPlayer.x - 40, kPlayer.y, 0.0f});
    game_frame([&] {
        for (int lap = 0; lap < 100; ++lap)
            record.depart();
    });
    EXPECT_EQ(record.history, (std::vector<std::int32_t>{1, 0, 1, 0}));
}

}  // namespace
}  // namespace corvalen::test
