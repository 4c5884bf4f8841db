// Building the Mod: what start-up reads and wires, and what it leaves to the
// first tick.

#include "core/mod.h"

#include <gtest/gtest.h>

#include "game_frame.h"
#include "working_folder.h"

namespace corvalen {
namespace {

TEST(ModTest, StartUpReadsTheConfigurationAndAsksTheHostNoNative) {
    test::WorkingFolder folder;
    test::write_file("corvalen/corvalen.conf", "keep_backups = 2\n");
    hostsim::Host& game = test::game();
    std::size_t natives_before = game.native_log().size();

    Mod mod;

    EXPECT_EQ(game.native_log().size(), natives_before);
    EXPECT_EQ(mod.config.get_int("keep_backups", 0), 2);
    EXPECT_EQ(mod.save_tracker.save_identity, 0);
    EXPECT_FALSE(mod.save_tracker.started);
    EXPECT_FALSE(std::filesystem::exists("corvalen/1"));
}

TEST(ModTest, BothGaragesAndTheStationsShareTheFuelModel) {
    test::WorkingFolder folder;
    test::game();
    Mod mod;
    EXPECT_EQ(mod.auto_service.stations.fuel, &mod.auto_service.fuel);
    EXPECT_EQ(mod.real_estate.garage.owner, &mod.auto_service.fuel);
    EXPECT_EQ(mod.public_parking.garage.owner, &mod.auto_service.fuel);
}

TEST(ModTest, ReloadPointsBothGaragesAtTheSavesCarFiles) {
    test::WorkingFolder folder;
    test::game().world().set_int_stat(hostsim::kSaveIdentityStat, 12);
    Mod mod;
    test::game_frame([&] { mod.reload_all(); });
    EXPECT_EQ(mod.save_identity_text, "12");
    EXPECT_EQ(mod.real_estate.garage.car_file, "corvalen/12/house_cars.csv");
    EXPECT_EQ(mod.public_parking.garage.car_file, "corvalen/12/pub_parking_cars.csv");
    EXPECT_TRUE(std::filesystem::is_directory("corvalen/12"));
}

}  // namespace
}  // namespace corvalen
