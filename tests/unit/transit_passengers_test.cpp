// Passengers and fares against the stand-in's people, and the player riding
// along.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "hostsim/host_abi.h"
#include "transit_fixture.h"

namespace corvalen::test {
namespace {

class PassengerTest : public TransitTest {
  protected:
    std::int32_t person_at(float dx, float dy, float walk_speed = 1.5f) {
        hostsim::Vec3 at{kPlayer.x + dx, kPlayer.y + dy, 6.0f};
        return world().add_pedestrian(at, 0.0f, walk_speed).handle;
    }
    hostsim::Character& person(std::int32_t handle) { return *world().character(handle); }
    void run(int frames) {
        for (int i = 0; i < frames; ++i)
            tick();
    }
    long let_go(std::int32_t handle) {
        std::string text = "character " + hostsim::hex(static_cast<std::uint32_t>(handle)) +
                           " back among the people";
        return std::count_if(
            world().journal().begin(), world().journal().end(),
            [&](const hostsim::JournalEntry& entry) { return entry.text == text; });
    }
};

TEST_F(PassengerTest, SeatedBoardersPayTheDriverAndOneWhoDidNotMakeItIsSentAway) {
    service_with(ServiceMode::Bus, {point_near(-40, 0)});
    ServiceVehicle& record = bus_at();
    std::int32_t seated = person_at(-44, 0);
    std::int32_t on_the_phone = person_at(-46, 0, 0.0f);
    std::int32_t takings = record.revenue;
    game_frame([&] {
        record.board(static_cast<host::Handle>(seated), false);
        record.board(static_cast<host::Handle>(on_the_phone), false);
    });
    ASSERT_TRUE(world().enter_vehicle(seated, as_int(record.vehicle), 0));  // his seat
    set_timer(record.depart_time + 4001);
    game_frame([&] { record.check_fares(); });
    EXPECT_EQ(person(as_int(record.driver)).money, takings + 3) << "the driver holds the takings";
    ASSERT_EQ(world().speeches().size(), 1u);
    EXPECT_EQ(world().speeches()[0].line, "THANKS");
    EXPECT_EQ(world().speeches()[0].character, as_int(record.driver));
    set_timer(record.depart_time + 15001);
    game_frame([&] { record.check_fares(); });
    EXPECT_EQ(world().speeches().back().line, "GENERIC_FUCK_OFF");
    EXPECT_FALSE(person(on_the_phone).claimed);
    EXPECT_EQ(world().cash(), 5000.0f) << "an AI bus pays the player nothing";
}

TEST_F(PassengerTest, TheBoardingBudgetLeavesOutTheSeatsOthersHoldAndThePlayers) {
    struct Case {
        std::int32_t held_by_others;
        bool player_aboard;
        float player_distance;
        std::size_t told_to_board;
        std::uint32_t dwell;  // 4 s, 7 s more for each boarder, 8 x 4 s at most
    };
    // Eight seats, nobody gets off.
    const Case cases[] = {{0, false, 100.0f, 8, 32000},
                          {0, false, 100.5f, 0, 4000},
                          {3, false, 0.0f, 5, 32000},
                          {3, true, 0.0f, 3, 25000},
                          {7, false, 0.0f, 1, 11000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(&c - cases);
        service_with(ServiceMode::Bus, {point_near(-40, 0)});
        ServiceVehicle& record = bus_at({kPlayer.x - 40, kPlayer.y, 6.0f}, 0);
        record.at_point = false;  // arriving
        record.player_distance = c.player_distance;
        service->driver_dice = dice_drawing(8, 0);
        std::int32_t bus = as_int(record.vehicle);
        for (std::int32_t seat = 0; seat < c.held_by_others; ++seat)
            world().enter_vehicle(person_at(-40, 0), bus, seat);
        if (c.player_aboard) {
            ASSERT_TRUE(game().enter_vehicle(bus, 7));
        }
        for (int i = 0; i < 9; ++i)
            person_at(-45, static_cast<float>(i));
        game_frame([&] { record.update(); });
        EXPECT_EQ(record.passengers.size(), c.told_to_board);
        EXPECT_EQ(record.depart_time - world().game_timer(), c.dwell);
        game().leave_vehicle();
    }
}

TEST_F(PassengerTest, EveryPassengerLeavesABoatOnceAndIsNeverSentAwayAfterwards) {
    // A boat tries every seat, and again the one its passenger gets out of.
    service_with(ServiceMode::Boat, {point_near(-40, 0)}).models = {0x3D961290};  // 12 seats
    ServiceVehicle& record = bus_at();
    service->driver_dice = dice_drawing(12, 0);  // a bus would let nobody off
    std::int32_t rider = person_at(-40, 0);
    ASSERT_TRUE(world().enter_vehicle(rider, as_int(record.vehicle), 4));
    record.passengers.insert(static_cast<host::Handle>(rider));
    std::int32_t newcomer = person_at(-44, 3);
    game_frame([&] { record.exchange_passengers(); });
    EXPECT_EQ(let_go(rider), 1) << "his seat stays taken while he gets out; he is set down once";
    EXPECT_EQ(person(newcomer).enter.vehicle, record.vehicle);
    for (int frame = 0; frame < 40 * 30; ++frame)
        game_frame([&] { record.check_fares(); });
    EXPECT_FALSE(record.leave_check_due) << "the leave check ran";
    ASSERT_EQ(world().speeches().size(), 1u) << "the newcomer sits, the rider is gone";
    EXPECT_EQ(world().speeches()[0].line, "THANKS");
    EXPECT_EQ(let_go(rider), 1);
}

TEST_F(PassengerTest, BoardersAreLetGoJustOverFifteenSecondsAfterTheOrder) {
    service_with(ServiceMode::Bus, {});
    std::int32_t boarder = person_at(5, 0);
    person(boarder).claimed = true;
    set_timer(100000);
    game_frame([&] { service->releases.emplace_back(boarder, host::game_timer()); });
    for (std::uint32_t after : {15000u, 15001u}) {
        set_timer(100000 + after);
        game_frame([&] { service->release_boarders(); });
        EXPECT_EQ(person(boarder).claimed, after == 15000u) << after;
        EXPECT_EQ(service->releases.size(), after == 15000u ? 1u : 0u);
    }
}

TEST_F(PassengerTest, AVehicleWithoutSeatsTakesNobodyAndAnExtensionNeverShortensADwell) {
    service_with(ServiceMode::Bus, {point_near(-40, 0)});
    ServiceVehicle& record = bus_at();
    std::int32_t waiting = person_at(-44, 0);
    game().teleport_player({kPlayer.x - 30, kPlayer.y, 6.0f});
    car_of(record).object.set_byte(hostsim::kVehicleSeatCountOffset, 0);
    std::uint32_t dwell_end = record.depart_time;
    record.latest_depart_time = world().game_timer();  // no seats: no dwell per seat
    game_frame([&] {
        record.exchange_passengers();
        service->passenger_action();
    });
    EXPECT_EQ(person(waiting).enter.vehicle, 0);
    EXPECT_EQ(world().player().enter.vehicle, 0);
    car_of(record).object.set_byte(hostsim::kVehicleSeatCountOffset, 8);
    game_frame([&] { record.board(static_cast<host::Handle>(waiting), false); });
    EXPECT_EQ(record.depart_time, dwell_end) << "not brought forward to the latest departure";
}

// The stop S 40 m north of the player links to T 100 m east of it.
class RidingTest : public PassengerTest {
  protected:
    void SetUp() override {
        PassengerTest::SetUp();
        fresh_service();
    }
    void fresh_service() {
        RoutePoint stop = point_near(0, 40);
        RoutePoint next = point_near(100, 40);
        link(stop, next);
        service_with(ServiceMode::Bus, {stop, next}).next_spawn_time += 10000000;
    }
};

TEST_F(RidingTest, BBoardsTheNearestBusThatIsStillThereWithinTwentyFiveMetres) {
    // Metres from the bus, whether the game took it away, whether he boards.
    for (auto [metres, taken_away, boards] :
         {std::tuple{24.9f, false, true}, {25.1f, false, false}, {5.0f, true, false}}) {
        SCOPED_TRACE(metres);
        fresh_service();
        ServiceVehicle& record = bus_at({kPlayer.x, kPlayer.y + 40, 6.0f});
        game().teleport_player({kPlayer.x + metres, kPlayer.y + 40, 6.0f});
        if (taken_away)
            world().remove_vehicle(as_int(record.vehicle));
        press(kB);
        EXPECT_EQ(world().player().enter.vehicle == as_int(record.vehicle), boards);
        EXPECT_EQ(service->player_fare_due, boards);
        world().player().enter = {};  // he never gets in, and pays nothing
        run(10000 / 33 + 5);
        EXPECT_EQ(world().cash(), 5000.0f);
    }
}

TEST_F(RidingTest, ARideCostsThreeDollarsAfterTenSecondsAndBStopsTheBusWhereItIs) {
    ServiceVehicle& record = bus_at({kPlayer.x, kPlayer.y + 40, 6.0f}, 0);  // at S
    game().teleport_player({kPlayer.x + 10, kPlayer.y + 40, 6.0f});
    press(kB);
    for (int frame = 0; frame < 300 && world().player().vehicle != as_int(record.vehicle); ++frame)
        tick();
    ASSERT_EQ(world().player().vehicle, record.vehicle) << "the player runs to the bus";
    hostsim::DrawRecord last;
    for (int frame = 0; frame < 10000 / 33 + 5; ++frame)
        last = tick();
    EXPECT_EQ(world().cash(), 4997.0f);
    EXPECT_EQ(texts_of(last), std::vector<std::string>{"$3 fare"});
    EXPECT_EQ(car_of(record).order.target.x, kPlayer.x + 100) << "the fare paid, off to T";

    // B on the way to T stops the bus where it is; after the dwell it leaves
    // as if from T, which leads nowhere: T is skipped.
    run(30);
    ASSERT_GT(car_of(record).parts.speed, 0.0f);
    press(kB);
    EXPECT_EQ(car_of(record).order.kind, hostsim::DriveOrder::Kind::none) << "the driver stops";
    run(45);
    EXPECT_EQ(world().player().vehicle, 0) << "the player got off";
    float stopped_at = car_of(record).object.position().x;
    run(4000 / 33 - 50);
    EXPECT_EQ(car_of(record).object.position().x, stopped_at);
    run(10);
    EXPECT_EQ(record.history.back(), 1);
    EXPECT_EQ(car_of(record).order.kind, hostsim::DriveOrder::Kind::wander);
}

}  // namespace
}  // namespace corvalen::test
