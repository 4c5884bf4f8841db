// The stand-in's people as the passengers of a transit service rely on them.

#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "hostsim/host.h"
#include "hostsim/host_abi.h"
#include "hostsim/script_caller.h"

namespace hostsim {
namespace {

using A = ScriptCaller;

constexpr std::uint32_t kFindNear = 0x0F4B0239;
constexpr std::uint32_t kInSeat = 0x5E756B51;
constexpr std::uint32_t kEnter = 0x0A2C70AF;
constexpr std::uint32_t kLeave = 0x1114089D;
constexpr std::uint32_t kWander = 0x43F5151F;
constexpr std::uint32_t kSeatFree = 0x1BDA0DA5;
constexpr std::uint32_t kClaim = 0x60EC0540;
constexpr std::uint32_t kRelease = 0x0B774604;
constexpr std::uint32_t kAddCash = 0x537379A8;
constexpr std::uint32_t kPlayerHandle = 0x5996315E;
constexpr std::uint32_t kBus = 0xD577C962;

class PeopleTest : public ::testing::Test {
  protected:
    World& world() { return host.world(); }
    std::int32_t bus_at(Vec3 at) { return world().add_vehicle(kBus, at, 0.0f).handle; }
    std::int32_t find_near(Vec3 at, float radius) {
        std::int32_t found = -7;
        bool any = (script.call(kFindNear, {A::arg(at.x), A::arg(at.y), A::arg(at.z),
                                            A::arg(radius), A::arg(1), A::arg(0), A::arg(&found)}) &
                    0xFF) != 0;
        EXPECT_EQ(any, found != 0);
        return found;
    }
    void enter(std::int32_t who, std::int32_t bus, std::int32_t limit, std::int32_t seat) {
        script.call(kEnter, {A::arg(who), A::arg(bus), A::arg(limit), A::arg(seat)});
    }
    bool seat_free(std::int32_t bus, std::int32_t seat) {
        return (script.call(kSeatFree, {A::arg(bus), A::arg(seat)}) & 0xFF) != 0;
    }
    std::int32_t rider(std::int32_t bus, std::int32_t seat) {
        std::int32_t who = 0;
        script.call(kInSeat, {A::arg(bus), A::arg(seat), A::arg(&who)});
        return who;
    }
    // Frames until the character sits in the bus; -1 when he never does.
    int frames_to_board(std::int32_t who, std::int32_t bus, int most) {
        for (int frame = 0; frame < most; ++frame) {
            if (world().character(who)->vehicle == bus)
                return frame;
            host.run_frame();
        }
        return -1;
    }
    void expect_no_errors() {
        for (const JournalEntry& error : world().errors())
            ADD_FAILURE() << "frame " << error.frame << ": " << error.text;
    }

