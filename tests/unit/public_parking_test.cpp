// Public parking: the lots file, the editor menu that places and edits lots,
// the per-save car file, what a failed write leaves behind, and the ticket
// when a car is collected.

#include "parking/public_parking.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>

#include "fresh_process.h"
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
    std::vector<std::string> lots() const {
        std::vector<std::string> out;
        for (const GarageSpot& lot : parking.garage.spots) {
            out.push_back(std::to_string(lot.x) + " " + std::to_string(lot.y) + " " +
                          std::to_string(lot.z) + " r" + std::to_string(lot.radius) + " s" +
                          std::to_string(lot.single_storey));
        }
        return out;
    }

    test::WorkingFolder folder;
    PublicParking parking{""};
};

enum MenuItem : std::int32_t {
    kCreate = 0,
    kSingleStorey = 1,
    kDelete = 2,
    kLoadLotsItem = 3,
};

TEST_F(PublicParkingTest, LotsLoadFromTheirFileLineByLine) {
    test::write_file(kLotsFile,
                     "123.46,-7.10,15.00,25,1,\r\n"
                     "1,2,3,4,\n"                 // too few values
                     "x,2,3,4,0,\n"               // not a number
                     "1,nan,3,4,0,\n"             // no place on the map
                     "10,20,5,0,257,extra,\n"     // radius 0 stays; the flag's low byte
                     "-5.5,6,7,99999999999,0,\n"  // radius out of range
                     "-5.5,6,7,8,0,\n");
    for (int pass = 0; pass < 2; ++pass) {
        EXPECT_TRUE(parking.load_lots());
        EXPECT_EQ(lots(), (std::vector<std::string>{"123.459999 -7.100000 15.000000 r25 s1",
                                                    "10.000000 20.000000 5.000000 r0 s1",
                                                    "-5.500000 6.000000 7.000000 r8 s0"}));
    }
    fs::remove(kLotsFile);
    EXPECT_TRUE(parking.load_lots());
    EXPECT_TRUE(parking.garage.spots.empty());
}

TEST_F(PublicParkingTest, LotsAreSavedWithTwoDecimals) {
    parking.garage.spots = {{"", 123.456f, -7.1f, 15.0f, 25, 1}, {"", 0.0f, 0.0f, 0.0f, 0, 0}};
    ASSERT_TRUE(parking.save_lots());
    EXPECT_EQ(test::read_file(kLotsFile), "123.46,-7.10,15.00,25,1,\n0.00,0.00,0.00,0,0,\n");
}

TEST_F(PublicParkingTest, ALotsFileThatCouldNotBeReadIsNotOverwritten) {
    fs::create_directories("elsewhere");
    fs::create_directory_symlink(fs::absolute("elsewhere"), kLotsFile);
    EXPECT_FALSE(parking.load_lots());
    parking.garage.spots.push_back({"", 1.0f, 2.0f, 3.0f, 4, 0});
    EXPECT_FALSE(parking.save_lots());
    EXPECT_TRUE(fs::is_symlink(kLotsFile));
}

// A full disk at every byte of a new lots or car file: each failed write is
// reported and leaves the previous file as it was, with no temporary beside it.
TEST_F(PublicParkingTest, AWriteThatFailsAnywhereKeepsThePreviousFile) {
    test::run_in_fresh_process([&] {
        parking.set_save_identity("1");
        parking.garage.spots = {{"", 50.0f, 0.0f, 5.0f, 10, 0}, {"", -50.0f, 0.0f, 5.0f, 10, 1}};
        for (float x : {50.0f, 52.0f}) {
            hostsim::Vehicle& car = world().add_vehicle(kCoupe, {x, 0.0f, 5.0f}, 0.0f);
            game_frame([&] { parking.garage.park(static_cast<host::Handle>(car.handle)); });
        }
        test::require(parking.garage.stored.size() == 2, "two cars parked");
        struct Writer {
            std::string file;
            std::function<bool()> write;
        };
        const Writer writers[] = {
            {kLotsFile, [&] { return parking.save_lots(); }},
            {parking.garage.car_file, [&] { return parking.garage.write_car_file(); }}};
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlim_t room = limit.rlim_cur;
        for (const Writer& writer : writers) {
            test::require(writer.write(), "written while there is room");
            std::size_t size = test::read_file(writer.file).size();
            const std::string previous = "what the file held,\n";
            test::write_file(writer.file, previous);
            for (rlim_t bytes = 0; bytes < size; ++bytes) {
                limit.rlim_cur = bytes;
                test::require(setrlimit(RLIMIT_FSIZE, &limit) == 0, "file size limit set");
                test::require(!writer.write(), "the failed write reported");
                test::require(test::read_file(writer.file) == previous, "the previous file kept");
                test::require(!fs::exists(writer.file + ".tmp"), "no temporary left");
            }
            limit.rlim_cur = room;
            test::require(setrlimit(RLIMIT_FSIZE, &limit) == 0, "file size limit lifted");
        }
    });
}

TEST_F(PublicParkingTest, TheEditorMarksALotWhereTheCaptureStarted) {
    choose(kCreate);
    EXPECT_TRUE(parking.capture.active);
    EXPECT_TRUE(parking.menu.open) << "the menu stays open";
    game().walk_player_to({12.5f, 0.0f, 5.0f});
    tick();
    tick_pressing(host::ScanCode::Y);
    EXPECT_EQ(lots(), std::vector<std::string>{"0.000000 0.000000 4.000000 r12 s0"});
    EXPECT_EQ(test::read_file(kLotsFile), "0.00,0.00,4.00,12,0,\n");

    // A capture cancelled, or confirmed on the spot, makes no lot.
    choose(kCreate);
    tick_pressing(host::ScanCode::N);
    choose(kCreate);
    game().teleport_player({12.5f, 0.0f, 5.0f});
    tick_pressing(host::ScanCode::Y);
    EXPECT_EQ(parking.garage.spots.size(), 1u);
}

