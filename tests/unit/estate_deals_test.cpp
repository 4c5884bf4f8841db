// At the properties: blips, prompts and the panel, buying and selling, and
// the agent. Every case ends with no host errors.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <map>

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
constexpr hostsim::Vec3 kAwayFromAll{400.0f, 200.0f, 6.0f};

bool journal_has(std::size_t from, const std::string& ending) {
    const std::vector<hostsim::JournalEntry>& journal = game().world().journal();
    return std::any_of(
        journal.begin() + static_cast<std::ptrdiff_t>(from), journal.end(),
        [&](const hostsim::JournalEntry& entry) { return entry.text.ends_with(ending); });
}

// The natives called from log entry `from` on, "hash arguments; ...", with
// out-addresses as "." and floats and texts where `forms` (i integer,
// f float, a address, s text) says so.
std::string calls_since(std::size_t from) {
    static const std::map<std::uint32_t, std::string> kForms = {
        {0x63C00DE7, "ffffiaaaaa"}, {0x41AB3C30, "ia"},    {0x22DD329E, "if"},
        {0x511454A9, "ia"},         {0x127669D3, "if"},    {0x19A64C5D, "ia"},
        {0x44D349D9, "if"},         {0x5CF149C8, "isiii"}, {0x0B774604, "a"}};
    std::string calls;
    const std::vector<hostsim::NativeCall>& log = game().native_log();
    for (std::size_t i = from; i < log.size(); ++i) {
        char hash[16];
        std::snprintf(hash, sizeof(hash), "%08X", static_cast<unsigned>(log[i].hash));
        calls += calls.empty() ? hash : std::string("; ") + hash;
        auto form = kForms.find(log[i].hash);
        for (std::uint32_t k = 0; k < log[i].argument_count; ++k) {
            char kind = form != kForms.end() && k < form->second.size() ? form->second[k] : 'i';
            std::uint32_t value = log[i].slots[k];
            if (kind == 'a')
                calls += " .";
            else if (kind == 'f')
                calls += " " + hostsim::format_float(std::bit_cast<float>(value));
            else if (kind == 's')
                calls += std::string(" ") + reinterpret_cast<const char*>(std::uintptr_t{value});
            else
                calls += " " + std::to_string(static_cast<std::int32_t>(value));
        }
    }
    return calls;
}

class EstateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game().leave_vehicle();
        test::write_file("corvalen/house_db.csv",
                         "400.00,-300.00,6.00,f,3,0,0.00,0.00,0.00,0,\n"
                         "400.00,-280.00,6.00,f,1,35000,410.00,-280.00,5.00,3,\n"
                         "400.00,-260.00,6.00,t,1,50000,0.00,0.00,0.00,0,\n"
                         "400.00,-240.00,6.00,f,2,80,0.00,0.00,0.00,0,\n");
        test::write_file("corvalen/1/player_houses_db.dat", "400,-260,6\n");
        game().world().set_float_stat(hostsim::kCashStat, 100000.0f);
        walk_to(kAwayFromAll);
        game_frame([&] {
            estate.set_save_identity("1");
            estate.load_houses();
        });
        tick();  // far from everything: the first check is swallowed here
        errors_at_start = game().world().errors().size();
    }
    void TearDown() override {
        const std::vector<hostsim::JournalEntry>& errors = game().world().errors();
        for (std::size_t i = errors_at_start; i < errors.size(); ++i)
            ADD_FAILURE() << errors[i].text;
    }

    // The player stands at a point and the next frame looks at once.
    void walk_to(hostsim::Vec3 at) {
        game().teleport_player(at);
        estate.next_check_time = 0;
    }
    void shop_at_the_office() {
        walk_to(kOfficeDoor);
        tick();
        tick_pressing(ScanCode::Enter);
    }
    hostsim::DrawRecord tick() {
        return game_frame([&] { estate.tick(); });
    }
    hostsim::DrawRecord tick_pressing(ScanCode key) {
        game().press_key(static_cast<std::uint8_t>(key));
        return tick();
    }
    Place& property_at(hostsim::Vec3 door) {
        return estate.places.at(static_cast<std::size_t>((door.y - kOfficeDoor.y) / 20.0f));
    }
    float cash() const { return game().world().cash(); }
    const hostsim::Character* agent() const {
        return game().world().character(static_cast<std::int32_t>(estate.agent.handle));
    }

    test::WorkingFolder folder;
    ROViriVariruRoza estate{""};
    std::size_t errors_at_start = 0;
};

