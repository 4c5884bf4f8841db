// Passengers and fares against the stand-in's people, and the player riding
// along.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "hostsim/host_abi.h"
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

class PassengerTest : public test::TransitTest {
  protected:
    // A bus of the service dwelling at a point near the player, its driver
    // aboard; the service's only vehicle.
    ServiceVehicle& bus_at(hostsim::Vec3 at) {
        ServiceVehicle& record = spawn_at(at);
        EXPECT_EQ(service->vehicles.size(), 1u);
        record.started = true;
        hold_at_stop(record);
        return record;
    }
    // The bus dwells where it stands, as at a stop it has just reached.
    void hold_at_stop(ServiceVehicle& record) {
        game_frame([&] { host::clear_character_orders(record.driver); });
        std::uint32_t now = world().game_timer();
        record.at_point = true;
        record.depart_time = now + 4000;
        record.latest_depart_time = now + 32000;
    }
    hostsim::Vec3 position_of(const ServiceVehicle& record) {
        return car_of(record).object.position();
    }
    std::int32_t person_at(hostsim::Vec3 at, float walk_speed = 1.5f) {
        return world().add_pedestrian(at, 0.0f, walk_speed).handle;
    }
    hostsim::Character& person(std::int32_t handle) { return *world().character(handle); }
    void run(int frames) {
        for (int i = 0; i < frames; ++i)
            tick();
    }
    int said(const std::string& line) {
        return static_cast<int>(
            std::count_if(world().speeches().begin(), world().speeches().end(),
                          [&](const hostsim::Speech& s) { return s.line == line; }));
    }
    int journal_lines(const std::string& text) {
        return static_cast<int>(
            std::count_if(world().journal().begin(), world().journal().end(),
                          [&](const hostsim::JournalEntry& entry) { return entry.text == text; }));
    }
    static std::string name(std::int32_t handle) {
        return "character " + hostsim::hex(static_cast<std::uint32_t>(handle));
    }
};

TEST_F(PassengerTest, SeatedBoardersPayTheBusAndOneWhoDidNotMakeItIsSentAway) {
    // A way point 100 m west of the player leads to the stop S 40 m west.
    RoutePoint from = point_near(-100, 0, RoutePointType::WayPoint);
    RoutePoint stop = point_near(-40, 0);
    test::link(from, stop);
    TransitService& bus = service_with(ServiceMode::Bus, {from, stop});
    bus.max_vehicles = 1;
    std::int32_t quick = person_at({stop.x + 5, stop.y + 5, 6.0f});
    std::int32_t quicker = person_at({stop.x, stop.y - 6, 6.0f}, 2.0f);
    std::int32_t on_the_phone = person_at({stop.x + 3, stop.y + 8, 6.0f}, 0.0f);

    spawn_frame();
    ASSERT_EQ(bus.vehicles.size(), 1u);
    ServiceVehicle& record = bus.vehicles[0];
    std::int32_t driver = static_cast<std::int32_t>(record.driver);
    std::int32_t takings = record.revenue;
    for (int frame = 0; frame < 3000 && said("GENERIC_FUCK_OFF") == 0; ++frame)
        run(1);

    EXPECT_EQ(record.revenue, takings + 6) << "two fares of $3";
    EXPECT_EQ(person(driver).money, takings + 6) << "the driver holds the takings";
    EXPECT_EQ(said("THANKS"), 1);
    EXPECT_EQ(world().speeches().front().character, driver);
    EXPECT_EQ(person(quick).vehicle, record.vehicle);
    EXPECT_EQ(person(quicker).vehicle, record.vehicle);
    EXPECT_EQ(said("GENERIC_FUCK_OFF"), 1);
    EXPECT_TRUE(person(on_the_phone).wandering);
    EXPECT_FALSE(person(on_the_phone).claimed);
    EXPECT_EQ(record.passengers, (std::set<host::Handle>{static_cast<host::Handle>(quick),
                                                         static_cast<host::Handle>(quicker)}));
    EXPECT_TRUE(record.reserved_seats.empty());
    EXPECT_EQ(world().cash(), 5000.0f) << "an AI bus pays the player nothing";

    run(600);
    EXPECT_EQ(said("GENERIC_FUCK_OFF"), 1) << "sent away once";
    EXPECT_EQ(journal_lines(name(on_the_phone) + " back among the people"), 2)
        << "let go fifteen seconds after the order, and when sent away";
    EXPECT_TRUE(bus.releases.empty());
}

