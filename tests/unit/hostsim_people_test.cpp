// The stand-in's people as the passengers of a transit service and the
// estate agent rely on them: boarding within a time limit, getting out, the
// free people a script may take, and companions who keep to the player.

#include <gtest/gtest.h>

#include <algorithm>

#include "hostsim/host.h"
#include "hostsim/script_caller.h"

namespace hostsim {
namespace {

using A = ScriptCaller;

constexpr std::uint32_t kFindNear = 0x0F4B0239;
constexpr std::uint32_t kInSeat = 0x5E756B51;
constexpr std::uint32_t kEnter = 0x0A2C70AF;
constexpr std::uint32_t kLeave = 0x1114089D;
constexpr std::uint32_t kWander = 0x43F5151F;
constexpr std::uint32_t kClaim = 0x60EC0540;
constexpr std::uint32_t kRelease = 0x0B774604;
constexpr std::uint32_t kPlayerGroupNative = 0x41AB3C30;
constexpr std::uint32_t kAddToGroup = 0x5E0F611E;
constexpr std::uint32_t kGroupSeparation = 0x22DD329E;
constexpr std::uint32_t kGroupLeader = 0x04C85E23;
constexpr std::uint32_t kCharacterLeft = 0x1DD624A0;
constexpr std::uint32_t kLeaveGroup = 0x649316B7;
constexpr std::uint32_t kBus = 0xD577C962;

class PeopleTest : public ::testing::Test {
  protected:
    World& world() { return host.world(); }
    std::int32_t bus() { return world().add_vehicle(kBus, {0.0f, 0.0f, 6.0f}, 0.0f).handle; }
    std::int32_t person_at(float x, float y, float walk_speed = 1.5f) {
        return world().add_pedestrian({x, y, 6.0f}, 0.0f, walk_speed).handle;
    }
    Vec3 at(std::int32_t person) { return world().character(person)->object.position(); }
    void enter(std::int32_t who, std::int32_t bus, std::int32_t limit, std::int32_t seat) {
        script.call(kEnter, {A::arg(who), A::arg(bus), A::arg(limit), A::arg(seat)});
    }
    std::int32_t rider(std::int32_t bus, std::int32_t seat) {
        std::int32_t who = 0;
        script.call(kInSeat, {A::arg(bus), A::arg(seat), A::arg(&who)});
        return who;
    }
    std::int32_t find_near(Vec3 point, float radius) {
        std::int32_t found = -7;
        script.call(kFindNear, {A::arg(point.x), A::arg(point.y), A::arg(point.z), A::arg(radius),
                                A::arg(1), A::arg(0), A::arg(&found)});
        return found;
    }
    bool left_player(std::int32_t person) {
        return (script.call(kCharacterLeft,
                            {A::arg(person), A::arg(world().player_character()), A::arg(0)}) &
                0xFF) != 0;
    }

