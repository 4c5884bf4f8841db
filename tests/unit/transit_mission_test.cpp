// The driver mission against the stand-in: when B starts it, a run along the
// network, and its end. The fares the player takes are shown by the
// driver-mission scenario.

#include <gtest/gtest.h>

#include <string>

#include "transit_fixture.h"

namespace corvalen::test {
namespace {

class MissionTest : public TransitTest {
  protected:
    // The player at the wheel of a vehicle of that model, where he stands.
    std::int32_t drive_new(std::uint32_t model, std::int32_t seat = hostsim::kDriverSeat) {
        std::int32_t vehicle = world().add_vehicle(model, world().player_position(), 270.0f).handle;
        EXPECT_TRUE(game().enter_vehicle(vehicle, seat));
        return vehicle;
    }
    const hostsim::Blip* route_blip() { return world().blip(as_int(service->mission_blip)); }
};

TEST_F(MissionTest, BStartsTheMissionOnlyAtTheWheelOfABusModel) {
    struct Case {
        const char* where;
        ServiceMode mode;
        std::uint32_t model;  // 0: on foot
        std::int32_t seat;
        // A mission runs already; one starts; the passenger action boards the
        // fleet's vehicle in reach.
        bool running, starts, boards;
    };
    constexpr std::int32_t kWheel = hostsim::kDriverSeat;
    const Case cases[] = {
        {"on foot", ServiceMode::Bus, 0, kWheel, false, false, true},
        {"at the wheel of a car", ServiceMode::Bus, 0x8A1C3E05, kWheel, false, false, true},
        {"in a bus's passenger seat", ServiceMode::Bus, kBusModel, 0, false, false, true},
        {"at the wheel of a bus", ServiceMode::Bus, kBusModel, kWheel, false, true, false},
        {"at the wheel, a mission running", ServiceMode::Bus, kBusModel, kWheel, true, false, true},
        {"at the wheel of a ferry", ServiceMode::Boat, 0x3D961290, kWheel, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        service_with(c.mode, {point_near(0, 30)});
        if (c.model != 0)
            drive_new(c.model, c.seat);
        if (c.running)
            press(kB);
        ServiceVehicle* running = service->mission_vehicle.get();
        // A vehicle of the fleet in reach, for the passenger action.
        hostsim::Vec3 at = world().player_position();
        bus_at({at.x + 10, at.y, at.z});
        service->mission_passengers = 7;
        service->mission_revenue = 9;
        press(kB);
        ServiceVehicle* started = service->mission_vehicle.get();
        EXPECT_EQ(started != nullptr && started != running, c.starts);
        EXPECT_EQ(service->player_fare_due, c.boards);
        if (c.starts) {
            EXPECT_EQ(service->mission_passengers + service->mission_revenue, 0);
        }
        EXPECT_EQ(service->vehicles.size(), 1u) << "the mission's bus is not one of the fleet";
        game().leave_vehicle();
        tick();
        EXPECT_FALSE(service->mission_active);
    }
}

// The stop A where the player starts links to the way point W 100 m east,
// W to the stop B 100 m further.
class MissionRunTest : public MissionTest {
  protected:
    void SetUp() override {
        MissionTest::SetUp();
        RoutePoint a = point_near(0, 20);
        RoutePoint w = point_near(100, 20, RoutePointType::WayPoint);
        RoutePoint b = point_near(200, 20);
        link(a, w);
        link(w, b);
        service_with(ServiceMode::Bus, {a, w, b}).next_spawn_time += 100000000;
        game().teleport_player({kPlayer.x, kPlayer.y + 20, 6.0f});
        bus = drive_new(kBusModel);
    }
    float x_of(std::int32_t point) { return service->points[static_cast<std::size_t>(point)].x; }
    float car_speed() { return world().vehicle(bus)->parts.speed; }

    std::int32_t bus = 0;
};

TEST_F(MissionRunTest, TheBusRunsFromStopToStopFollowingThePromptsMarkerAndBlip) {
    press(kB);
    ASSERT_NE(route_blip(), nullptr) << "the mission starts";
    EXPECT_EQ(route_blip()->position.x, x_of(1)) << "A's link: the way point";
    tick();  // the vehicle's first update only starts it
    hostsim::DrawRecord shown = tick();
    EXPECT_TRUE(has_text(shown, "Proceed to next stop. 100m"));
    std::vector<const hostsim::DrawItem*> marker = drawn(shown, hostsim::DrawKind::marker);
    ASSERT_EQ(marker.size(), 1u);
    EXPECT_EQ(marker[0]->x, x_of(1));
    EXPECT_EQ(marker[0]->colour, (hostsim::Colour{0, 128, 0, 64}));
    EXPECT_TRUE(has_text(shown, "Driver Mission"));

    // Passing the way point at speed counts at once; a stop only once the
    // bus stands.
    world().set_walk_target({x_of(1) + 30, kPlayer.y + 20, 6.0f}, 10.0f);
    for (int frame = 0; frame < 400 && service->mission_vehicle->target == 1; ++frame)
        tick();
    EXPECT_GT(car_speed(), 0.0f);
    EXPECT_EQ(route_blip()->position.x, x_of(2)) << "the blip moved on";
    world().set_walk_target({x_of(2) - 10, kPlayer.y + 20, 6.0f}, 10.0f);
    while (world().walking()) {
        tick();
        EXPECT_FALSE(car_speed() > 0.0f && service->mission_vehicle->at_point);
    }
    shown = tick();
    EXPECT_TRUE(has_text(shown, "Wait...")) << "arrived as it came to rest";
    EXPECT_TRUE(drawn(shown, hostsim::DrawKind::marker).empty());
    for (int frame = 0; frame < 4100 / 33; ++frame)
        shown = tick();
    EXPECT_TRUE(has_text(shown, "Go ahead")) << "B ends the network";
    EXPECT_EQ(world().blip_count(), 0u);

    // The bus destroyed, the mission and its panel end; nothing more is asked
    // of the bus.
    world().remove_vehicle(bus);
    EXPECT_TRUE(texts_of(tick()).empty());
    EXPECT_FALSE(service->mission_active);
}

TEST_F(MissionRunTest, AwayFromTheNetworkTheBusWandersUntilItPassesAStop) {
    game().leave_vehicle();
    world().remove_vehicle(bus);
    game().teleport_player({kPlayer.x - 400, kPlayer.y + 20, 6.0f});
    bus = drive_new(kBusModel);
    press(kB);
    ASSERT_TRUE(service->mission_active);
    EXPECT_TRUE(service->mission_vehicle->wandering) << "not sent to the first point's link";
    EXPECT_EQ(service->mission_blip, kNoHandle);

    // Driving east along the road, facing the way the stops face, A ahead is
    // captured; the frame of the capture still shows the wandering prompt.
    for (RoutePoint& point : service->points)
        point.heading = 270.0f;
    world().set_walk_target({kPlayer.x - 30, kPlayer.y + 20, 6.0f}, 10.0f);
    hostsim::DrawRecord shown;
    for (int frame = 0; frame < 2000 && service->mission_vehicle->wandering; ++frame)
        shown = tick();
    EXPECT_EQ(service->mission_vehicle->target, 0);
    EXPECT_TRUE(has_text(shown, "Go ahead"));
    EXPECT_TRUE(drawn(shown, hostsim::DrawKind::marker).empty());
    EXPECT_NE(route_blip(), nullptr);
}

}  // namespace
}  // namespace corvalen::test