TEST_F(PassengerTest, NobodyGetsOnOrOffFartherThanAHundredMetresFromThePlayer) {
    struct Case {
        float player_distance;
        bool exchanges;
    };
    for (Case c : {Case{100.0f, true}, Case{100.5f, false}}) {
        SCOPED_TRACE(c.player_distance);
        service_with(ServiceMode::Bus, {point_near(-40, 0)});
        ServiceVehicle& record = bus_at({kPlayer.x - 40, kPlayer.y, 6.0f});
        std::int32_t waiting = person_at({kPlayer.x - 45, kPlayer.y + 4, 6.0f});
        std::uint32_t dwell_end = world().game_timer() + 4000;
        record.depart_time = dwell_end;
        record.latest_depart_time = dwell_end + 28000;
        record.player_distance = c.player_distance;
        game_frame([&] { record.exchange_passengers(); });
        EXPECT_EQ(person(waiting).enter.vehicle == as_int(record.vehicle), c.exchanges);
        EXPECT_EQ(record.passengers.size(), c.exchanges ? 1u : 0u);
        EXPECT_EQ(record.depart_time, c.exchanges ? dwell_end + 7000 : dwell_end);
        game_frame([&] { service->reset_spawning(); });
        world().release_character(waiting);
    }
}

TEST_F(PassengerTest, APassengerIsSetDownOnceAndNeverSentAwayAfterwards) {
    TransitService& bus = service_with(ServiceMode::Bus, {point_near(-40, 0)});
    bus.all_leave = true;  // every seat is tried, again and again
    ServiceVehicle& record = bus_at({kPlayer.x - 40, kPlayer.y, 6.0f});
    std::int32_t rider = person_at({kPlayer.x - 40, kPlayer.y, 6.0f});
    ASSERT_TRUE(world().enter_vehicle(rider, static_cast<std::int32_t>(record.vehicle), 4));
    record.passengers.insert(static_cast<host::Handle>(rider));
    std::int32_t newcomer = person_at({kPlayer.x - 44, kPlayer.y + 3, 6.0f});

    std::uint32_t now = world().game_timer();
    record.depart_time = now + 4000;
    record.latest_depart_time = now + 32000;
    game_frame([&] { record.exchange_passengers(); });
    EXPECT_EQ(journal_lines(name(rider) + " back among the people"), 1)
        << "his seat stays taken while he gets out, but he is not set down twice";
    EXPECT_EQ(record.passengers.count(static_cast<host::Handle>(rider)), 0u);
    EXPECT_EQ(person(newcomer).enter.vehicle, record.vehicle);

    for (int frame = 0; frame < 40 * 30; ++frame)
        game_frame([&] { record.check_fares(); });
    EXPECT_FALSE(record.leave_check_due) << "the leave check ran";
    EXPECT_EQ(said("GENERIC_FUCK_OFF"), 0) << "the newcomer sits, the rider is gone";
    EXPECT_EQ(journal_lines(name(rider) + " back among the people"), 1);
}

TEST_F(PassengerTest, BoardersAreLetGoJustOverFifteenSecondsAfterTheOrder) {
    service_with(ServiceMode::Bus, {});
    std::int32_t boarder = person_at({kPlayer.x + 5, kPlayer.y, 6.0f});
    person(boarder).claimed = true;
    set_timer(100000);
    game_frame([&] {
        service->releases.emplace_back(static_cast<host::Handle>(boarder), host::game_timer());
    });
    set_timer(100000 + 15000);
    game_frame([&] { service->release_boarders(); });
    EXPECT_TRUE(person(boarder).claimed) << "15000 ms is not yet older than 15000";
    EXPECT_EQ(service->releases.size(), 1u);
    set_timer(100000 + 15001);
    game_frame([&] { service->release_boarders(); });
    EXPECT_FALSE(person(boarder).claimed);
    EXPECT_TRUE(service->releases.empty());

    // The host clears the variable it is handed; the service's own stays.
    person(boarder).claimed = true;
    host::Handle kept = static_cast<host::Handle>(boarder);
    game_frame([&] { host::release_character(kept); });
    EXPECT_EQ(kept, static_cast<host::Handle>(boarder));
    EXPECT_FALSE(person(boarder).claimed);
}

