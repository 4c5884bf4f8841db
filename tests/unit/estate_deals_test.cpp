// At the properties: blips, prompts and the panel, buying and selling, and
// the agent. Every case ends with no host errors, so that a call on a handle
// the host no longer knows shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <functional>
#include <map>
#include <tuple>

#include "game_frame.h"
#include "realestate/property_panel.h"
#include "realestate/ro_viri_variru_roza.h"
#include "working_folder.h"

namespace corvalen {
namespace {

using host::ScanCode;
using test::game;
using test::game_frame;
using Texts = std::vector<std::string>;

constexpr hostsim::Vec3 kOfficeDoor{400.0f, -300.0f, 6.0f};   // on Market Street
constexpr hostsim::Vec3 kForSaleDoor{400.0f, -280.0f, 6.0f};  // no street there
constexpr hostsim::Vec3 kOwnedDoor{400.0f, -260.0f, 6.0f};
constexpr hostsim::Vec3 kHotelDoor{400.0f, -240.0f, 6.0f};

hostsim::World& world() {
    return game().world();
}

bool said_thanks_since(std::size_t journal_entry) {
    return std::any_of(world().journal().begin() + static_cast<std::ptrdiff_t>(journal_entry),
                       world().journal().end(), [](const hostsim::JournalEntry& entry) {
                           return entry.text.ends_with(" says THANKS");
                       });
}

// The natives called from log entry `from` on, "hash arguments; ...", with
// out-addresses as ".", and floats and texts where kForms (i integer, f float,
// a address, s text) says so.
std::string calls_since(std::size_t from) {
    static const std::map<std::uint32_t, std::string> kForms = {
        {0x63C00DE7, "ffffiaaaaa"}, {0x41AB3C30, "ia"},    {0x22DD329E, "if"},
        {0x511454A9, "ia"},         {0x127669D3, "if"},    {0x19A64C5D, "ia"},
        {0x44D349D9, "if"},         {0x5CF149C8, "isiii"}, {0x0B774604, "a"}};
    std::string calls;
    const std::vector<hostsim::NativeCall>& log = game().native_log();
    for (std::size_t i = from; i < log.size(); ++i) {
        char hash[16];
        std::snprintf(hash, sizeof(hash), "%s%08X", calls.empty() ? "" : "; ",
                      static_cast<unsigned>(log[i].hash));
        calls += hash;
        auto form = kForms.find(log[i].hash);
        for (std::uint32_t k = 0; k < log[i].argument_count; ++k) {
            char kind = form != kForms.end() && k < form->second.size() ? form->second[k] : 'i';
            std::uint32_t value = log[i].slots[k];
            calls += kind == 'a'   ? std::string(" .")
                     : kind == 'f' ? " " + hostsim::format_float(std::bit_cast<float>(value))
                     : kind == 's'
                         ? std::string(" ") + reinterpret_cast<const char*>(std::uintptr_t{value})
                         : " " + std::to_string(static_cast<std::int32_t>(value));
        }
    }
    return calls;
}

class EstateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        test::write_file("corvalen/house_db.csv",
                         "400.00,-300.00,6.00,f,3,0,0.00,0.00,0.00,0,\n"
                         "400.00,-280.00,6.00,f,1,35000,410.00,-280.00,5.00,3,\n"
                         "400.00,-260.00,6.00,t,1,50000,0.00,0.00,0.00,0,\n"
                         "400.00,-240.00,6.00,f,2,80,0.00,0.00,0.00,0,\n");
        test::write_file("corvalen/1/player_houses_db.dat", "400,-260,6\n");
        world().set_float_stat(hostsim::kCashStat, 100000.0f);
        walk_to({400.0f, 200.0f, 6.0f});  // far from everything
        game_frame([&] {
            estate.set_save_identity("1");
            estate.load_houses();
        });
        tick();  // the first check, swallowed
    }
    void TearDown() override {
        for (const hostsim::JournalEntry& error : world().errors())
            ADD_FAILURE() << error.text;
    }

    // The player stands at a point and the next frame looks at once.
    void walk_to(hostsim::Vec3 at) {
        game().teleport_player(at);
        estate.next_check_time = 0;
    }
    // Enter at a door the player has just reached.
    void enter_at(hostsim::Vec3 door) {
        walk_to(door);
        tick();
        game().press_key(static_cast<std::uint8_t>(ScanCode::Enter));
        tick();
    }
    hostsim::DrawRecord tick() {
        return game_frame([&] { estate.tick(); });
    }
    Place& property_at(hostsim::Vec3 door) {
        return estate.places.edit(static_cast<std::size_t>((door.y - kOfficeDoor.y) / 20.0f));
    }