TEST(PropertyPanelTest, PromptsSayWhatEnterDoes) {
    struct Case {
        std::int32_t kind;
        bool owned;
        bool selling;
        const char* prompt;
    };
    const Case cases[] = {
        {kHouse, false, false, "Press [ENTER] to buy this property for $35000"},
        {kHouse, false, true, "Press [ENTER] to buy this property for $35000"},
        {kHouse, true, false, "Press [ENTER] to save the game"},
        {kHouse, true, true, "Press [ENTER] to sell this property for $35000"},
        {kHotel, false, false, "Press [ENTER] to stay in this hotel for $35000"},
        {kEstateOffice, false, false, "Press [ENTER] to shop for properties"},
        {kEstateOffice, false, true, "Press [ENTER] to dismiss the real estate agent"},
        {7, false, true, "Press [ENTER] to "},
    };
    for (const Case& c : cases) {
        Property property(c.owned, c.kind, 35000, 1.0f, 2.0f, 3.0f);
        EXPECT_EQ(prompt_text(property, c.selling), c.prompt);
    }
    EXPECT_EQ(parking_area(3), "28");  // 28.26
    // 46341² no longer fits 32 bits; the area is still the true one.
    EXPECT_EQ(parking_area(46341), "6743113427");
}

// What the host is told about each property's blip: sprite, colour, alpha,
// range, scale and name.
TEST(EstateBlipsTest, StyleFollowsKindAndOwnership) {
    struct Case {
        std::int32_t kind;
        bool owned;
        bool hotel_blips;
        const char* blip;  // nullptr: none
    };
    const Case cases[] = {
        {kHouse, true, false, "29 0 255 long 1.00 Safehouse"},
        {kHouse, false, false, "29 14 200 short 1.00 Safehouse"},
        {kHotel, false, true, "29 10 200 short 0.50 Hotel"},
        {kHotel, false, false, nullptr},
        {kEstateOffice, false, false, "29 3 200 short 0.50 Real State Agent"},
        {7, false, false, "29 7 200 short 1.00 "},
    };
    ROViriVariruRoza estate("");
    for (const Case& c : cases) {
        estate.hotel_blips = c.hotel_blips;
        Property property(c.owned, c.kind, 100, 1.0f, 2.0f, 3.0f);
        game_frame([&] { estate.refresh_blip(property, true); });
        const hostsim::Blip* blip = game().world().blip(static_cast<std::int32_t>(property.blip));
        ASSERT_EQ(blip != nullptr, c.blip != nullptr) << c.kind;
        if (blip != nullptr) {
            EXPECT_EQ(std::to_string(blip->sprite) + " " + std::to_string(blip->colour) + " " +
                          std::to_string(blip->alpha) + (blip->short_range ? " short " : " long ") +
                          hostsim::format_float(blip->scale) + " " + blip->name,
                      c.blip);
            EXPECT_EQ(blip->display, 4);
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

TEST_F(EstateTest, GShowsTheGarageForFortySecondsOfGameTime) {
    property_at(kForSaleDoor).enabled = true;  // as in selling mode
    walk_to(kForSaleDoor);
    tick_pressing(ScanCode::G);
    std::uint32_t pressed_at = game().world().game_timer();
    walk_to(kAwayFromAll);
    auto highlighted = [&] {
        hostsim::DrawRecord draws = tick();
        return std::count_if(draws.begin(), draws.end(), [](const hostsim::DrawItem& item) {
            return item.kind == hostsim::DrawKind::circle && item.x == 410.0f && item.z == 4.0f &&
                   item.width == 6.0f;
        });
    };
    EXPECT_EQ(highlighted(), 1);
    game().pass_game_time(pressed_at + 40000 - game().world().game_timer() - 34);
    EXPECT_EQ(highlighted(), 1) << "a frame short of 40 s";
    EXPECT_EQ(highlighted(), 0);
}

// Cash equal to the value buys, a dollar short does not; the garage is the
// player's from the purchase to the sale, which returns exactly the value.
TEST_F(EstateTest, ABoughtHouseKeepsTheCarsLeftInItsGarageUntilItIsSold) {
    const std::uint32_t coupe = hostsim::vehicle_models()[1].id;
    auto park_in_garage = [&] {
        hostsim::Vehicle& car = game().world().add_vehicle(coupe, {410.0f, -279.0f, 5.0f}, 0.0f);
        game().enter_vehicle(car.handle);
        tick();
        game().leave_vehicle();
        tick();
        return estate.garage.stored.count(static_cast<host::Handle>(car.handle)) != 0;
    };
    Place& house = property_at(kForSaleDoor);
    estate.selling_mode = true;
    game().world().set_float_stat(hostsim::kCashStat, 34999.0f);
    game_frame([&] { estate.buy_property(house); });
    EXPECT_FALSE(is_owned(house));
    EXPECT_TRUE(estate.selling_mode);
    EXPECT_FALSE(park_in_garage()) << "not the player's garage yet";

    game().world().set_float_stat(hostsim::kCashStat, 35000.0f);
    game_frame([&] { estate.buy_property(house); });
    EXPECT_EQ(cash(), 0.0f);
    EXPECT_FALSE(estate.selling_mode);
    EXPECT_TRUE(park_in_garage());

    estate.selling_mode = true;
    game_frame([&] { estate.sell_property(house); });
    EXPECT_EQ(cash(), 35000.0f);
    EXPECT_FALSE(park_in_garage()) << "sold with the house";
    EXPECT_EQ(estate.garage.stored.size(), 1u) << "the car kept before stays kept";
}

// Enter at the office brings the agent, at an owned house sells it, and at
// the office again ends selling mode.
TEST_F(EstateTest, TheAgentComesWithTheOfficeAndLeavesWithAFarewell) {
    std::size_t blips_before = game().world().blip_count();
    shop_at_the_office();
    ASSERT_NE(agent(), nullptr);
    auto agent_handle = static_cast<std::int32_t>(estate.agent.handle);
    EXPECT_EQ(game().world().player_group().members.back(), agent_handle);
    EXPECT_EQ(game().world().blips().at(static_cast<std::int32_t>(estate.agent.blip)).entity,
              agent_handle);
    EXPECT_NE(property_at(kForSaleDoor).blip, 0u) << "houses for sale show in selling mode";

    std::size_t journal = game().world().journal().size();
    walk_to(kOwnedDoor);
    tick();
    tick_pressing(ScanCode::Enter);
    EXPECT_EQ(cash(), 150000.0f);
    EXPECT_FALSE(is_owned(property_at(kOwnedDoor)));
    EXPECT_FALSE(estate.selling_mode);
    EXPECT_TRUE(journal_has(journal, " says THANKS"));
    EXPECT_EQ(game().world().character(agent_handle), nullptr);
    EXPECT_EQ(property_at(kForSaleDoor).blip, 0u);
    EXPECT_EQ(property_at(kOwnedDoor).blip, 0u) << "unowned and out of selling mode";
    EXPECT_EQ(game().world().blip_count(), blips_before - 1);

    shop_at_the_office();
    tick();
    tick_pressing(ScanCode::Enter);
    EXPECT_FALSE(estate.selling_mode);
    EXPECT_FALSE(estate.agent.present());
}

TEST_F(EstateTest, TheAgentIsToldWhatToDoInOrder) {
    walk_to(kOfficeDoor);
    std::size_t start = game().native_log().size();
    game_frame([&] { estate.spawn_agent(); });
    ASSERT_NE(agent(), nullptr);
    const std::string a = std::to_string(estate.agent.handle);
    const std::string b = std::to_string(estate.agent.blip);
    const std::string me = std::to_string(game().world().player_character());
    EXPECT_NE(std::find(EstateAgent::kModels.begin(), EstateAgent::kModels.end(), agent()->model),
              EstateAgent::kModels.end());
    EXPECT_EQ(calls_since(start),
              "63C00DE7 400.00 -300.00 6.00 1.00 1 . . . . .; 7B44224F " + a + " " +
                  std::to_string(agent()->money) +
                  "; 62E319C6; 5996315E 0; 41AB3C30 42 .; 5E0F611E 16384 " + a +
                  "; 64B9757E 16384 1; 22DD329E 16384 50.00; 60EC0540 " + a +
                  "; 511454A9 0 .; 04C85E23 16384 " + me + "; 700165C2 0 1; 0F4C513E " + a +
                  " 0; 6D9538E1 " + a + " 0 0; 127669D3 " + a + " 0.00; 03E90416 " + a +
                  " 9 50 1; 08A453C9 " + a + " 200; 575E2880 " + a + " 200; 19A64C5D " + a +
                  " .; 3ACC1794 " + b + " 2; 1D8800E3 " + b + " 3; 44D349D9 " + b + " 0.70");
    EXPECT_LE(agent()->money, 20);

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
TEST_F(EstateTest, TheAgentsModelIsLoadedBeforeASpawnPointIsSought) {
    hostsim::World& world = game().world();
    auto agent_models_loaded = [&] {
        return std::count_if(
            EstateAgent::kModels.begin(), EstateAgent::kModels.end(),
            [&](std::uint32_t model) { return world.model_loaded(world.model_index(model)); });
    };
    ASSERT_EQ(agent_models_loaded(), 0);
    walk_to({400.0f, 700.0f, 0.0f});  // at sea: no pavement to spawn on
    game_frame([&] { estate.spawn_agent(); });
    EXPECT_EQ(estate.agent.handle, 0u);
    EXPECT_EQ(agent_models_loaded(), 1);
}

// A second agent sends the first away, and nobody is dismissed twice (the
// host would log an error for an unknown blip or character).
TEST_F(EstateTest, OneAgentAtATime) {
    std::size_t characters = game().world().characters().size();
    std::size_t blips = game().world().blip_count();
    game_frame([&] {
        estate.spawn_agent();
        estate.spawn_agent();
        estate.dismiss_agent(0);
        estate.dismiss_agent(0);
    });
    EXPECT_EQ(game().world().characters().size(), characters);
    EXPECT_EQ(game().world().blip_count(), blips);
}

// An agent who is gone ends selling mode; a dead one is released without a
// farewell, one the game took away is asked nothing (the host would log an
// error for his unknown handle).
TEST_F(EstateTest, AnAgentWhoIsLostEndsSellingMode) {
    enum class Loss { dies, wanders_off, taken_away };
    for (Loss loss : {Loss::dies, Loss::wanders_off, Loss::taken_away}) {
        SCOPED_TRACE(static_cast<int>(loss));
        shop_at_the_office();
        auto handle = static_cast<std::int32_t>(estate.agent.handle);
        ASSERT_NE(handle, 0);
        if (loss == Loss::dies)
            game().world().kill_character(handle);
        else if (loss == Loss::wanders_off)
            game().world().send_wandering(handle);
        else
            game().world().release_character(handle);
        std::size_t journal = game().world().journal().size();
        tick();
        EXPECT_FALSE(estate.selling_mode);
        EXPECT_EQ(estate.agent.handle, 0u);
        EXPECT_FALSE(property_at(kForSaleDoor).enabled);
        EXPECT_EQ(journal_has(journal, " says THANKS"), loss == Loss::wanders_off);
        EXPECT_EQ(game().world().character(handle), nullptr);
        tick();
    }
}

TEST_F(EstateTest, WithoutAnAgentSellingModeStillServes) {
    std::size_t characters = game().world().characters().size();
    game().world().set_pedestrian_pool_full(true);
    shop_at_the_office();
    EXPECT_EQ(estate.agent.handle, 0u);
    EXPECT_EQ(estate.agent.blip, 0u);
    EXPECT_EQ(game().world().characters().size(), characters);
    tick();
    EXPECT_TRUE(estate.selling_mode) << "the watch has nobody to miss";

    walk_to(kForSaleDoor);
    tick();
    tick_pressing(ScanCode::Enter);
    EXPECT_TRUE(is_owned(property_at(kForSaleDoor)));
    EXPECT_EQ(cash(), 65000.0f);
    game().world().set_pedestrian_pool_full(false);
}

// A loaded game may have given the agent's handles to its own character and
// blip: the reload drops them without asking the host about them.
TEST_F(EstateTest, AReloadForgetsTheAgentWithoutAWordToTheHost) {
    shop_at_the_office();
    ASSERT_TRUE(estate.agent.present());
    auto about_agents = [] {
        return game().native_calls(0x46531797) + game().native_calls(0x0B774604) +
               game().native_calls(0x7BBF3625);
    };
    std::size_t before = about_agents();
    game_frame([&] { estate.set_save_identity("1"); });
    EXPECT_EQ(about_agents(), before);
    EXPECT_FALSE(estate.agent.present());
    EXPECT_FALSE(estate.selling_mode);
}

}  // namespace
}  // namespace corvalen