TEST_F(PassengerTest, AVehicleWithoutSeatsTakesNobodyAndAnExtensionNeverShortensADwell) {
    service_with(ServiceMode::Bus, {point_near(-40, 0)});
    ServiceVehicle& record = bus_at({kPlayer.x - 40, kPlayer.y, 6.0f});
    std::int32_t waiting = person_at({kPlayer.x - 44, kPlayer.y, 6.0f});
    std::uint32_t now = world().game_timer();

    game().teleport_player({kPlayer.x - 30, kPlayer.y, 6.0f});
    car_of(record).object.set_byte(hostsim::kVehicleSeatCountOffset, 0);
    record.depart_time = now + 4000;
    record.latest_depart_time = now;  // no seats: no dwell per seat
    game_frame([&] {
        record.exchange_passengers();
        service->passenger_action();
    });
    EXPECT_EQ(person(waiting).enter.vehicle, 0);
    EXPECT_EQ(world().player().enter.vehicle, 0);
    EXPECT_FALSE(service->player_fare_due);

    car_of(record).object.set_byte(hostsim::kVehicleSeatCountOffset, 8);
    game_frame([&] { record.board(static_cast<host::Handle>(waiting), false); });
    EXPECT_EQ(person(waiting).enter.vehicle, record.vehicle);
    EXPECT_EQ(record.depart_time, now + 4000) << "not brought forward to the latest departure";
}

TEST_F(PassengerTest, TheBoardingBudgetLeavesOutTheSeatsOthersHoldAndThePlayersOwn) {
    struct Case {
        std::int32_t held_by_others;
        bool player_aboard;
        std::size_t told_to_board;
    };
    // Eight seats, nobody gets off.
    for (Case c : {Case{0, false, 8}, Case{3, false, 5}, Case{3, true, 3}, Case{7, false, 1}}) {
        SCOPED_TRACE(testing::Message() << c.held_by_others << " held, player " << c.player_aboard);
        service_with(ServiceMode::Bus, {point_near(-40, 0)});
        ServiceVehicle& record = bus_at({kPlayer.x - 40, kPlayer.y, 6.0f});
        service->driver_dice = test::dice_drawing(8, 0);
        std::int32_t bus = as_int(record.vehicle);
        for (std::int32_t seat = 0; seat < c.held_by_others; ++seat)
            world().enter_vehicle(person_at({kPlayer.x - 40, kPlayer.y, 6.0f}), bus, seat);
        if (c.player_aboard) {
            ASSERT_TRUE(game().enter_vehicle(bus, 7));
        }
        for (int i = 0; i < 9; ++i)
            person_at({kPlayer.x - 45, kPlayer.y + static_cast<float>(i), 6.0f});
        game_frame([&] { record.exchange_passengers(); });
        EXPECT_EQ(record.passengers.size(), c.told_to_board);
        game().leave_vehicle();
        game_frame([&] { service->reset_spawning(); });
    }
}

TEST_F(PassengerTest, AReloadInTheSameWorldLetsGoOfThePeopleToldToBoard) {
    service_with(ServiceMode::Bus, {point_near(-40, 0)});
    ServiceVehicle& record = bus_at({kPlayer.x - 40, kPlayer.y, 6.0f});
    std::int32_t waiting = person_at({kPlayer.x - 44, kPlayer.y, 6.0f});
    game_frame([&] { record.board(static_cast<host::Handle>(waiting), false); });
    ASSERT_TRUE(person(waiting).claimed);
    game_frame([&] { service->reset_spawning(); });
    EXPECT_FALSE(person(waiting).claimed);
    EXPECT_TRUE(service->releases.empty());
}

class RidingTest : public PassengerTest {
  protected:
    void SetUp() override {
        PassengerTest::SetUp();
        // S, where the bus stands, links to T 100 m east.
        RoutePoint stop = point_near(0, 40);
        RoutePoint next = point_near(100, 40);
        test::link(stop, next);
        service_with(ServiceMode::Bus, {stop, next});
        service->next_spawn_time = world().game_timer() + 10000000;
    }
};