    test::WorkingFolder folder;
    ROViriVariruRoza estate{""};
};

// The prompts that the panel case below does not show.
TEST(PropertyPanelTest, PromptsSayWhatEnterDoes) {
    const Property house(true, kHouse, 35000, 1, 2, 3);
    EXPECT_EQ(prompt_text(house, true), "Press [ENTER] to sell this property for $35000");
    const Property office(false, kEstateOffice, 0, 1, 2, 3);
    EXPECT_EQ(prompt_text(office, true), "Press [ENTER] to dismiss the real estate agent");
    EXPECT_EQ(prompt_text(Property(false, 7, 0, 1, 2, 3), true), "Press [ENTER] to ");
    // 46341² no longer fits 32 bits; the area is still the true one.
    EXPECT_EQ(parking_area(46341), "6743113427");
}

// What the host is told about each property's blip: sprite, colour, alpha,
// range, scale and name.
TEST(EstateBlipsTest, StyleFollowsKindAndOwnership) {
    // Kind, owned, hotel blips on, and the blip (nullptr: none).
    const std::tuple<std::int32_t, bool, bool, const char*> cases[] = {
        {kHouse, true, false, "29 0 255 long 1.00 Safehouse"},
        {kHouse, false, false, "29 14 200 short 1.00 Safehouse"},
        {kHotel, false, true, "29 10 200 short 0.50 Hotel"},
        {kHotel, false, false, nullptr},
        {kEstateOffice, false, false, "29 3 200 short 0.50 Real State Agent"},
        {7, false, false, "29 7 200 short 1.00 "},
    };
    ROViriVariruRoza estate("");
    for (auto [kind, owned, hotel_blips, expected] : cases) {
        estate.hotel_blips = hotel_blips;
        Property property(owned, kind, 100, 1.0f, 2.0f, 3.0f);
        game_frame([&] { estate.refresh_blip(property, true); });
        const hostsim::Blip* blip = world().blip(static_cast<std::int32_t>(property.blip));
        ASSERT_EQ(blip != nullptr, expected != nullptr) << kind;
        if (blip != nullptr) {
            EXPECT_EQ(std::to_string(blip->sprite) + " " + std::to_string(blip->colour) + " " +
                          std::to_string(blip->alpha) + (blip->short_range ? " short " : " long ") +
                          hostsim::format_float(blip->scale) + " " + blip->name,
                      expected);
        }
    }
}

// Each text drawn at a property, with its height.
TEST_F(EstateTest, ThePanelTellsStreetValueParkingAndSale) {
    property_at(kForSaleDoor).enabled = true;  // as in selling mode
    auto texts_at = [&](hostsim::Vec3 door) {
        walk_to(door);
        Texts texts;
        for (const hostsim::DrawItem& item : tick()) {
            if (item.kind == hostsim::DrawKind::text)
                texts.push_back(hostsim::format_float(item.y) + " " + item.text);
        }
        return texts;
    };
    EXPECT_EQ(texts_at(kForSaleDoor),
              (Texts{"0.10 Press [ENTER] to buy this property for $35000", "0.76 Property", "0.79 ",
                     "0.82 $ 35000", "0.85 Parking:", "0.88   area: 28 m2", "0.91   radius: 3 m",
                     "0.94   Press 'G' to show", "0.97 FOR SALE"}));
    EXPECT_EQ(texts_at(kOwnedDoor), (Texts{"0.10 Press [ENTER] to save the game", "0.76 Property",
                                           "0.79 ", "0.82 $ 50000", "0.85 No parking"}));
    EXPECT_EQ(texts_at(kOfficeDoor),
              (Texts{"0.10 Press [ENTER] to shop for properties", "0.79 Take the broker to",
                     "0.82 the property you", "0.85 want to buy."}));
    // No blip, yet a prompt and a panel.
    EXPECT_EQ(texts_at(kHotelDoor), (Texts{"0.10 Press [ENTER] to stay in this hotel for $80",
                                           "0.76 Hotel", "0.79 ", "0.82 $ 80", "0.85 No parking"}));
}