    Host host;
    ScriptCaller script{host};
};

TEST_F(PeopleTest, BoardersWalkToTheirSeatWithinTheTimeLimitOrNotAtAll) {
    struct Case {
        const char* who;
        float metres_away;
        float walk_speed;
        std::int32_t limit;
        bool boards;
    };
    // 33 ms a frame; the boarder stops 3 m from the bus.
    const Case cases[] = {
        {"near and quick", 10.0f, 1.5f, 30000, true},
        {"in time", 47.0f, 1.5f, 30000, true},  // 44 m in under 30 s
        {"too far for the limit", 49.0f, 1.5f, 30000, false},
        {"on the telephone", 5.0f, 0.0f, 30000, false},
        {"no limit", 49.0f, 1.5f, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.who);
        std::int32_t bus = bus_at({0.0f, 0.0f, 6.0f});
        std::int32_t person =
            world().add_pedestrian({c.metres_away, 0.0f, 6.0f}, 0.0f, c.walk_speed).handle;
        enter(person, bus, c.limit, 2);
        int frames = frames_to_board(person, bus, 31000 / 33 + 200);
        EXPECT_EQ(frames >= 0, c.boards) << frames;
        if (c.boards) {
            EXPECT_EQ(rider(bus, 2), person) << "in the seat he was told to take";
            EXPECT_FALSE(seat_free(bus, 2));
        } else {
            EXPECT_TRUE(seat_free(bus, 2));
            EXPECT_EQ(world().character(person)->enter.vehicle, 0) << "he gave up";
        }
    }
    expect_no_errors();
}

TEST_F(PeopleTest, ATakenSeatTurnsABoarderAwayAndLimitZeroSeatsAtOnce) {
    std::int32_t bus = bus_at({0.0f, 0.0f, 6.0f});
    std::int32_t first = world().add_pedestrian({4.0f, 0.0f, 6.0f}, 0.0f).handle;
    std::int32_t second = world().add_pedestrian({20.0f, 0.0f, 6.0f}, 0.0f).handle;
    enter(first, bus, 30000, 1);
    enter(second, bus, 30000, 1);
    EXPECT_EQ(frames_to_board(second, bus, 600), -1);
    EXPECT_EQ(rider(bus, 1), first);
    EXPECT_EQ(rider(bus, 0), -1) << "nobody";

    std::int32_t third = world().add_pedestrian({300.0f, 0.0f, 6.0f}, 0.0f).handle;
    enter(third, bus, 0, 5);
    EXPECT_EQ(rider(bus, 5), third) << "limit 0 puts him there at once";
    enter(first, bus, 30000, 8);
    EXPECT_EQ(world().errors().size(), 1u) << "a bus has seats 0 to 7";
}

TEST_F(PeopleTest, ARiderTakesAMomentToGetOutAndWalksAway) {
    std::int32_t bus = bus_at({0.0f, 0.0f, 6.0f});
    std::int32_t person = world().add_pedestrian({30.0f, 0.0f, 6.0f}, 0.0f).handle;
    ASSERT_TRUE(world().enter_vehicle(person, bus, 3));
    script.call(kLeave, {A::arg(person)});
    script.call(kWander, {A::arg(person)});
    host.run_frames(10);
    EXPECT_FALSE(seat_free(bus, 3)) << "still getting out";
    host.run_frames(30);
    EXPECT_TRUE(seat_free(bus, 3));
    Vec3 out = world().character(person)->object.position();
    host.run_frames(30);
    EXPECT_GT(distance(out, world().character(person)->object.position()), 1.0f);
    expect_no_errors();
}

TEST_F(PeopleTest, ScriptsFindFreePeopleAndLetThemGoBackToTheCrowd) {
    std::int32_t bus = bus_at({0.0f, 0.0f, 6.0f});
    Vec3 stop{0.0f, 10.0f, 6.0f};
    std::int32_t near = world().add_pedestrian({0.0f, 12.0f, 6.0f}, 0.0f).handle;
    std::int32_t farther = world().add_pedestrian({0.0f, 30.0f, 6.0f}, 0.0f).handle;
    std::int32_t rider_handle = world().add_pedestrian({0.0f, 11.0f, 6.0f}, 0.0f).handle;
    world().enter_vehicle(rider_handle, bus, 0);
    host.teleport_player({0.0f, 10.5f, 6.0f});

    EXPECT_EQ(find_near(stop, 60.0f), near) << "the player and riders are no one's to find";
    EXPECT_EQ(find_near(stop, 1.5f), 0);
    script.call(kClaim, {A::arg(near)});
    EXPECT_EQ(find_near(stop, 60.0f), farther) << "a script's man is not found again";

    std::int32_t variable = near;
    script.call(kRelease, {A::arg(&variable)});
    EXPECT_EQ(variable, 0) << "the script's variable no longer holds him";
    ASSERT_NE(world().character(near), nullptr) << "one of the people stays about";
    EXPECT_FALSE(world().character(near)->claimed);
    script.call(kWander, {A::arg(near)});
    EXPECT_EQ(find_near(stop, 60.0f), farther) << "nor is someone walking off";
    variable = near;
    script.call(kRelease, {A::arg(&variable)});
    expect_no_errors();
}

// Speech is shown by the fares' tests, which see who says what.
TEST_F(PeopleTest, CashAndThePlayersHeadingAreTheGames) {
    std::int32_t player = static_cast<std::int32_t>(script.call(kPlayerHandle, {A::arg(0)}));
    script.call(kAddCash, {A::arg(player), A::arg(-3)});
    script.call(kAddCash, {A::arg(0), A::arg(6)});
    EXPECT_EQ(world().cash(), 5003.0f);
    EXPECT_EQ(world().float_stat(kCashStat), 5003.0f) << "cash is statistic 108";

    host.teleport_player({0.0f, 0.0f, 6.0f});
    host.walk_player_to({-10.0f, 0.0f, 6.0f});
    float heading = 0.0f;
    std::memcpy(&heading,
                reinterpret_cast<const std::uint8_t*>(world().player().object.address()) +
                    kCharacterHeadingOffset,
                sizeof(heading));
    EXPECT_NEAR(heading, 90.0f, 0.01f) << "west, counter-clockwise from north";
    expect_no_errors();
}

}  // namespace
}  // namespace hostsim
