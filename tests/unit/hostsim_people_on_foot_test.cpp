// The stand-in's people as the real-estate agent relies on them, and the save
// screen that a save at a property goes through.

#include <gtest/gtest.h>

#include <bit>

#include "hostsim/host.h"
#include "hostsim/script_caller.h"

namespace hostsim {
namespace {

using A = ScriptCaller;

constexpr std::uint32_t kAgentModel = 0x5B404032;
constexpr std::uint32_t kSpawnPoint = 0x63C00DE7;
constexpr std::uint32_t kPlayerGroupNative = 0x41AB3C30;
constexpr std::uint32_t kAddToGroup = 0x5E0F611E;
constexpr std::uint32_t kGroupSeparation = 0x22DD329E;
constexpr std::uint32_t kGroupLeader = 0x04C85E23;
constexpr std::uint32_t kCharacterLeft = 0x1DD624A0;
constexpr std::uint32_t kLeaveGroup = 0x649316B7;
constexpr std::uint32_t kReleaseCharacter = 0x0B774604;
constexpr std::uint32_t kSetFloatStat = 0x5213511B;
constexpr std::uint32_t kOpenSaveScreen = 0x78AC735F;

bool as_bool(std::uint32_t slot) {
    return (slot & 0xFF) != 0;
}

class PeopleOnFootTest : public ::testing::Test {
  protected:
    // A pedestrian from the factory at a point; 0 when the factory made none.
    std::int32_t factory_pedestrian(Vec3 at) {
        HostFunctions& game = host.functions();
        std::int32_t index = game.model_index(kAgentModel, nullptr);
        game.model_request(index, 0);
        game.load_requested_models(0);
        float matrix[16] = {};
        matrix[0] = matrix[5] = matrix[10] = matrix[15] = 1.0f;
        matrix[12] = at.x;
        matrix[13] = at.y;
        matrix[14] = at.z;
        std::uint32_t object =
            game.create_pedestrian(host.image().pedestrian_factory(), index, matrix, 1);
        return object == 0 ? 0 : game.handle_from_object(host.image().second_pool(), object);
    }
    std::int32_t player_group() {
        std::int32_t group = 0;
        script.call(kPlayerGroupNative, {A::arg(kPlayerHandle), A::arg(&group)});
        return group;
    }
    // A companion who keeps to the player within `separation` metres.
    std::int32_t companion(float separation) {
        Vec3 start = host.world().player_position();
        std::int32_t person = factory_pedestrian({start.x + 2.0f, start.y, start.z});
        std::int32_t group = player_group();
        script.call(kAddToGroup, {A::arg(group), A::arg(person)});
        script.call(kGroupSeparation, {A::arg(group), A::arg(separation)});
        script.call(kGroupLeader, {A::arg(group), A::arg(host.world().player_character())});
        return person;
    }
    bool left_player(std::int32_t person) {
        return as_bool(script.call(
            kCharacterLeft, {A::arg(person), A::arg(host.world().player_character()), A::arg(0)}));
    }
    Vec3 at(std::int32_t person) { return host.world().character(person)->object.position(); }

