// The property database and the owned-houses file, and the editor menu's
// work on them.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "game_frame.h"
#include "realestate/property_file.h"
#include "realestate/ro_viri_variru_roza.h"
#include "working_folder.h"

namespace corvalen {
namespace {

using test::game;
using test::game_frame;
using test::read_file;
using test::write_file;
namespace fs = std::filesystem;

constexpr const char* kDatabase = "corvalen/house_db.csv";
constexpr const char* kOwned = "corvalen/1/player_houses_db.dat";
// Editor items by their place in the menu.
constexpr std::int32_t kCreateItem = 0;
constexpr std::int32_t kAddGarageItem = 1;
constexpr std::int32_t kDeleteItem = 2;
constexpr std::int32_t kSaveHousesItem = 5;

TEST(PropertyKeyTest, WholeMetresTowardZero) {
    EXPECT_EQ(property_key(-0.4f, 0.4f, -1.9f), "0,0,-1");
    EXPECT_EQ(property_key(-120.75f, 45.25f, 14.9f), "-120,45,14");
    EXPECT_EQ(property_key(3e9f, -3e9f, 0.0f), "2147483647,-2147483648,0");
    EXPECT_EQ(property_key(as_stored(14.996f), 0.0f, 0.0f), "15,0,0");
}

TEST(PropertyLineTest, TenNumbersMakeAPropertyAndAnythingElseNone) {
    const char* refused[] = {
        "1.00,2.00,3.00,f,1,35000,4.00,5.00,6.00,",  // nine fields
        "1.00,2.00,3.00,f,1,-5,4.00,5.00,6.00,3,",   // a price that pays the buyer
        "1.00,x,3.00,f,1,35000,4.00,5.00,6.00,3,",   // not a number
        "1.00,2.00,3.00,f,house,35000,4.00,5.00,6.00,3,",
        "1.00,2.00,inf,f,1,35000,4.00,5.00,6.00,3,",  // no place in the world
        "1.00,2.00,3.00,f,1,35000,4.00,5.00,6.00,9999999999,",
        "",
    };
    for (const char* line : refused)
        EXPECT_FALSE(parse_property_line(line)) << line;
    EXPECT_TRUE(parse_property_line("1.00,2.00,3.00,t,2,0,0.00,0.00,0.00,0,extra,"));

    std::optional<PropertyRecord> house =
        parse_property_line("-120.75,45.25,14.90,t,1,35000,4.00,5.00,6.00,3,");
    ASSERT_TRUE(house);
    EXPECT_EQ(house->property.label, "-120,45,14");
    EXPECT_EQ(house->property.kind, kHouse);
    EXPECT_EQ(house->property.user_value, 35000u);
    EXPECT_EQ(house->property.radius, 1);
    EXPECT_FALSE(is_owned(house->property)) << "the t is for the modder's eyes";
    EXPECT_EQ(house->garage.radius, 3);
    EXPECT_EQ(house->garage.z, 6.0f);

    Property owned(true, kHouse, 35000, -120.754f, 45.25f, 14.9f);
    EXPECT_EQ(property_line(owned, GarageSpot{"", 4.0f, -5.5f, 6.0f, 3, 0}),
              "-120.75,45.25,14.90,t,1,35000,4.00,-5.50,6.00,3,\n");
    EXPECT_EQ(owned_keys({"100+-20+5", "1,2,3", "", "7+8,9"}),
              (std::vector<std::string>{"100,-20,5", "1,2,3", "7,8,9"}));
}

class EstateFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game().leave_vehicle();
        game().teleport_player({400.0f, -300.0f, 6.0f});
        game_frame([&] { estate.set_save_identity("1"); });
    }
    // Chooses item `index` of the open editor menu.
    void choose(std::int32_t index) {
        estate.menu.open = true;
        estate.menu.armed = true;
        estate.menu.highlighted = index;
        game().press_key(static_cast<std::uint8_t>(host::ScanCode::Numpad5));
        game_frame([&] { estate.tick(); });
    }
    void load() {
        game_frame([&] { estate.load_houses(); });
    }
    void save_owned() {
        game_frame([&] { EXPECT_TRUE(estate.save_owned_houses()); });
    }
    std::vector<std::string> labels() const {
        std::vector<std::string> keys;
        for (const Place& place : estate.places)
            keys.push_back(place.label);
        return keys;
    }
    // Every property's blip is live and its own, and the world holds no other.
    void expect_one_live_blip_each(std::size_t blips) {
        std::set<host::Handle> seen;
        for (const Place& place : estate.places) {
            if (place.blip == 0)
                continue;
            EXPECT_NE(game().world().blip(static_cast<std::int32_t>(place.blip)), nullptr);
            EXPECT_TRUE(seen.insert(place.blip).second) << place.label;
        }
        EXPECT_EQ(seen.size(), blips);
        EXPECT_EQ(game().world().blip_count(), blips_before + blips);
        EXPECT_EQ(game().world().errors().size(), errors_before);
    }

