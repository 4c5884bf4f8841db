// The property database and the owned-houses file, and the editor menu's
// work on them.

#include <gtest/gtest.h>

#include <bit>
#include <filesystem>
#include <set>

#include "core/text_number.h"
#include "file_faults.h"
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
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

constexpr const char* kDatabase = "corvalen/house_db.csv";
constexpr const char* kOwned = "corvalen/1/player_houses_db.dat";
// Editor items by their place in the menu.
constexpr std::int32_t kCreateItem = 0;
constexpr std::int32_t kAddGarageItem = 1;
constexpr std::int32_t kDeleteItem = 2;
constexpr std::int32_t kSaveHousesItem = 5;

TEST(PropertyLineTest, TenNumbersMakeAPropertyAndAnythingElseNone) {
    EXPECT_EQ(property_key(-0.4f, 0.4f, -1.9f), "0,0,-1");
    EXPECT_EQ(property_key(3e9f, -3e9f, 0.0f), "2147483647,-2147483648,0");
    EXPECT_EQ(property_key(as_stored(14.996f), 0.0f, 0.0f), "15,0,0");
    const char* refused[] = {
        "1.00,2.00,3.00,f,1,35000,4.00,5.00,6.00,",  // nine fields
        "1.00,2.00,3.00,f,1,-5,4.00,5.00,6.00,3,",   // a price that pays the buyer
        "1.00,x,3.00,f,1,35000,4.00,5.00,6.00,3,",
        "1.00,2.00,inf,f,1,35000,4.00,5.00,6.00,3,",  // no place in the world
        "1.00,2.00,3.00,f,1,35000,4.00,5.00,6.00,9999999999,",
    };
    for (const char* line : refused)
        EXPECT_FALSE(parse_property_line(line)) << line;

    std::optional<PropertyRecord> house =
        parse_property_line("-120.75,45.25,14.90,t,1,35000,4.00,5.00,6.00,3,extra,");
    ASSERT_TRUE(house);
    EXPECT_EQ(house->property.label, "-120,45,14");
    EXPECT_FALSE(is_owned(house->property)) << "the t is for the modder's eyes";
    EXPECT_EQ(property_line(house->property, house->garage),
              "-120.75,45.25,14.90,f,1,35000,4.00,5.00,6.00,3,\n");
    EXPECT_EQ(house->property.radius, 1);
    EXPECT_EQ(owned_keys({"100+-20+5", "1,2,3", "", "7+8,9", "4,5,6\r", "1,1,1\r2,2,2"}),
              (Texts{"100,-20,5", "1,2,3", "7,8,9", "4,5,6", "1,1,1", "2,2,2"}));
    // Two decimals, as the database holds the position once written.
    house = parse_property_line("12.999,-5.001,3.456,f,1,100,0.00,0.00,0.00,0,");
    ASSERT_TRUE(house);
    EXPECT_EQ(house->property.label, "13,-5,3");
    EXPECT_EQ(house->key_as_written, "12,-5,3");
}

// A field already in the stored form is taken as read instead of being
// written out and read back; the result must not differ by a bit, least of
// all where the floats' spacing passes a cent.
TEST(PropertyLineTest, AFieldInTheStoredFormIsStoredAsRead) {
    Texts texts = {"-0",    "-0.00", "12.",    "007.5",      "131072.1", "99999999999999999999.99",
                   "1.234", "1.235", "-0.004", "12e2",       " 1.5",     "+1.50",
                   ".5",    "1.5x",  "1.-5",   "16777217.25"};
    for (double base : {0.0, 65535.0, 131071.5, 262144.0, 8388607.0, 16777216.0, 1e9}) {
        for (int cents = -150; cents <= 150; ++cents)
            texts.push_back(fixed_decimals(base + cents / 100.0, 2));
    }
    for (const std::string& text : texts) {
        std::optional<float> read = float_field(text);
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(as_stored(text, *read)),
                  std::bit_cast<std::uint32_t>(as_stored(*read)))
            << text;
    }
}

class EstateFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
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
    std::string save_owned() {
        game_frame([&] { EXPECT_TRUE(estate.save_owned_houses()); });
        return read_file(kOwned);
    }
    // Each property as "key owned enabled blip", with - for no, and the blips
    // live and each its own.
    Texts properties() {
        Texts shown;
        std::set<host::Handle> blips;
        for (const Place& place : estate.places) {
            shown.push_back(place.label + (is_owned(place) ? " o" : " -") +
                            (place.enabled ? "e" : "-") + (place.blip != 0 ? "b" : "-"));
            if (place.blip != 0) {
                EXPECT_NE(game().world().blip(static_cast<std::int32_t>(place.blip)), nullptr);
                EXPECT_TRUE(blips.insert(place.blip).second) << place.label;
            }
        }
        EXPECT_EQ(game().world().blip_count(), blips_before + blips.size());
        EXPECT_TRUE(game().world().errors().empty());
        return shown;
    }

    test::WorkingFolder folder;
    ROViriVariruRoza estate{""};
    std::size_t blips_before = game().world().blip_count();
};

