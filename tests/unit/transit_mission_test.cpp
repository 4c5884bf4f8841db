// The driver mission against the stand-in: when B starts it, a run along the
// network, and its end.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "transit_fixture.h"

namespace corvalen {
namespace {

using test::as_int;
using test::game;
using test::game_frame;
using test::kPlayer;
using test::point_near;
using test::texts_of;

constexpr std::uint8_t kB = 0x30;
constexpr std::uint32_t kEstate = 0x8A1C3E05;
constexpr std::uint32_t kFerry = 0x3D961290;

class MissionTest : public test::TransitTest {
  protected:
    // The player at the wheel of a vehicle of that model, where he stands.
    std::int32_t drive_new(std::uint32_t model) {
        std::int32_t vehicle = world().add_vehicle(model, world().player_position(), 270.0f).handle;
        EXPECT_TRUE(game().enter_vehicle(vehicle));
        return vehicle;
    }
    // A vehicle of the service's fleet 10 m east of the player, its driver
    // aboard and holding still.
    void fleet_vehicle_near_the_player() {
        hostsim::Vec3 at = world().player_position();
        ServiceVehicle& record = spawn_at({at.x + 10.0f, at.y, at.z});
        ASSERT_EQ(service->vehicles.size(), 1u);
        game_frame([&] { host::clear_character_orders(record.driver); });
    }
    void remove_fleet() {
        game_frame([&] {
            for (ServiceVehicle& record : service->vehicles)
                record.remove();
        });
        service->vehicles.clear();
    }
    const hostsim::DrawItem* marker_in(const hostsim::DrawRecord& draws) {
        for (const hostsim::DrawItem& item : draws) {
            if (item.kind == hostsim::DrawKind::marker)
                return &item;
        }
        return nullptr;
    }
    const hostsim::Blip* route_blip() { return world().blip(as_int(service->mission_blip)); }
    static std::vector<std::string> panel(int passengers, int revenue) {
        return {"Driver Mission", "passengers: " + std::to_string(passengers),
                "revenue: $" + std::to_string(revenue)};
    }
};

TEST_F(MissionTest, BStartsTheMissionOnlyAtTheWheelOfABusModel) {
    struct Case {
        const char* where;
        ServiceMode mode;
        std::uint32_t model;  // 0: on foot
        bool as_passenger;
        bool starts;
        bool boards;  // the passenger action: he boards the fleet's vehicle in reach
    };
    const Case cases[] = {
        {"on foot", ServiceMode::Bus, 0, false, false, true},
        {"at the wheel of a car", ServiceMode::Bus, kEstate, false, false, true},
        {"in a bus's passenger seat", ServiceMode::Bus, kBusModel, true, false, true},
        {"at the wheel of a bus", ServiceMode::Bus, kBusModel, false, true, false},
        {"at the wheel of a ferry", ServiceMode::Boat, kFerry, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        game().leave_vehicle();
        service_with(c.mode, {point_near(0, 30)});
        if (c.model != 0) {
            std::int32_t vehicle =
                world().add_vehicle(c.model, world().player_position(), 270.0f).handle;
            ASSERT_TRUE(game().enter_vehicle(vehicle, c.as_passenger ? 0 : hostsim::kDriverSeat));
        }
        // A vehicle of the fleet in reach, for the passenger action.
        fleet_vehicle_near_the_player();
        service->mission_passengers = 7;
        service->mission_revenue = 9;
        press(kB);
        EXPECT_EQ(service->mission_active, c.starts);
        EXPECT_EQ(service->mission_vehicle != nullptr, c.starts);
        EXPECT_EQ(service->player_fare_due, c.boards);
        if (c.starts) {
            EXPECT_EQ(service->mission_passengers, 0);
            EXPECT_EQ(service->mission_revenue, 0);
            EXPECT_TRUE(service->mission_vehicle->player_driven);
            EXPECT_EQ(service->mission_vehicle->driver, host::Handle(world().player_character()));
        }
        EXPECT_EQ(service->vehicles.size(), 1u) << "the mission's bus is not one of the fleet";
        game().leave_vehicle();
        tick();
        EXPECT_FALSE(service->mission_active);
        remove_fleet();
    }
}

TEST_F(MissionTest, BDuringTheMissionIsThePassengerActionNotASecondMission) {
    service_with(ServiceMode::Bus, {point_near(0, 30)});
    drive_new(kBusModel);
    press(kB);
    ASSERT_TRUE(service->mission_active);
    ServiceVehicle* first = service->mission_vehicle.get();
    fleet_vehicle_near_the_player();
    press(kB);
    EXPECT_EQ(service->mission_vehicle.get(), first);
    EXPECT_TRUE(service->player_fare_due) << "he boards the fleet's bus in reach";
    game().leave_vehicle();
    tick();
    remove_fleet();
}

// The stop A where the player starts links to the way point W 100 m east,
// W to the stop B 100 m further; people wait at B.
class MissionRunTest : public MissionTest {
  protected:
    void SetUp() override {
        MissionTest::SetUp();
        RoutePoint a = point_near(0, 20);
        RoutePoint w = point_near(100, 20, RoutePointType::WayPoint);
        RoutePoint b = point_near(200, 20);
        test::link(a, w);
        test::link(w, b);
        service_with(ServiceMode::Bus, {a, w, b});
        service->next_spawn_time = world().game_timer() + 100000000;
        game().teleport_player({kPlayer.x, kPlayer.y + 20, 6.0f});
        bus = drive_new(kBusModel);
        start = world().cash();
    }
    float x_of(std::int32_t point) { return service->points[static_cast<std::size_t>(point)].x; }
    float car_speed() { return world().vehicle(bus)->parts.speed; }

    std::int32_t bus = 0;
    float start = 0.0f;
};

TEST_F(MissionRunTest, TheBusRunsFromStopToStopAndItsFaresGoToThePlayer) {
    std::int32_t first = world().add_pedestrian({x_of(2) + 4, kPlayer.y + 25, 6.0f}, 0.0f).handle;
    std::int32_t second = world().add_pedestrian({x_of(2) - 6, kPlayer.y + 14, 6.0f}, 0.0f).handle;

    hostsim::DrawRecord shown = press(kB);
    ASSERT_TRUE(service->mission_active);
    EXPECT_EQ(service->mission_vehicle->target, 1) << "A's link: the way point";
    ASSERT_NE(route_blip(), nullptr);
    EXPECT_EQ(route_blip()->position.x, x_of(1));

    tick();  // the vehicle's first update only starts it
    shown = tick();
    EXPECT_TRUE(has_text(shown, "Proceed to next stop. 100m"));
    const hostsim::DrawItem* marker = marker_in(shown);
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->x, x_of(1));
    EXPECT_EQ(marker->colour, (hostsim::Colour{0, 128, 0, 64}));
    std::vector<std::string> texts = texts_of(shown);
    EXPECT_EQ(std::vector<std::string>(texts.end() - 3, texts.end()), panel(0, 0));

    // Passing the way point at speed counts at once.
    world().set_walk_target({x_of(1) + 30, kPlayer.y + 20, 6.0f}, 10.0f);
    for (int frame = 0; frame < 400 && service->mission_vehicle->target == 1; ++frame)
        tick();
    EXPECT_EQ(service->mission_vehicle->target, 2);
    EXPECT_GT(car_speed(), 0.0f);
    EXPECT_EQ(route_blip()->position.x, x_of(2)) << "the blip moved on";
    EXPECT_EQ(world().blip_count(), 1u);

    // A stop reached at speed does not count until the bus stands.
    world().set_walk_target({x_of(2) - 10, kPlayer.y + 20, 6.0f}, 10.0f);
    int inside_at_speed = 0;
    while (world().walking()) {
        tick();
        if (x_of(2) - world().vehicle(bus)->object.position().x < 20.0f && car_speed() > 0.0f) {
            ++inside_at_speed;
            EXPECT_FALSE(service->mission_vehicle->at_point);
        }
    }
    EXPECT_GT(inside_at_speed, 0);
    EXPECT_TRUE(service->mission_vehicle->at_point) << "arrived as it came to rest";
    EXPECT_EQ(world().character(first)->enter.vehicle, bus);
    EXPECT_EQ(world().character(second)->enter.vehicle, bus);
    shown = tick();
    EXPECT_TRUE(has_text(shown, "Wait..."));
    EXPECT_EQ(marker_in(shown), nullptr);

    for (int frame = 0; frame < 40 * 30 && service->mission_passengers == 0; ++frame)
        shown = tick();
    EXPECT_EQ(world().cash(), start + 6.0f);
    EXPECT_EQ(service->mission_passengers, 2);
    EXPECT_EQ(service->mission_revenue, 6);
    ASSERT_EQ(world().speeches().size(), 1u);
    EXPECT_EQ(world().speeches()[0].line, "THANKS");
    EXPECT_EQ(world().speeches()[0].character, world().player_character());
    texts = texts_of(shown);
    EXPECT_EQ(std::vector<std::string>(texts.end() - 3, texts.end()), panel(2, 6));
    EXPECT_TRUE(has_text(shown, "Go ahead")) << "B ends the network";
    EXPECT_EQ(world().blip_count(), 0u);

    game().leave_vehicle();
    shown = tick();
    EXPECT_FALSE(service->mission_active);
    EXPECT_TRUE(texts_of(shown).empty()) << "the panel goes with the mission";
}

TEST_F(MissionRunTest, GettingOutEndsTheMissionAndLeavesThePlayerHisBus) {
    press(kB);
    ASSERT_TRUE(service->mission_active);
    tick();
    std::size_t groups = world().groups().size();
    std::int32_t blip = as_int(service->mission_blip);
    ASSERT_NE(world().blip(blip), nullptr);

    game().leave_vehicle();
    tick();
    tick();
    EXPECT_FALSE(service->mission_active);
    EXPECT_EQ(service->mission_vehicle, nullptr);
    EXPECT_EQ(world().blip(blip), nullptr);
    EXPECT_EQ(service->mission_blip, kNoHandle);
    EXPECT_EQ(world().groups().size(), groups - 1) << "the mission's group is let go";
    ASSERT_NE(world().vehicle(bus), nullptr) << "the bus stays the player's";
    std::string out =
        "vehicle " + hostsim::hex(static_cast<std::uint32_t>(bus)) + " out of service";
    EXPECT_EQ(std::count_if(world().journal().begin(), world().journal().end(),
                            [&](const hostsim::JournalEntry& e) { return e.text == out; }),
              1);
    EXPECT_EQ(world().traffic().vehicles_released, 0);
    EXPECT_EQ(world().cash(), start) << "nothing is paid at the end";
}

TEST_F(MissionRunTest, ADestroyedBusOrAnotherOfItsModelEndsTheMission) {
    for (bool destroyed : {false, true}) {  // the other bus is the one destroyed
        SCOPED_TRACE(destroyed ? "destroyed" : "another bus");
        press(kB);
        ASSERT_TRUE(service->mission_active);
        if (destroyed) {
            world().remove_vehicle(bus);  // nothing more is asked of it
        } else {
            game().leave_vehicle();
            bus = drive_new(kBusModel);  // in the same frame, as the stand-in allows
        }
        tick();
        EXPECT_FALSE(service->mission_active);
        EXPECT_EQ(world().blip_count(), 0u);
    }
    game().leave_vehicle();
}

TEST_F(MissionRunTest, LoadingAnotherSaveLetsGoOfTheMission) {
    game().run_frames(2);
    ASSERT_GT(game().save_game(), 0);
    press(kB);
    tick();
    ASSERT_TRUE(service->mission_active);
    ASSERT_TRUE(game().load_game(1));
    game_frame([&] { service->reset_spawning(); });
    EXPECT_FALSE(service->mission_active);
    EXPECT_EQ(service->mission_vehicle, nullptr);
    EXPECT_EQ(world().blip_count(), 0u) << "the route blip at a fixed point outlived the load";
    tick();
}

TEST_F(MissionRunTest, AwayFromTheNetworkTheBusWandersUntilItPassesAStop) {
    game().leave_vehicle();
    world().remove_vehicle(bus);
    game().teleport_player({kPlayer.x - 400, kPlayer.y + 20, 6.0f});
    bus = drive_new(kBusModel);
    press(kB);
    ASSERT_TRUE(service->mission_active);
    hostsim::DrawRecord shown = tick();
    shown = tick();
    EXPECT_TRUE(service->mission_vehicle->wandering) << "not sent to the first point's link";
    EXPECT_TRUE(has_text(shown, "Go ahead"));
    EXPECT_EQ(service->mission_blip, kNoHandle);

    // Driving east along the road, facing the way the stops face, A ahead is
    // captured.
    for (RoutePoint& point : service->points)
        point.heading = 270.0f;
    world().set_walk_target({kPlayer.x - 30, kPlayer.y + 20, 6.0f}, 10.0f);
    for (int frame = 0; frame < 2000 && service->mission_vehicle->wandering; ++frame)
        shown = tick();
    EXPECT_EQ(service->mission_vehicle->target, 0);
    EXPECT_TRUE(has_text(shown, "Go ahead")) << "the capture's frame still wanders";
    EXPECT_EQ(marker_in(shown), nullptr);
    EXPECT_NE(route_blip(), nullptr);
    game().leave_vehicle();
    tick();
}

}  // namespace
}  // namespace corvalen