// A circle of the garage's size a metre below it, for 40 s of game time.
TEST_F(EstateTest, GShowsTheGarageForFortySecondsOfGameTime) {
    property_at(kForSaleDoor).enabled = true;  // as in selling mode
    walk_to(kForSaleDoor);
    game().press_key(static_cast<std::uint8_t>(ScanCode::G));
    tick();
    std::uint32_t until = world().game_timer() + 40000;
    walk_to(kHotelDoor);
    auto circles = [&] {
        std::string drawn;
        for (const hostsim::DrawItem& item : tick()) {
            if (item.kind == hostsim::DrawKind::circle)
                drawn += hostsim::format_point(item.x, item.y, item.z) +
                         hostsim::format_float(item.width);
        }
        return drawn;
    };
    EXPECT_EQ(circles(), "(410.00,-280.00,4.00)6.00");
    game().pass_game_time(until - world().game_timer() - 34);
    EXPECT_EQ(circles(), "(410.00,-280.00,4.00)6.00") << "a frame short of 40 s";
    EXPECT_EQ(circles(), "");
}

// Cash equal to the value buys, a dollar short does not; the garage is the
// player's from the purchase to the sale, which returns exactly the value.
TEST_F(EstateTest, ABoughtHouseKeepsTheCarsLeftInItsGarageUntilItIsSold) {
    auto park_in_garage = [&] {
        hostsim::Vehicle& car =
            world().add_vehicle(hostsim::vehicle_models()[1].id, {410.0f, -279.0f, 5.0f}, 0.0f);
        game().enter_vehicle(car.handle);
        tick();
        game().leave_vehicle();
        tick();
        return estate.garage.stored.count(static_cast<host::Handle>(car.handle)) != 0;
    };
    Place& house = property_at(kForSaleDoor);
    estate.selling_mode = true;
    world().set_float_stat(hostsim::kCashStat, 34999.0f);
    game_frame([&] { estate.buy_property(house); });
    EXPECT_TRUE(estate.selling_mode);
    EXPECT_FALSE(park_in_garage()) << "not the player's garage yet";

    world().set_float_stat(hostsim::kCashStat, 35000.0f);
    game_frame([&] { estate.buy_property(house); });
    EXPECT_EQ(world().cash(), 0.0f);
    EXPECT_FALSE(estate.selling_mode);
    EXPECT_TRUE(park_in_garage());

    estate.selling_mode = true;
    game_frame([&] { estate.sell_property(house); });
    EXPECT_EQ(world().cash(), 35000.0f);
    EXPECT_FALSE(park_in_garage()) << "sold with the house";
    EXPECT_EQ(estate.garage.stored.size(), 1u) << "the car kept before stays kept";
}

// Enter at the office brings the agent, at an owned house sells it, and at
// the office again ends selling mode.
TEST_F(EstateTest, TheAgentComesWithTheOfficeAndLeavesWithAFarewell) {
    std::size_t blips_before = world().blip_count();
    enter_at(kOfficeDoor);
    ASSERT_TRUE(estate.agent.present());
    auto handle = static_cast<std::int32_t>(estate.agent.handle);
    EXPECT_EQ(world().player_group().members, std::vector<std::int32_t>{handle});
    EXPECT_EQ(world().blips().at(static_cast<std::int32_t>(estate.agent.blip)).entity, handle);
    EXPECT_NE(property_at(kForSaleDoor).blip, 0u) << "houses for sale show in selling mode";

    std::size_t journal = world().journal().size();
    enter_at(kOwnedDoor);
    EXPECT_EQ(world().cash(), 150000.0f);
    EXPECT_FALSE(estate.selling_mode);
    EXPECT_TRUE(said_thanks_since(journal));
    EXPECT_EQ(world().character(handle), nullptr);
    EXPECT_EQ(property_at(kOwnedDoor).blip, 0u) << "unowned and out of selling mode";
    EXPECT_EQ(world().blip_count(), blips_before - 1);

    enter_at(kOfficeDoor);
    enter_at(kOfficeDoor);
    EXPECT_FALSE(estate.selling_mode);
    EXPECT_FALSE(estate.agent.present());
}