// The t of the database is not read; unowned houses wait for selling mode,
// hotels (without blips by default) always take part. Loading again replaces
// the properties and their garages.
TEST_F(EstateFilesTest, OwnershipComesFromTheOwnedHousesFileOnly) {
    write_file(kDatabase,
               "100.00,-20.00,5.00,f,1,35000,0.00,0.00,0.00,0,\n"
               "101.00,-20.00,5.00,t,1,40000,0.00,0.00,0.00,0,\n"
               "bad line,\n"
               "102.00,-20.00,5.00,f,2,80,0.00,0.00,0.00,0,\n");
    write_file(kOwned, "100+-20+5\n");
    load();
    EXPECT_EQ(properties(), (Texts{"100,-20,5 oeb", "101,-20,5 ---", "102,-20,5 -e-"}));
    EXPECT_EQ(save_owned(), "100,-20,5\n");

    write_file(kDatabase, "102.00,-20.00,5.00,f,2,80,0.00,0.00,0.00,0,\n");
    load();
    load();
    EXPECT_EQ(properties(), Texts{"102,-20,5 -e-"});
    EXPECT_EQ(estate.house_garages.size(), 1u);
    write_file(kOwned, "");
    load();
    EXPECT_EQ(save_owned(), "");
    // An owned key of the position as written by hand still names the house.
    write_file(kDatabase, "12.999,-5.00,3.00,f,1,100,0.00,0.00,0.00,0,\n");
    write_file(kOwned, "12,-5,3\n");
    load();
    EXPECT_EQ(properties(), Texts{"13,-5,3 oeb"});
    EXPECT_EQ(save_owned(), "13,-5,3\n");
}

// A database whose reading fails part way loads no property, no blip and no
// garage: what was read of it is no account of the file.
TEST_F(EstateFilesTest, ADatabaseThatFailsPartWayLoadsNothing) {
    write_file(kDatabase,
               "100.00,-20.00,5.00,f,1,35000,101.00,-20.00,5.00,3,\n"
               "200.00,-20.00,5.00,f,1,35000,201.00,-20.00,5.00,3,\n");
    write_file(kOwned, "100,-20,5\n");
    test::watch_files(0);
    load();
    const int operations = test::stop_watching_files().operations;
    ASSERT_EQ(estate.garage.spots.size(), 1u);
    int failed = 0;
    for (int n = 1; n <= operations; ++n) {
        SCOPED_TRACE(n);
        test::watch_files(n);
        load();
        test::stop_watching_files();
        if (!estate.house_file_unread)
            continue;
        ++failed;
        EXPECT_EQ(properties(), Texts{});
        EXPECT_TRUE(estate.garage.spots.empty());
        EXPECT_TRUE(estate.house_garages.empty());
        EXPECT_EQ(save_owned(), "100,-20,5\n") << "the key of a house not loaded is kept";
    }
    EXPECT_GE(failed, 2) << "the opening and the reads";
}

// A load gives the garages of the database and no others: a house made again
// where one has gone starts without its garage.
TEST_F(EstateFilesTest, ALoadKeepsOnlyTheGaragesOfItsDatabase) {
    write_file(kDatabase,
               "400.00,-300.00,6.00,f,1,35000,405.00,-300.00,5.00,4,\n"
               "100.00,-20.00,5.00,f,1,35000,101.00,-20.00,5.00,3,\n");
    load();
    write_file(kDatabase,
               "100.00,-20.00,5.00,f,1,35000,102.00,-20.00,5.00,6,\n"
               "100.00,-20.00,5.00,f,1,35000,103.00,-20.00,5.00,7,\n");
    load();
    choose(kCreateItem);
    EXPECT_EQ(read_file(kDatabase),
              "100.00,-20.00,5.00,f,1,35000,103.00,-20.00,5.00,7,\n"
              "100.00,-20.00,5.00,f,1,35000,103.00,-20.00,5.00,7,\n"
              "400.00,-300.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n");
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
    EXPECT_EQ(properties(), (Texts{"400,-300,6 oe-", "400,-250,6 oeb"}));
    ASSERT_EQ(estate.garage.spots.size(), 1u);
    EXPECT_EQ(estate.garage.spots[0].radius, 4);
    game_frame([&] { EXPECT_TRUE(estate.save_houses()); });
    EXPECT_EQ(read_file(kDatabase), database);
    EXPECT_EQ(save_owned(), "400,-300,6\n400,-250,6\n");
}