TEST_F(RidingTest, BBoardsTheNearestBusOnlyWithinTwentyFiveMetres) {
    for (float metres : {24.9f, 25.1f}) {
        SCOPED_TRACE(metres);
        ServiceVehicle& record = bus_at({kPlayer.x, kPlayer.y + 40, 6.0f});
        game().teleport_player({kPlayer.x + metres, kPlayer.y + 40, 6.0f});
        press(kB);
        bool boards = metres < 25.0f;
        EXPECT_EQ(world().player().enter.vehicle == as_int(record.vehicle), boards);
        EXPECT_EQ(service->player_fare_due, boards);
        world().player().enter = {};
        service->player_fare_due = false;
        game_frame([&] { service->reset_spawning(); });
    }
}

TEST_F(RidingTest, ABusTheGameTookAwayIsNeitherBoardedNorAskedAbout) {
    ServiceVehicle& record = bus_at({kPlayer.x, kPlayer.y + 40, 6.0f});
    game().teleport_player({kPlayer.x + 5, kPlayer.y + 40, 6.0f});
    world().remove_vehicle(static_cast<std::int32_t>(record.vehicle));
    game_frame([&] { service->passenger_action(); });
    EXPECT_EQ(world().player().enter.vehicle, 0);
    EXPECT_FALSE(service->player_fare_due);
}

TEST_F(RidingTest, TenSecondsAboardCostThreeDollarsAndLeavingEarlierNothing) {
    for (bool stays : {true, false}) {
        SCOPED_TRACE(stays);
        // It has just come to rest at S.
        ServiceVehicle& record = bus_at({kPlayer.x, kPlayer.y + 40, 6.0f});
        game_frame([&] { record.set_target(0); });
        hold_at_stop(record);
        game().teleport_player({kPlayer.x + 10, kPlayer.y + 40, 6.0f});
        press(kB);
        int frames = 0;
        while (world().player().vehicle != as_int(record.vehicle) && frames++ < 300)
            run(1);
        ASSERT_EQ(world().player().vehicle, record.vehicle) << "the player runs to the bus";
        if (!stays)
            game().leave_vehicle();
        hostsim::DrawRecord last;
        for (int frame = 0; frame < 10000 / 33 + 5; ++frame)
            last = tick();
        EXPECT_EQ(world().cash(), stays ? 4997.0f : 5000.0f);
        EXPECT_FALSE(service->player_fare_due);
        EXPECT_EQ(texts_of(last),
                  stays ? std::vector<std::string>{"$3 fare"} : std::vector<std::string>{});
        if (stays) {
            EXPECT_FALSE(record.at_point) << "the fare paid, the bus sets off";
            EXPECT_EQ(record.target, 1) << "for T, not back to S";
            EXPECT_EQ(car_of(record).order.target.x, kPlayer.x + 100);
        }
        game().leave_vehicle();
        world().add_cash(static_cast<std::int32_t>(5000.0f - world().cash()));
        game_frame([&] { service->reset_spawning(); });
    }
}

TEST_F(RidingTest, BWhileRidingStopsTheBusWhichThenSkipsItsTarget) {
    // The bus drives from far west toward S, the player aboard.
    ServiceVehicle& record = bus_at({kPlayer.x - 150, kPlayer.y + 40, 6.0f});
    game_frame([&] { record.set_target(0); });
    ASSERT_TRUE(game().enter_vehicle(static_cast<std::int32_t>(record.vehicle), 1));
    run(60);
    ASSERT_GT(car_of(record).parts.speed, 0.0f);

    press(kB);
    EXPECT_TRUE(record.at_point);
    EXPECT_EQ(car_of(record).order.kind, hostsim::DriveOrder::Kind::none) << "the driver stops";
    run(45);
    EXPECT_EQ(world().player().vehicle, 0) << "the player got off";
    float stopped_at = position_of(record).x;
    run(4000 / 33 - 50);
    EXPECT_EQ(position_of(record).x, stopped_at);
    run(10);
    EXPECT_EQ(record.target, 1) << "off to T, past S";
    EXPECT_EQ(record.history, std::vector<std::int32_t>{0});
    EXPECT_EQ(car_of(record).order.kind, hostsim::DriveOrder::Kind::to_point);
    EXPECT_EQ(car_of(record).order.target.x, kPlayer.x + 100);
}

}  // namespace
}  // namespace corvalen
