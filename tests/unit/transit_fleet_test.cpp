// A transit service's fleet against the stand-in's traffic.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "transit_fixture.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;

using test::kPlayer;
using test::point_near;
using FleetTest = test::TransitTest;

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
    EXPECT_EQ(ship.max_buses, 8) << "every service reads every cap";
    EXPECT_EQ(bus.spawn_delay, 0) << "a negative delay is none";
    EXPECT_EQ(ship.spawn_delay, 0);
    EXPECT_EQ(bus.spot_cooldown, 1000);
    EXPECT_EQ(boat.spot_cooldown, 60000) << "the boat set-up keeps its own";
    EXPECT_EQ(bus.boarded_style, 2) << "bus_respect_traffic=false";
    EXPECT_EQ(ship.search_extent, 350) << "the ship set-up follows the boat's";
    EXPECT_FALSE(ship.capture_enabled);
    EXPECT_EQ(TransitService(ServiceMode::Bus, nullptr).max_vehicles, 6);
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
    EXPECT_TRUE(bus.points[4].spawned);
    EXPECT_EQ(bus.points[4].last_spawn + 2 * 33, bus.points[3].last_spawn);
    EXPECT_FALSE(bus.points[0].spawned);
}

TEST_F(FleetTest, ASpotWaitsItsCooldownHoweverTheTimerRuns) {
    struct Case {
        std::uint32_t last_spawn;
        bool spawned;
        std::uint32_t now;
        bool spawns;
    };
    const Case cases[] = {
        {25000, true, 31000, false},  // small timer: 31000 - 60000 must not wrap
        {25000, true, 85000, true},
        {0xFFFF0000u, true, 0xFFFF0000u + 59000, false},
        {0xFFFF0000u, true, 0xFFFF0000u + 60000, true},  // across the wrap
        {0, false, 31000, true},                         // not used since the load
    };
    for (const Case& c : cases) {
        TransitService& bus = service_with(ServiceMode::Bus, {point_near(100, 0)});
        bus.points[0].last_spawn = c.last_spawn;
        bus.points[0].spawned = c.spawned;
        set_timer(c.now);
        spawn_frame();
        EXPECT_EQ(bus.vehicles.size(), c.spawns ? 1u : 0u) << c.last_spawn << " at " << c.now;
        game_frame([&] { bus.reset_spawning(); });
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
}

TEST_F(FleetTest, NothingSpawnsWhileThePlayerIsIndoorsUnlessHeDrives) {
    TransitService& bus = service_with(ServiceMode::Bus, {point_near(150, 0)});
    world().player().indoors = true;
    spawn_frame();
    EXPECT_TRUE(bus.vehicles.empty());
    EXPECT_EQ(bus.next_spawn_time, world().game_timer() + 6000) << "the attempt is spent";

    game().enter_vehicle(
        world().add_vehicle(hostsim::vehicle_models()[0].id, kPlayer, 0.0f).handle);
    spawn_frame();
    EXPECT_EQ(bus.vehicles.size(), 1u);
    game().leave_vehicle();
    world().player().indoors = false;
}

TEST_F(FleetTest, BoatsSpawnOnlyAtSpawnSpotsWithinTheirKeepAliveDistance) {
    TransitService& boat = service_with(
        ServiceMode::Boat, {point_near(200, 0), point_near(0, 351, RoutePointType::SpawnSpot),
                            point_near(-345, 0, RoutePointType::SpawnSpot)});
    // In a car the ring widens to [140, 380]; a boat at 351 m would be
    // removed at once.
    game().enter_vehicle(
        world().add_vehicle(hostsim::vehicle_models()[0].id, kPlayer, 0.0f).handle);
    spawn_frame();
    spawn_frame();
    ASSERT_EQ(boat.vehicles.size(), 1u);
    hostsim::Vec3 at = car_of(boat.vehicles[0]).object.position();
    EXPECT_EQ(at.x, kPlayer.x - 345);
    EXPECT_EQ(at.z, 0.0f) << "on the water";
    game().leave_vehicle();
}

TEST_F(FleetTest, AVehicleStartsAlongAFullLinkOnlyAndLeavesAlongAnyLink) {
    // A links fully to the stop B; B links with x 0 to C, out of the ring.
    game().teleport_player({-150.0f, 0.0f, 6.0f});
    RoutePoint a = point_near(150, 250);
    RoutePoint b = point_near(250, 250);
    RoutePoint c = point_near(300.4f, 250);
    a.x = -150.0f;
    b.x = -50.0f;
    c.x = 0.4f;
    a.link_x = -50;
    a.link_y = b.link_y = 100;
    TransitService& bus = service_with(ServiceMode::Bus, {a, b, c});

    bus.points[0].spawned = true;  // B spawns first
    spawn_frame();
    ASSERT_EQ(bus.vehicles.size(), 1u);
    EXPECT_EQ(bus.vehicles[0].target, -1) << "B's link has a zero";
    EXPECT_TRUE(bus.vehicles[0].wandering);
    EXPECT_EQ(car_of(bus.vehicles[0]).order.kind, hostsim::DriveOrder::Kind::wander);

    bus.points[0].spawned = false;
    spawn_frame();
    ASSERT_EQ(bus.vehicles.size(), 2u);
    host::Handle handle = bus.vehicles[1].vehicle;
    // The wanderer may be removed meanwhile, so the record is looked up.
    auto from_a = [&]() -> const ServiceVehicle& {
        for (const ServiceVehicle& record : bus.vehicles) {
            if (record.vehicle == handle)
                return record;
        }
        throw std::runtime_error("the bus from A is gone");
    };
    EXPECT_EQ(from_a().target, 1);
    EXPECT_FALSE(from_a().wandering);
    for (int frame = 0; frame < 2000 && from_a().target == 1; ++frame)
        fleet_frame();
    EXPECT_EQ(from_a().target, 2) << "leaving B follows its link";
    EXPECT_EQ(from_a().history, std::vector<std::int32_t>{1});
}

TEST_F(FleetTest, ATargetThatIsGoneSendsTheVehicleWanderingNotToTheOrigin) {
    TransitService& bus = service_with(ServiceMode::Bus, {point_near(100, 0), point_near(100, 80)});
    test::link(bus.points[0], bus.points[1]);
    spawn_frame();
    ASSERT_EQ(bus.vehicles.size(), 1u);
    ASSERT_EQ(bus.vehicles[0].target, 1);
    hostsim::Vehicle& car = car_of(bus.vehicles[0]);
    EXPECT_EQ(car.order.kind, hostsim::DriveOrder::Kind::to_point);

    bus.points.pop_back();  // the editor deleted it
    fleet_frame();
    fleet_frame();
    EXPECT_TRUE(bus.vehicles[0].wandering);
    EXPECT_EQ(car.order.kind, hostsim::DriveOrder::Kind::wander);
}

TEST_F(FleetTest, RemovalReleasesWhatExistsOnceAndForgetsTheRest) {
    TransitService& bus = service_with(ServiceMode::Bus, {point_near(100, 0), point_near(-100, 0)});
    bus.show_points = true;
    spawn_frame();
    bus.show_points = false;
    spawn_frame();
    ASSERT_EQ(bus.vehicles.size(), 2u);
    EXPECT_NE(bus.vehicles[0].blip, kNoHandle);
    EXPECT_EQ(bus.vehicles[1].blip, kNoHandle);
    std::size_t blips = world().blip_count();
    int released = world().traffic().vehicles_released;

    game().teleport_player({kPlayer.x + 400, kPlayer.y, kPlayer.z});  // both beyond 230 m
    fleet_frame();
    fleet_frame();
    EXPECT_TRUE(bus.vehicles.empty());
    EXPECT_EQ(world().traffic().vehicles_released, released + 2);
    EXPECT_EQ(world().blip_count(), blips - 1);
    EXPECT_EQ(world().characters().size(), 1u) << "drivers released";
    EXPECT_TRUE(world().groups().empty());
}

TEST_F(FleetTest, AReloadLetsGoOfTheFleetOfTheOldWorld) {
    TransitService& bus = service_with(ServiceMode::Bus, {point_near(100, 0), point_near(-100, 0)});
    bus.show_points = true;
    spawn_frame();
    game().run_frames(2);
    ASSERT_GT(game().save_game(), 0);
    spawn_frame();
    ASSERT_EQ(bus.vehicles.size(), 2u);

    ASSERT_TRUE(game().load_game(1));
    game_frame([&] { bus.reset_spawning(); });
    EXPECT_TRUE(bus.vehicles.empty());
    EXPECT_FALSE(bus.points[0].spawned);
    EXPECT_TRUE(world().groups().empty());

    // Another identity in the same world: the vehicles are still there and
    // are let go entirely.
    spawn_frame();
    ASSERT_EQ(bus.vehicles.size(), 1u);
    game_frame([&] { bus.reset_spawning(); });
    EXPECT_EQ(world().characters().size(), 1u);
    EXPECT_TRUE(world().groups().empty());
    EXPECT_EQ(world().blip_count(), 0u);
}

TEST_F(FleetTest, AVehicleThatIsHarmedOrWhoseDriverIsIsRemoved) {
    struct Case {
        const char* what;
        std::int32_t driver_health;
        bool driver_dead;
        bool hit_by_player;
        std::int32_t vehicle_health;
        bool kept;
    };
    const Case cases[] = {
        {"sound", 51, false, false, 1000, true},
        {"driver at 50", 50, false, false, 1000, false},
        {"driver dead", 200, true, false, 1000, false},
        {"hit by the player", 200, false, true, 1000, false},
        {"wrecked", 200, false, false, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TransitService& bus = service_with(ServiceMode::Bus, {});
        ServiceVehicle& record = spawn_at({kPlayer.x + 50, kPlayer.y, 6.0f});
        hostsim::Character& driver = *world().character(test::as_int(record.driver));
        driver.health = c.driver_health;
        driver.dead = c.driver_dead;
        car_of(record).health = c.vehicle_health;
        if (c.hit_by_player)
            car_of(record).damaged_by.push_back(world().player_character());
        fleet_frame();
        EXPECT_EQ(bus.vehicles.size(), c.kept ? 1u : 0u);
        game_frame([&] { bus.reset_spawning(); });
    }
}

TEST_F(FleetTest, TheDriveOrderCarriesTheServicesSpeedStyleApproachAndRange) {
    struct Case {
        const char* what;
        ServiceMode mode;
        const char* config;
        bool player_aboard;
        RoutePointType target;
        bool backwards;
        float speed;
        std::int32_t style;
        std::int32_t approach;
        float range;
    };
    const Case cases[] = {
        {"bus", ServiceMode::Bus, "", false, RoutePointType::BusStop, false, 8, 1, 0, 15},
        {"bus with the player, pushing through", ServiceMode::Bus, "bus_respect_traffic=false",
         true, RoutePointType::WayPoint, false, 14, 2, 0, 15},
        {"bus to a backwards point", ServiceMode::Bus, "", false, RoutePointType::WayPoint, true, 8,
         1, 2, 15},
        {"boat with the player to a stop", ServiceMode::Boat, "", true, RoutePointType::BusStop,
         false, 5, 0, 0, 15},
        {"boat with the player", ServiceMode::Boat, "", true, RoutePointType::WayPoint, false, 35,
         0, 0, 15},
        {"ship", ServiceMode::Ship, "", false, RoutePointType::WayPoint, false, 30, 0, 0, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Config config;
        config.parse(c.config);
        RoutePoint to = point_near(0, 100, c.target);
        to.backwards = c.backwards;
        service_with(c.mode, {to}, &config);
        ServiceVehicle& record = spawn_at(kPlayer);
        if (c.player_aboard) {
            ASSERT_TRUE(game().enter_vehicle(test::as_int(record.vehicle), 0));
        }
        game_frame([&] { record.set_target(0); });
        const hostsim::DriveOrder& order = car_of(record).order;
        EXPECT_EQ(order.kind, hostsim::DriveOrder::Kind::to_point);
        EXPECT_EQ(order.target.y, to.y);
        EXPECT_EQ(order.speed, c.speed);
        EXPECT_EQ(order.style, c.style);
        EXPECT_EQ(order.approach, c.approach);
        EXPECT_EQ(order.range, c.range);
        game().leave_vehicle();
        game_frame([&] { service->reset_spawning(); });
    }
}

TEST_F(FleetTest, CaptureTakesAPointAheadFacingTheVehiclesWayThatItDidNotJustLeave) {
    // The vehicle wanders east (heading 270); the point is 0, those it left
    // are numbered 1 and up.
    struct Case {
        const char* what;
        float dx, dy, dz;
        float heading;
        bool long_in_service;
        std::vector<std::int32_t> left;
        bool taken;
    };
    const float ahead44 = 40.0f * std::cos(44.0f * 3.14159265f / 180.0f);
    const float aside44 = 40.0f * std::sin(44.0f * 3.14159265f / 180.0f);
    const float ahead46 = 40.0f * std::cos(46.0f * 3.14159265f / 180.0f);
    const float aside46 = 40.0f * std::sin(46.0f * 3.14159265f / 180.0f);
    const Case cases[] = {
        {"ahead", 40, 0, 0, 270, false, {}, true},
        {"facing 34 degrees off", 40, 0, 0, 304, false, {}, true},
        {"facing 36 degrees off", 40, 0, 0, 234, false, {}, false},
        {"44 degrees off ahead", ahead44, aside44, 0, 270, false, {}, true},
        {"46 degrees off ahead", ahead46, -aside46, 0, 270, false, {}, false},
        {"behind", -40, 0, 0, 270, false, {}, false},
        {"5 m above", 40, 0, 5.0f, 270, false, {}, true},
        {"5.1 m below", 40, 0, -5.1f, 270, false, {}, false},
        {"59 m", 59, 0, 0, 270, false, {}, true},
        {"61 m", 61, 0, 0, 270, false, {}, false},
        {"61 m after a minute", 61, 0, 0, 270, true, {}, true},
        {"81 m after a minute", 81, 0, 0, 270, true, {}, false},
        {"left three points ago", 40, 0, 0, 270, false, {1, 0, 2, 3}, false},
        {"left four points ago", 40, 0, 0, 270, false, {0, 1, 2, 3}, true},
    };
    service_with(ServiceMode::Bus, {point_near(0, 0, RoutePointType::CapturePoint)});
    hostsim::Vec3 at{kPlayer.x, kPlayer.y + 30, 6.0f};
    ServiceVehicle& record = spawn_at(at);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RoutePoint& point = service->points[0];
        point.x = at.x + c.dx;
        point.y = at.y + c.dy;
        point.z = at.z + c.dz;
        point.heading = c.heading;
        record.started = true;
        record.at_point = false;
        record.wandering = true;
        record.target = -1;
        record.next_capture_check = 0;
        record.history = c.left;
        record.spawn_time = world().game_timer() - (c.long_in_service ? 60001 : 0);
        game_frame([&] {
            car_of(record).object.set_position(at);  // wherever the last order took it
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
    test::link(boat.points[0], boat.points[1]);
    test::link(boat.points[1], boat.points[0]);
    ServiceVehicle& record = spawn_at({kPlayer.x - 40, kPlayer.y, 0.0f});
    game_frame([&] {
        for (int lap = 0; lap < 100; ++lap)
            record.depart();
    });
    EXPECT_EQ(record.history, (std::vector<std::int32_t>{1, 0, 1, 0}));
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
        world().set_vehicle_pool_full(false);
    }
}

}  // namespace
}  // namespace corvalen