TEST_F(PublicParkingTest, SingleStoreyAndDeleteActOnTheNearestLotAndSaveOnlyAChange) {
    choose(kSingleStorey);
    choose(kDelete);
    EXPECT_FALSE(fs::exists(kLotsFile)) << "nothing changed, nothing written";

    parking.garage.spots = {{"", 10.0f, 0.0f, 5.0f, 5, 0},
                            {"", -10.0f, 0.0f, 5.0f, 5, 0},
                            {"", 0.0f, 30.0f, 5.0f, 5, 0}};
    // The player stands as far from the first two: the lower index wins.
    choose(kSingleStorey);
    EXPECT_EQ(parking.garage.spots[0].single_storey, 1);
    EXPECT_EQ(parking.garage.spots[1].single_storey, 0);
    std::string saved = test::read_file(kLotsFile);
    EXPECT_EQ(saved, "10.00,0.00,5.00,5,1,\n-10.00,0.00,5.00,5,0,\n0.00,30.00,5.00,5,0,\n");
    fs::remove(kLotsFile);
    choose(kSingleStorey);
    EXPECT_FALSE(fs::exists(kLotsFile)) << "already single storey";

    game().teleport_player({0.0f, 500.0f, 5.0f});  // no distance limit
    choose(kDelete);
    EXPECT_EQ(test::read_file(kLotsFile), "10.00,0.00,5.00,5,1,\n-10.00,0.00,5.00,5,0,\n");

    choose(kLoadLotsItem);
    EXPECT_EQ(parking.garage.spots.size(), 2u);
}

TEST_F(PublicParkingTest, EachSaveKeepsItsVehiclesInItsOwnFolder) {
    EXPECT_TRUE(parking.set_save_identity("7"));
    EXPECT_TRUE(fs::is_directory("corvalen/7"));
    EXPECT_EQ(parking.garage.car_file, "corvalen/7/pub_parking_cars.csv");

    // A file where the data folder should be: reported, not thrown.
    test::write_file("blocked", "");
    parking.data_folder = "blocked";
    EXPECT_FALSE(parking.set_save_identity("8"));
    EXPECT_EQ(parking.garage.car_file, "blocked/8/pub_parking_cars.csv");
}

class TicketTest : public PublicParkingTest {
  protected:
    void SetUp() override {
        PublicParkingTest::SetUp();
        parking.garage.spots = {{"", 50.0f, 0.0f, 5.0f, 10, 0}};
        car = world().add_vehicle(kCoupe, {50.0f, 0.0f, 5.0f}, 0.0f).handle;
    }
    // Parks the car at the given clock, lets `game_ms` of game time pass and
    // gets in again; returns what that frame drew.
    hostsim::DrawRecord park_and_collect(int hour, std::uint32_t game_ms) {
        world().set_clock(hour, 0);
        game().enter_vehicle(car);
        tick();
        game().leave_vehicle();
        tick();
        game().pass_wall_time(6);  // "Vehicle Parked" has gone
        game().pass_game_time(game_ms);
        game().enter_vehicle(car);
        return tick();
    }

    std::int32_t car = 0;
};

// Game-timer milliseconds to let pass before a frame so that the frame comes
// `seconds` of game clock later than the one before: the clock runs 30 times
// faster than the timer, and every frame adds its own 33 ms.
constexpr std::uint32_t game_seconds(double seconds) {
    return static_cast<std::uint32_t>(seconds * 1000.0 / 30.0) - 33;
}
constexpr std::uint32_t game_hours(double hours) {
    return game_seconds(hours * 3600.0);
}

TEST_F(TicketTest, CollectingChargesTheRateRoundedUpAndShowsTheTicketForSixSeconds) {
    float cash = world().cash();
    std::vector<std::string> shown = test::texts_of(park_and_collect(6, game_hours(11)));
    EXPECT_EQ(world().cash(), cash - 12.0f);
    EXPECT_EQ(shown, std::vector<std::string>{"Ticket $11.69 - Early Bird"});
    game().pass_wall_time(5);
    EXPECT_EQ(test::texts_of(tick()), shown);
    game().pass_wall_time(1);
    EXPECT_TRUE(tick().empty());
    EXPECT_EQ(parking.garage.records.begin()->second.rate_name, "Early Bird");
}

// A short stay is free and shows nothing; each later collection is a ticket
// of its own, by its own stay.
TEST_F(TicketTest, EveryCollectionIsATicketOfItsOwn) {
    float cash = world().cash();
    EXPECT_TRUE(park_and_collect(14, game_seconds(99)).empty());
    EXPECT_EQ(world().cash(), cash);
    struct Stay {
        std::uint32_t game_ms;
        const char* ticket;
        float charged;
    };
    for (Stay stay : {Stay{game_hours(2), "Ticket $16.69 - Daily rate", 17.0f},
                      Stay{game_hours(0.5), "Ticket $5.69 - 1 Hour", 6.0f}}) {
        SCOPED_TRACE(stay.ticket);
        cash = world().cash();
        game().leave_vehicle();
        tick();
        game().pass_wall_time(6);
        game().pass_game_time(stay.game_ms);
        game().enter_vehicle(car);
        EXPECT_EQ(test::texts_of(tick()), std::vector<std::string>{stay.ticket});
        EXPECT_EQ(world().cash(), cash - stay.charged);
    }
    EXPECT_TRUE(world().errors().empty()) << world().errors().front().text;
}

}  // namespace
}  // namespace corvalen