    test::WorkingFolder folder;
    ROViriVariruRoza estate{""};
    std::size_t blips_before = game().world().blip_count();
    std::size_t errors_before = game().world().errors().size();
};

TEST_F(EstateFilesTest, OwnershipComesFromTheOwnedHousesFileOnly) {
    write_file(kDatabase,
               "100.00,-20.00,5.00,f,1,35000,0.00,0.00,0.00,0,\n"
               "101.00,-20.00,5.00,t,1,40000,0.00,0.00,0.00,0,\n"
               "bad line,\n"
               "102.00,-20.00,5.00,f,2,80,0.00,0.00,0.00,0,\n");
    write_file(kOwned, "100+-20+5\n");
    load();
    ASSERT_EQ(labels(), (std::vector<std::string>{"100,-20,5", "101,-20,5", "102,-20,5"}));
    EXPECT_TRUE(is_owned(estate.places[0]));
    EXPECT_FALSE(is_owned(estate.places[1]));
    EXPECT_TRUE(estate.places[0].enabled);
    EXPECT_FALSE(estate.places[1].enabled) << "an unowned house waits for selling mode";
    EXPECT_TRUE(estate.places[2].enabled) << "hotels always take part";
    EXPECT_EQ(estate.places[2].blip, 0u) << "hotel blips are off by default";
    save_owned();
    EXPECT_EQ(read_file(kOwned), "100,-20,5\n");

    // Loading twice gives the same properties, and the garages of the
    // database now loaded only.
    write_file(kDatabase, "102.00,-20.00,5.00,f,2,80,0.00,0.00,0.00,0,\n");
    load();
    load();
    EXPECT_EQ(labels(), std::vector<std::string>{"102,-20,5"});
    EXPECT_EQ(estate.house_garages.size(), 1u);
    expect_one_live_blip_each(0);

    write_file(kOwned, "");
    load();
    save_owned();
    EXPECT_TRUE(fs::exists(kOwned));
    EXPECT_EQ(read_file(kOwned), "");
}

// Any kind of property can be listed as owned: its garage is the player's and
// it is written as owned; its key stays in the owned-houses file.
TEST_F(EstateFilesTest, AnOwnedHotelOrOfficeIsOwnedWithItsGarage) {
    const std::string database =
        "400.00,-300.00,6.00,t,2,80,405.00,-300.00,5.00,4,\n"
        "400.00,-250.00,6.00,t,3,0,0.00,0.00,0.00,0,\n";
    write_file(kDatabase, database);
    write_file(kOwned, "400,-300,6\n400,-250,6\n");
    load();
    ASSERT_EQ(estate.places.size(), 2u);
    EXPECT_TRUE(is_owned(estate.places[0]));
    EXPECT_TRUE(is_owned(estate.places[1]));
    ASSERT_EQ(estate.garage.spots.size(), 1u);
    EXPECT_EQ(estate.garage.spots[0].radius, 4);
    game_frame([&] { EXPECT_TRUE(estate.save_houses()); });
    EXPECT_EQ(read_file(kDatabase), database);
    save_owned();
    EXPECT_EQ(read_file(kOwned), "400,-300,6\n400,-250,6\n");
}