// Deleting writes no file and leaves the others their blips. The player's
// claim outlives a damaged database and the modder's edits: keys that no
// house holds are written back, and the house is owned again once it is back.
TEST_F(EstateFilesTest, OwnedKeysOfNoHouseAreKept) {
    const std::string database =
        "400.00,-400.00,5.00,f,3,0,0.00,0.00,0.00,0,\n"
        "400.00,-300.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n"
        "400.00,-200.00,5.00,f,3,0,0.00,0.00,0.00,0,\n";
    write_file(kDatabase, database);
    write_file(kOwned, "400,-300,6\n4+5+6\n");
    load();
    host::Handle last = estate.places[2].blip;
    choose(kDeleteItem);
    EXPECT_EQ(properties(), (Texts{"400,-400,5 -eb", "400,-200,5 -eb"}));
    EXPECT_EQ(estate.places[1].blip, last);
    EXPECT_EQ(read_file(kDatabase), database);
    EXPECT_EQ(save_owned(), "4,5,6\n400,-300,6\n");

    write_file(kDatabase, "4.00,5.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n" + database);
    load();
    EXPECT_EQ(properties(),
              (Texts{"4,5,6 oeb", "400,-400,5 -eb", "400,-300,6 oeb", "400,-200,5 -eb"}));
}

// Links to themselves in the files' places: neither can be read, and either
// could be replaced.
TEST_F(EstateFilesTest, FilesThatCouldNotBeReadAreNeverOverwritten) {
    fs::create_symlink("house_db.csv", kDatabase);
    fs::create_symlink("player_houses_db.dat", kOwned);
    game_frame([&] {
        EXPECT_FALSE(estate.load_houses());
        EXPECT_FALSE(estate.save_houses());
        EXPECT_FALSE(estate.save_owned_houses());
    });
    EXPECT_TRUE(fs::is_symlink(kDatabase));
    EXPECT_TRUE(fs::is_symlink(kOwned));
    fs::remove(kDatabase);
    fs::remove(kOwned);
    load();
    game_frame([&] { EXPECT_TRUE(estate.save_houses()); });
    EXPECT_EQ(save_owned(), "");
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

// A house made at the player's spot is written at once, its position as the
// file holds it so that its key survives; two at one spot share a key. A
// garage marked goes to the nearest house, centred where the capture began, a
// metre below, with the radius walked out; it is the player's once the house
// is bought, and it is saved with the houses.
TEST_F(EstateFilesTest, HousesAndGaragesMadeInTheGame) {
    const std::string far_house = "400.00,-150.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n";
    write_file(kDatabase, far_house);
    load();
    game().teleport_player({404.996f, -300.004f, 6.0f});
    choose(kCreateItem);
    choose(kCreateItem);
    const std::string made = "405.00,-300.00,6.00,f,1,35000,0.00,0.00,0.00,0,\n";
    EXPECT_EQ(read_file(kDatabase), far_house + made + made);

    choose(kAddGarageItem);
    game().teleport_player({409.0f, -300.0f, 6.0f});
    game().press_key(static_cast<std::uint8_t>(host::ScanCode::Y));
    game_frame([&] { estate.tick(); });
    EXPECT_TRUE(estate.garage.spots.empty());
    game().world().set_float_stat(hostsim::kCashStat, 35000.0f);
    game_frame([&] { estate.buy_property(estate.places.edit(1)); });
    ASSERT_EQ(estate.garage.spots.size(), 1u);
    EXPECT_EQ(estate.garage.spots[0].radius, 4);
    EXPECT_EQ(save_owned(), "405,-300,6\n");
    choose(kSaveHousesItem);
    const std::string with_garage = "405.00,-300.00,6.00,f,1,35000,405.00,-300.00,5.00,4,\n";
    EXPECT_EQ(read_file(kDatabase),
              far_house + "405.00,-300.00,6.00,t,1,35000,405.00,-300.00,5.00,4,\n" + with_garage);
    load();
    EXPECT_EQ(properties(), (Texts{"400,-150,6 ---", "405,-300,6 oeb", "405,-300,6 oeb"}));
}

}  // namespace
}  // namespace corvalen