    Host host;
    ScriptCaller script{host};
};

// 33 ms a frame; a boarder takes his seat from 3 m off the bus, a rider told
// to leave gets out a second later.
TEST_F(PeopleTest, BoardersWalkToTheirSeatWithinTheTimeLimitOrNotAtAll) {
    const struct {
        const char* who;
        float metres_away;
        float walk_speed;
        std::int32_t limit;
        bool boards;
    } cases[] = {
        {"in time", 47.0f, 1.5f, 30000, true},  // 44 m in under 30 s
        {"too far for the limit", 49.0f, 1.5f, 30000, false},
        {"on the telephone", 5.0f, 0.0f, 30000, false},
        {"no limit", 49.0f, 1.5f, -1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.who);
        std::int32_t car = bus();
        std::int32_t person = person_at(c.metres_away, 0.0f, c.walk_speed);
        enter(person, car, c.limit, 2);
        host.run_frames(31000 / 33 + 200);
        EXPECT_EQ(rider(car, 2), c.boards ? person : -1);
        EXPECT_EQ(world().character(person)->enter.vehicle, 0) << "seated, or given up";
        if (!c.boards)
            continue;
        script.call(kLeave, {A::arg(person)});
        host.run_frames(25);
        EXPECT_EQ(rider(car, 2), person) << "still getting out";
        host.run_frames(10);
        EXPECT_EQ(rider(car, 2), -1);
    }
}

TEST_F(PeopleTest, ScriptsFindFreePeopleAndLetThemGoBackToTheCrowd) {
    std::int32_t car = bus();
    Vec3 stop{0.0f, 10.0f, 6.0f};
    std::int32_t near = person_at(0.0f, 12.0f);
    std::int32_t farther = person_at(0.0f, 30.0f);
    world().enter_vehicle(person_at(0.0f, 11.0f), car, 0);
    host.teleport_player({0.0f, 10.5f, 6.0f});

    EXPECT_EQ(find_near(stop, 60.0f), near) << "the player and riders are no one's to find";
    EXPECT_EQ(find_near(stop, 1.5f), 0);
    script.call(kClaim, {A::arg(near)});
    EXPECT_EQ(find_near(stop, 60.0f), farther) << "a script's man is not found again";
    std::int32_t variable = near;
    script.call(kRelease, {A::arg(&variable)});
    EXPECT_EQ(variable, 0) << "the script's variable no longer holds him";
    ASSERT_NE(world().character(near), nullptr) << "one of the people stays about";
    EXPECT_EQ(find_near(stop, 60.0f), near);
    script.call(kWander, {A::arg(near)});
    EXPECT_EQ(find_near(stop, 60.0f), farther) << "nor is someone walking off";
    EXPECT_TRUE(world().errors().empty());
}

TEST_F(PeopleTest, CompanionsKeepToThePlayerUnlessDeadWanderingOrGone) {
    std::int32_t group = 0;
    script.call(kPlayerGroupNative, {A::arg(kPlayerHandle), A::arg(&group)});
    ASSERT_EQ(group, kPlayerGroup);
    Vec3 start = world().player_position();
    std::int32_t follower = person_at(start.x + 2.0f, start.y);
    std::int32_t dead = person_at(start.x + 3.0f, start.y);
    std::int32_t wanderer = person_at(start.x + 4.0f, start.y);
    for (std::int32_t person : {follower, dead, wanderer})
        script.call(kAddToGroup, {A::arg(group), A::arg(person)});
    script.call(kGroupSeparation, {A::arg(group), A::arg(50.0f)});
    script.call(kGroupLeader, {A::arg(group), A::arg(world().player_character())});
    EXPECT_TRUE(world().groups().empty()) << "the player's group is no script's";
    world().kill_character(dead);
    world().send_wandering(wanderer);
    EXPECT_FALSE(left_player(follower));
    EXPECT_FALSE(left_player(dead)) << "dead, but still of the group";
    EXPECT_TRUE(left_player(wanderer));

    Vec3 grave = at(dead);
    Vec3 wander_start = at(wanderer);
    ASSERT_GT(host.walk_player_to({-120.0f, 135.0f, 6.0f}), 0);
    host.run_frames(30);
    EXPECT_NEAR(distance(at(follower), world().player_position()), 2.0f, 0.01f);
    EXPECT_EQ(distance(at(dead), grave), 0.0f);
    EXPECT_GT(distance(at(wanderer), wander_start), 1.0f);

    host.teleport_player({-120.0f, 300.0f, 6.0f});
    EXPECT_TRUE(left_player(follower)) << "beyond the group's separation";
    host.teleport_player(at(follower));
    EXPECT_FALSE(left_player(follower));
    script.call(kLeaveGroup, {A::arg(follower)});
    EXPECT_TRUE(left_player(follower));
    script.call(kRelease, {A::arg(&dead)});
    EXPECT_TRUE(world().player_group().members.empty()) << "released, he leaves with his handle";
    EXPECT_TRUE(world().errors().empty());
}

}  // namespace
}  // namespace hostsim
