// Public parking: the lots file, the editor menu that places and edits lots,
// and the ticket when a car is collected.

#include "parking/public_parking.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "game_frame.h"
#include "working_folder.h"

namespace corvalen {
namespace {

namespace fs = std::filesystem;
using test::game;
using test::game_frame;

constexpr const char* kLotsFile = "corvalen/pub_parking_lots.csv";
const std::uint32_t kCoupe = hostsim::vehicle_models()[1].id;

class PublicParkingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game().leave_vehicle();
        game().teleport_player({0.0f, 0.0f, 5.0f});
        fs::create_directories("corvalen");
    }

    hostsim::World& world() { return game().world(); }
    hostsim::DrawRecord tick() {
        return game_frame([&] { parking.tick(); });
    }
    hostsim::DrawRecord tick_pressing(host::ScanCode key) {
        game().press_key(static_cast<std::uint8_t>(key));
        return tick();
    }
    // Opens the editor menu and chooses the item at `index`.
    void choose(std::int32_t index) {
        if (!parking.menu.open) {
            parking.menu.toggle();
            tick();
        }
        parking.menu.highlighted = index;
        tick_pressing(host::ScanCode::Numpad5);
    }

    test::WorkingFolder folder;
    PublicParking parking{""};
};

// The editor's items.
constexpr std::int32_t kCreate = 0, kSingleStorey = 1, kDelete = 2, kLoadLotsItem = 3;

TEST_F(PublicParkingTest, LotsLoadLineByLineAndSaveWithTwoDecimals) {
    test::write_file(kLotsFile,
                     "123.456,-7.1,15,25,1,\r\n"
                     "1,2,3,4,\n"                 // too few values
                     "x,2,3,4,0,\n"               // not a number
                     "1,nan,3,4,0,\n"             // no place on the map
                     "10,20,5,0,257,extra,\n"     // radius 0 stays; the flag's low byte
                     "-5.5,6,7,99999999999,0,\n"  // radius out of range
                     "-5.5,6,7,8,0,\n");
    // Loaded again from what was saved: the list is emptied first, and the
    // lines that hold no lot follow the lots unchanged.
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(parking.load_lots());
        ASSERT_TRUE(parking.save_lots());
        EXPECT_EQ(test::read_file(kLotsFile),
                  "123.46,-7.10,15.00,25,1,\n10.00,20.00,5.00,0,1,\n-5.50,6.00,7.00,8,0,\n"
                  "1,2,3,4,\nx,2,3,4,0,\n1,nan,3,4,0,\n-5.5,6,7,99999999999,0,\n");
    }
}

TEST_F(PublicParkingTest, TheEditorMarksALotWhereTheCaptureStarted) {
    choose(kCreate);
    EXPECT_TRUE(parking.capture.active);
    EXPECT_TRUE(parking.menu.open) << "the menu stays open";
    game().walk_player_to({12.5f, 0.0f, 5.0f});
    tick();
    tick_pressing(host::ScanCode::Y);
    EXPECT_EQ(test::read_file(kLotsFile), "0.00,0.00,4.00,12,0,\n");

    // A capture cancelled, or confirmed on the spot, makes no lot.
    choose(kCreate);
    tick_pressing(host::ScanCode::N);
    choose(kCreate);
    game().teleport_player({12.5f, 0.0f, 5.0f});
    tick_pressing(host::ScanCode::Y);
    EXPECT_EQ(parking.garage.spots.size(), 1u);
}

TEST_F(PublicParkingTest, SingleStoreyAndDeleteActOnTheNearestLotAndSaveTheLots) {
    parking.garage.spots = {{"", 10.0f, 0.0f, 5.0f, 5, 0},
                            {"", -10.0f, 0.0f, 5.0f, 5, 0},
                            {"", 0.0f, 30.0f, 5.0f, 5, 0}};
    // The player stands as far from the first two: the lower index wins.
    choose(kSingleStorey);
    EXPECT_EQ(parking.garage.spots[0].single_storey, 1);
    EXPECT_EQ(parking.garage.spots[1].single_storey, 0);
    std::string saved = test::read_file(kLotsFile);
    EXPECT_EQ(saved, "10.00,0.00,5.00,5,1,\n-10.00,0.00,5.00,5,0,\n0.00,30.00,5.00,5,0,\n");

    game().teleport_player({0.0f, 500.0f, 5.0f});  // no distance limit
    choose(kDelete);
    EXPECT_EQ(test::read_file(kLotsFile), "10.00,0.00,5.00,5,1,\n-10.00,0.00,5.00,5,0,\n");

    choose(kLoadLotsItem);
    EXPECT_EQ(parking.garage.spots.size(), 2u);
}

// Game-timer milliseconds to let pass before a frame so that the frame comes
// `seconds` of game clock later than the one before: the clock runs 30 times
// faster than the timer, and every frame adds its own 33 ms.
constexpr std::uint32_t game_seconds(double seconds) {
    return static_cast<std::uint32_t>(seconds * 1000.0 / 30.0) - 33;
}

// A short stay is free and shows nothing; every later collection is a ticket
// of its own, by its own stay, charged rounded up.
TEST_F(PublicParkingTest, EveryCollectionIsATicketOfItsOwn) {
    parking.garage.spots = {{"", 50.0f, 0.0f, 5.0f, 10, 0}};
    std::int32_t car = world().add_vehicle(kCoupe, {50.0f, 0.0f, 5.0f}, 0.0f).handle;
    world().set_clock(7, 30);
    game().enter_vehicle(car);
    tick();
    struct Stay {
        std::uint32_t game_ms;
        std::vector<std::string> shown;
        float charged;
    };
    const Stay stays[] = {{game_seconds(99), {}, 0.0f},
                          {game_seconds(2 * 3600), {"Ticket $11.69 - Early Bird"}, 12.0f},
                          {game_seconds(1800), {"Ticket $5.69 - 1 Hour"}, 6.0f}};
    for (const Stay& stay : stays) {
        SCOPED_TRACE(stay.game_ms);
        float cash = world().cash();
        game().leave_vehicle();
        tick();
        game().pass_wall_time(6);  // "Vehicle Parked" has gone
        game().pass_game_time(stay.game_ms);
        game().enter_vehicle(car);
        EXPECT_EQ(test::texts_of(tick()), stay.shown);
        EXPECT_EQ(world().cash(), cash - stay.charged);
    }
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
}

}  // namespace
}  // namespace corvalen