TEST_F(EstateTest, TheAgentIsToldWhatToDoInOrder) {
    walk_to(kOfficeDoor);
    std::size_t start = game().native_log().size();
    game_frame([&] { estate.spawn_agent(); });
    const hostsim::Character* agent =
        world().character(static_cast<std::int32_t>(estate.agent.handle));
    ASSERT_NE(agent, nullptr);
    const std::string a = std::to_string(estate.agent.handle);
    const std::string b = std::to_string(estate.agent.blip);
    const std::string me = std::to_string(world().player_character());
    EXPECT_NE(std::find(EstateAgent::kModels.begin(), EstateAgent::kModels.end(), agent->model),
              EstateAgent::kModels.end());
    EXPECT_LE(agent->money, 20);
    EXPECT_EQ(calls_since(start),
              "63C00DE7 400.00 -300.00 6.00 1.00 1 . . . . .; 7B44224F " + a + " " +
                  std::to_string(agent->money) +
                  "; 62E319C6; 5996315E 0; 41AB3C30 42 .; 5E0F611E 16384 " + a +
                  "; 64B9757E 16384 1; 22DD329E 16384 50.00; 60EC0540 " + a +
                  "; 511454A9 0 .; 04C85E23 16384 " + me + "; 700165C2 0 1; 0F4C513E " + a +
                  " 0; 6D9538E1 " + a + " 0 0; 127669D3 " + a + " 0.00; 03E90416 " + a +
                  " 9 50 1; 08A453C9 " + a + " 200; 575E2880 " + a + " 200; 19A64C5D " + a +
                  " .; 3ACC1794 " + b + " 2; 1D8800E3 " + b + " 3; 44D349D9 " + b + " 0.70");

    start = game().native_log().size();
    game_frame([&] { estate.dismiss_agent(35000); });
    EXPECT_EQ(calls_since(start),
              "7BBF3625 " + b + "; 46531797 " + a + "; 6A6B4F18 " + a + "; 4ECB2267 " + a +
                  "; 7B44224F " + a + " 35000; 649316B7 " + a + "; 42DB145F " + a +
                  " 0 0; 6D9538E1 " + a + " 3 0; 4AB470F3 " + a + "; 127669D3 " + a +
                  " 50.00; 43F5151F " + a + "; 5CF149C8 " + a + " THANKS 1 1 1; 08A453C9 " + a +
                  " 500; 575E2880 " + a + " 500; 0B774604 .");
}

// The host is asked for a spawn point only for a model it has loaded.
TEST_F(EstateTest, TheAgentsModelIsLoadedFirst) {
    auto agent_models_loaded = [] {
        return std::count_if(
            EstateAgent::kModels.begin(), EstateAgent::kModels.end(),
            [](std::uint32_t model) { return world().model_loaded(world().model_index(model)); });
    };
    ASSERT_EQ(agent_models_loaded(), 0);
    walk_to({400.0f, 700.0f, 0.0f});  // at sea: no pavement to spawn on
    game_frame([&] { estate.spawn_agent(); });
    EXPECT_FALSE(estate.agent.present());
    EXPECT_EQ(agent_models_loaded(), 1);

    // One agent at a time: a second sends the first away.
    walk_to(kOfficeDoor);
    std::size_t characters = world().characters().size();
    game_frame([&] {
        estate.spawn_agent();
        estate.spawn_agent();
        estate.dismiss_agent(0);
    });
    EXPECT_EQ(world().characters().size(), characters);
}

// An agent who is gone ends selling mode; a dead one is released without a
// farewell, one the game took away is asked nothing.
TEST_F(EstateTest, AnAgentWhoIsLostEndsSellingMode) {
    const std::function<void(std::int32_t)> losses[] = {
        [](std::int32_t agent) { world().kill_character(agent); },
        [](std::int32_t agent) { world().send_wandering(agent); },
        [](std::int32_t agent) { world().release_character(agent); }};
    for (const auto& lose : losses) {
        enter_at(kOfficeDoor);
        auto handle = static_cast<std::int32_t>(estate.agent.handle);
        ASSERT_NE(handle, 0);
        lose(handle);
        std::size_t journal = world().journal().size();
        tick();
        EXPECT_FALSE(estate.selling_mode);
        EXPECT_FALSE(estate.agent.present());
        EXPECT_FALSE(property_at(kForSaleDoor).enabled);
        EXPECT_EQ(said_thanks_since(journal), &lose == &losses[1]);
        EXPECT_EQ(world().character(handle), nullptr);
        tick();
    }
}

TEST_F(EstateTest, WithoutAnAgentSellingModeStillServes) {
    world().set_pedestrian_pool_full(true);
    enter_at(kOfficeDoor);
    EXPECT_FALSE(estate.agent.present());
    tick();
    EXPECT_TRUE(estate.selling_mode) << "the watch has nobody to miss";
    enter_at(kForSaleDoor);
    EXPECT_TRUE(is_owned(property_at(kForSaleDoor)));
    EXPECT_EQ(world().cash(), 65000.0f);
}

// A loaded game may have given the agent's handles to its own character and
// blip: the reload drops them without asking the host about them.
TEST_F(EstateTest, AReloadForgetsTheAgentWithoutAWordToTheHost) {
    enter_at(kOfficeDoor);
    ASSERT_TRUE(estate.agent.present());
    std::size_t start = game().native_log().size();
    game_frame([&] { estate.set_save_identity("1"); });
    EXPECT_EQ(calls_since(start), "");
    EXPECT_FALSE(estate.agent.present());
    EXPECT_FALSE(estate.selling_mode);
}

}  // namespace
}  // namespace corvalen