TEST_F(EstateFilesTest, AHouseMadeInTheGameStaysOwnedAcrossASaveAndLoad) {
    game().teleport_player({14.996f, -300.004f, 6.0f});
    choose(kCreateItem);
    choose(kCreateItem);  // the same spot twice: two properties of one key
    EXPECT_EQ(read_file(kDatabase),
              "15.00,-300.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n"
              "15.00,-300.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n");
    ASSERT_EQ(labels(), (std::vector<std::string>{"15,-300,6", "15,-300,6"}));

    game().world().set_float_stat(hostsim::kCashStat, 35000.0f);
    game_frame([&] { estate.buy_property(estate.places[0]); });
    save_owned();
    EXPECT_EQ(read_file(kOwned), "15,-300,6\n");
    load();
    EXPECT_TRUE(is_owned(estate.places[0]));
}

// Deleting a property writes no file and leaves the others their blips. The
// player's claim outlives a damaged database and the modder's edits: keys
// that no house holds are written back, and the house is owned again once
// it is back.
TEST_F(EstateFilesTest, OwnedKeysOfNoHouseAreKept) {
    const std::string database =
        "400.00,-400.00,5.00,f,3,0,0.00,0.00,0.00,0,\n"
        "400.00,-300.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n"
        "400.00,-200.00,5.00,f,3,0,0.00,0.00,0.00,0,\n";
    write_file(kDatabase, database);
    write_file(kOwned, "400,-300,6\n4+5+6\n");
    load();
    host::Handle first = estate.places[0].blip;
    host::Handle last = estate.places[2].blip;
    choose(kDeleteItem);
    ASSERT_EQ(labels(), (std::vector<std::string>{"400,-400,5", "400,-200,5"}));
    EXPECT_EQ(estate.places[0].blip, first);
    EXPECT_EQ(estate.places[1].blip, last);
    expect_one_live_blip_each(2);
    EXPECT_EQ(read_file(kDatabase), database);
    save_owned();
    EXPECT_EQ(read_file(kOwned), "4,5,6\n400,-300,6\n");

    write_file(kDatabase, "4.00,5.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n" + database);
    load();
    EXPECT_TRUE(is_owned(estate.places[0]));
    EXPECT_TRUE(is_owned(estate.places[2]));
}

TEST_F(EstateFilesTest, FilesThatCouldNotBeReadAreNeverOverwritten) {
    fs::create_directories(kDatabase);
    fs::create_directories(kOwned);
    game_frame([&] {
        EXPECT_FALSE(estate.load_houses());
        EXPECT_FALSE(estate.save_houses());
        EXPECT_FALSE(estate.save_owned_houses());
    });
    EXPECT_TRUE(fs::is_directory(kDatabase));
    EXPECT_TRUE(fs::is_directory(kOwned));

    fs::remove(kDatabase);
    fs::remove(kOwned);
    load();
    game_frame([&] { EXPECT_TRUE(estate.save_houses()); });
    save_owned();
}

TEST_F(EstateFilesTest, EditorItemsThatSendThePlayerOutCloseTheMenu) {
    const bool open_after[] = {false, false, false, true,  true, true,
                               true,  true,  true,  false, false};
    ASSERT_EQ(estate.menu.items.size(), std::size(open_after));
    for (std::size_t i = 0; i < estate.menu.items.size(); ++i) {
        choose(static_cast<std::int32_t>(i));
        EXPECT_EQ(estate.menu.open, open_after[i]) << estate.menu.items[i].label;
    }
}

TEST_F(EstateFilesTest, AGarageMarkedInTheGameGoesToTheNearestHouseAndIntoTheFile) {
    write_file(kDatabase,
               "400.00,-300.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n"
               "400.00,-150.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n");
    load();
    game().teleport_player({405.0f, -300.0f, 6.0f});
    choose(kAddGarageItem);
    game().teleport_player({409.0f, -300.0f, 6.0f});
    game_frame([&] { estate.tick(); });
    game().press_key(static_cast<std::uint8_t>(host::ScanCode::Y));
    game_frame([&] { estate.tick(); });
    EXPECT_TRUE(estate.garage.spots.empty()) << "the house is not the player's";

    choose(kSaveHousesItem);
    EXPECT_EQ(read_file(kDatabase),
              "400.00,-300.00,6.00,f,1,35000,405.00,-300.00,5.00,4,\n"
              "400.00,-150.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n");
}

}  // namespace
}  // namespace corvalen
