// Building the Mod: how start-up wires the features, and where a reload
// points them.

#include "core/mod.h"

#include <gtest/gtest.h>

#include "game_frame.h"
#include "working_folder.h"

namespace corvalen {
namespace {

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