    Host host;
    ScriptCaller script{host};
};

TEST_F(PeopleOnFootTest, ThePedestrianFactoryMakesLoadedModelsUntilItsPoolIsFull) {
    std::int32_t person = factory_pedestrian({10.0f, 20.0f, 6.0f});
    ASSERT_NE(person, 0);
    const Character& made = *host.world().character(person);
    EXPECT_EQ(made.model, kAgentModel);
    EXPECT_EQ(made.object.position().y, 20.0f);

    host.world().set_pedestrian_pool_full(true);
    std::size_t characters = host.world().characters().size();
    EXPECT_EQ(factory_pedestrian({10.0f, 20.0f, 6.0f}), 0);
    EXPECT_EQ(host.world().characters().size(), characters);
    EXPECT_TRUE(host.world().errors().empty());
}

TEST_F(PeopleOnFootTest, SpawnPointsLieOnLandBesideThePointAndNowhereAtSea) {
    float x = 0, y = 0, z = 0, heading = 0;
    std::int32_t node = 0;
    auto ask = [&](Vec3 near) {
        return as_bool(script.call(
            kSpawnPoint, {A::arg(near.x), A::arg(near.y), A::arg(near.z), A::arg(1.0f), A::arg(1),
                          A::arg(&x), A::arg(&y), A::arg(&z), A::arg(&heading), A::arg(&node)}));
    };
    ASSERT_TRUE(ask({-120.0f, 35.0f, 6.0f}));
    EXPECT_EQ(x, -118.0f);
    EXPECT_EQ(y, 35.0f);
    EXPECT_EQ(z, 6.0f);
    EXPECT_FALSE(ask({0.0f, 700.0f, 1.0f}));
}

TEST_F(PeopleOnFootTest, TheCompanionWalksAfterThePlayerUntilHeStraysOrLeaves) {
    ASSERT_EQ(player_group(), kPlayerGroup);
    std::int32_t person = companion(50.0f);
    EXPECT_EQ(host.world().player_group().members, std::vector<std::int32_t>{person});
    EXPECT_TRUE(host.world().groups().empty()) << "the player's group is no script's";
    EXPECT_FALSE(left_player(person));

    ASSERT_GT(host.walk_player_to({-120.0f, 135.0f, 6.0f}), 0);
    host.run_frames(30);
    EXPECT_NEAR(distance(at(person), host.world().player_position()), 2.0f, 0.01f);
    EXPECT_FALSE(left_player(person));

    // Teleported away: beyond the group's separation.
    host.teleport_player({-120.0f, 300.0f, 6.0f});
    EXPECT_TRUE(left_player(person));
    host.teleport_player(at(person));
    EXPECT_FALSE(left_player(person));

    script.call(kLeaveGroup, {A::arg(person)});
    EXPECT_TRUE(left_player(person));
    EXPECT_TRUE(host.world().errors().empty());
}

TEST_F(PeopleOnFootTest, TheDeadStayBehindAndWanderersWalkOff) {
    std::int32_t dead = companion(50.0f);
    std::int32_t wanderer = companion(50.0f);
    host.world().kill_character(dead);
    host.world().send_wandering(wanderer);
    Vec3 grave = at(dead);
    Vec3 wander_start = at(wanderer);
    EXPECT_TRUE(left_player(wanderer));
    EXPECT_FALSE(left_player(dead)) << "dead, but still of the group";
    EXPECT_TRUE(host.world().character(dead)->dead);

    host.walk_player_to({-120.0f, 100.0f, 6.0f});
    EXPECT_EQ(distance(at(dead), grave), 0.0f);
    EXPECT_GT(distance(at(wanderer), wander_start), 1.0f);

    // Released, a member leaves the group with his handle.
    script.call(kReleaseCharacter, {A::arg(&dead)});
    EXPECT_EQ(host.world().character(dead), nullptr);
    EXPECT_TRUE(host.world().player_group().members.empty());
}

// A statistic set at the opening of the save screen, and another changed in
// its first frame: which of them the save holds depends on when the game
// writes it.
TEST(SaveScreenTest, TheSaveHoldsTheStatisticsOfItsMoment) {
    for (bool at_open : {false, true}) {
        SCOPED_TRACE(at_open ? "written at open" : "written at the end");
        BootOptions options;
        options.world.save_written_at_open = at_open;
        Host game(options);
        ScriptCaller caller(game);
        game.run_frame();
        caller.call(kSetFloatStat, {A::arg(210), A::arg(12.5f)});
        caller.call(kOpenSaveScreen, {});
        game.run_frame();  // the first frame of the screen
        EXPECT_TRUE(game.world().non_playing());
        caller.call(kSetFloatStat, {A::arg(210), A::arg(0.0f)});
        game.run_frames(40);
        ASSERT_EQ(game.world().saves().count(1), 1u);
        EXPECT_EQ(game.world().saves().at(1).float_stats.at(210), at_open ? 12.5f : 0.0f);
    }
}

TEST_F(PeopleOnFootTest, ABackedOutSaveScreenSavesNothing) {
    host.run_frame();
    script.call(kOpenSaveScreen, {});
    host.run_frames(3);
    host.world().cancel_save_screen();
    host.run_frame();
    EXPECT_FALSE(host.world().non_playing());
    host.run_frames(40);
    EXPECT_TRUE(host.world().saves().empty());
}

}  // namespace
}  // namespace hostsim
