// Building the Mod: how start-up wires the features, and where a reload
// points them.

#include "core/mod.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "game_frame.h"
#include "working_folder.h"

namespace corvalen {
namespace {

// Both garages and the stations share the fuel model; a reload points the
// garages at the save's car files and the hotels follow the configuration.
TEST(ModTest, StartUpAndReloadWireTheFeatures) {
    test::WorkingFolder folder;
    test::write_file("corvalen/corvalen.conf", "blip_hotels=true\n");
    test::write_file("corvalen/house_db.csv", "400.00,-240.00,6.00,f,2,80,0.00,0.00,0.00,0,\n");
    test::game().world().set_int_stat(hostsim::kSaveIdentityStat, 12);
    Mod mod;
    EXPECT_EQ(mod.auto_service.stations.fuel, &mod.auto_service.fuel);
    EXPECT_EQ(mod.real_estate.garage.owner, &mod.auto_service.fuel);
    EXPECT_EQ(mod.public_parking.garage.owner, &mod.auto_service.fuel);
    test::game_frame([&] { mod.reload_all(); });
    EXPECT_EQ(mod.save_identity_text, "12");
    EXPECT_EQ(mod.real_estate.garage.car_file, "corvalen/12/house_cars.csv");
    EXPECT_EQ(mod.public_parking.garage.car_file, "corvalen/12/pub_parking_cars.csv");
    ASSERT_EQ(mod.real_estate.places.size(), 1u);
    EXPECT_NE(mod.real_estate.places[0].blip, 0u) << "a hotel blip";
}

// With a folder at the top of the range no identity is free: handing out
// 2147483647 would load that folder's data into the new game and overwrite it
// at the next autosave. The mod waits, and lists the data folder again only
// when a number may have come free: at a save or a load, or a few seconds on.
// Any value below 1 is a game without identity, not only 0.
TEST(ModTest, NoIdentityIsHandedOutWhileNoneIsFree) {
    for (auto [stat, at_a_save] :
         {std::pair{std::numeric_limits<std::int32_t>::min(), true}, std::pair{-3, false}}) {
        test::WorkingFolder folder;
        test::write_file("corvalen/2147483647/house_cars.csv", "theirs");
        hostsim::World& world = test::game().world();
        world.set_int_stat(hostsim::kSaveIdentityStat, stat);
        world.set_paused(false);
        Mod mod;
        auto tick = [&] { test::game_frame([&] { mod.frame_tick(); }); };
        tick();
        world.set_paused(true);
        test::game().pass_wall_time(60);
        tick();
        EXPECT_EQ(mod.save_identity_text, "") << "nothing reloaded";
        EXPECT_EQ(test::read_file("corvalen/2147483647/house_cars.csv"), "theirs");

        std::filesystem::remove_all("corvalen/2147483647");
        tick();
        EXPECT_EQ(world.int_stat(hostsim::kSaveIdentityStat), stat) << "not looked for yet";
        if (at_a_save) {
            world.set_paused(false);
            tick();
            world.set_paused(true);
        } else {
            test::game().pass_wall_time(SaveTracker::kAllocationRetry);
        }
        tick();
        EXPECT_EQ(world.int_stat(hostsim::kSaveIdentityStat), 1);
        EXPECT_EQ(mod.save_identity_text, "1");
        EXPECT_FALSE(std::filesystem::exists("corvalen/" + std::to_string(stat)));
    }
}

// Each per-save file is written whatever became of the others.
TEST(ModTest, AFailingWriterStopsNoOtherFile) {
    const char* files[] = {"corvalen/1/player_houses_db.dat", "corvalen/1/house_cars.csv",
                           "corvalen/1/pub_parking_cars.csv"};
    for (const char* blocked : files) {
        test::WorkingFolder folder;
        test::game().world().set_int_stat(hostsim::kSaveIdentityStat, 1);
        Mod mod;
        test::game_frame([&] { mod.reload_all(); });
        EXPECT_TRUE(std::filesystem::is_directory("corvalen/1")) << "made with its parent";
        // A folder where the new file is first written makes that write fail.
        std::filesystem::create_directories(std::string(blocked) + ".tmp");
        test::game_frame([&] { mod.save_all(); });
        for (const char* file : files)
            EXPECT_EQ(std::filesystem::exists(file), file != blocked) << blocked << ": " << file;
    }
}

}  // namespace
}  // namespace corvalen
