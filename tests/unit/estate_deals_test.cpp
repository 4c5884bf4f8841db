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

bool shows(const Texts& texts, const std::string& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

// The drawn text `text` at height y.
bool shows_at(const hostsim::DrawRecord& draws, const std::string& text, float y) {
    return std::any_of(draws.begin(), draws.end(), [&](const hostsim::DrawItem& item) {
        return item.kind == hostsim::DrawKind::text && item.text == text && item.y == y;
    });
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
        game().world().set_on_mission(false);
        game().world().set_pedestrian_pool_full(false);
        walk_to(kAwayFromAll);
        game_frame([&] {
            estate.set_save_identity("1");
            estate.load_houses();
        });
        tick();  // far from everything: the first check is swallowed here
        errors_at_start = errors();
    }
    void TearDown() override {
        for (std::size_t i = errors_at_start; i < errors(); ++i)
            ADD_FAILURE() << game().world().errors()[i].text;
    }

    // The player stands at a point and the next frame looks at once.
    void walk_to(hostsim::Vec3 at) {
        game().teleport_player(at);
        estate.next_check_time = 0;
    }
    // Enter at the office, where the player has just arrived: selling mode.
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
    Place& property_at(hostsim::Vec3 at) {
        for (Place& place : estate.places) {
            if (place.x == at.x && place.y == at.y)
                return place;
        }
        throw std::logic_error("no property there");
    }
    float cash() const { return game().world().cash(); }
    std::size_t errors() const { return game().world().errors().size(); }
    const hostsim::Character* agent() const {
        return game().world().character(static_cast<std::int32_t>(estate.agent.handle));
    }
    // Every native called from log entry `from` on, as "hash arguments",
    // out-addresses as ".", texts as themselves.
    std::vector<std::string> calls_since(std::size_t from) const {
        std::vector<std::string> calls;
        const std::vector<hostsim::NativeCall>& log = game().native_log();
        for (std::size_t i = from; i < log.size(); ++i)
            calls.push_back(describe(log[i]));
        return calls;
    }
    static std::string describe(const hostsim::NativeCall& call) {
        // How each argument reads: i integer, f float, a address, s text.
        static const std::map<std::uint32_t, std::string> kForms = {
            {0x63C00DE7, "ffffiaaaaa"}, {0x41AB3C30, "ia"},    {0x22DD329E, "if"},
            {0x511454A9, "ia"},         {0x127669D3, "if"},    {0x19A64C5D, "ia"},
            {0x44D349D9, "if"},         {0x5CF149C8, "isiii"}, {0x0B774604, "a"}};
        char text[16];
        std::snprintf(text, sizeof(text), "%08X", static_cast<unsigned>(call.hash));
        std::string line = text;
        auto form = kForms.find(call.hash);
        for (std::uint32_t i = 0; i < call.argument_count; ++i) {
            char kind = form != kForms.end() && i < form->second.size() ? form->second[i] : 'i';
            std::uint32_t value = call.slots[i];
            if (kind == 'a') {
                line += " .";
            } else if (kind == 'f') {
                line += " " + hostsim::format_float(std::bit_cast<float>(value));
            } else if (kind == 's') {
                line += " ";
                line += reinterpret_cast<const char*>(static_cast<std::uintptr_t>(value));
            } else {
                line += " " + std::to_string(static_cast<std::int32_t>(value));
            }
        }
        return line;
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
}

TEST(PropertyPanelTest, TheParkingAreaIsTruncatedWhateverTheRadius) {
    EXPECT_EQ(parking_area(3), "28");  // 28.26
    // 46341² no longer fits 32 bits; the area is still the true one.
    EXPECT_EQ(parking_area(46341), "6743113427");
    EXPECT_EQ(parking_area(2147483647).size(), 20u);
}

TEST_F(EstateTest, BlipsFollowTheKindAndOwnership) {
    const std::map<std::int32_t, hostsim::Blip>& blips = game().world().blips();
    const Place& office = property_at(kOfficeDoor);
    const Place& owned = property_at(kOwnedDoor);
    ASSERT_NE(office.blip, 0u);
    ASSERT_NE(owned.blip, 0u);
    const hostsim::Blip& office_blip = blips.at(static_cast<std::int32_t>(office.blip));
    EXPECT_EQ(office_blip.name, "Real State Agent");
    EXPECT_TRUE(office_blip.short_range);
    const hostsim::Blip& home = blips.at(static_cast<std::int32_t>(owned.blip));
    EXPECT_EQ(home.name, "Safehouse");
    EXPECT_FALSE(home.short_range);
    EXPECT_EQ(property_at(kForSaleDoor).blip, 0u) << "shown only in selling mode";
    EXPECT_EQ(property_at(kHotelDoor).blip, 0u) << "hotel blips are off";

    estate.hotel_blips = true;
    game_frame([&] { estate.refresh_blip(property_at(kHotelDoor), true); });
    const hostsim::Blip& hotel = blips.at(static_cast<std::int32_t>(property_at(kHotelDoor).blip));
    EXPECT_EQ(hotel.name, "Hotel");
    EXPECT_EQ(hotel.colour, 10);
}

TEST_F(EstateTest, ThePanelTellsStreetValueParkingAndSale) {
    property_at(kForSaleDoor).enabled = true;  // as in selling mode
    walk_to(kForSaleDoor);
    hostsim::DrawRecord draws = tick();
    EXPECT_TRUE(shows_at(draws, "Press [ENTER] to buy this property for $35000", 0.1f));
    EXPECT_TRUE(shows_at(draws, "Property", 0.76f));
    EXPECT_TRUE(shows_at(draws, "", 0.79f)) << "no street here: an empty name";
    EXPECT_TRUE(shows_at(draws, "$ 35000", 0.82f));
    EXPECT_TRUE(shows_at(draws, "Parking:", 0.85f));
    EXPECT_TRUE(shows_at(draws, "  area: 28 m2", 0.88f));
    EXPECT_TRUE(shows_at(draws, "  radius: 3 m", 0.91f));
    EXPECT_TRUE(shows_at(draws, "  Press 'G' to show", 0.94f));
    EXPECT_TRUE(shows_at(draws, "FOR SALE", 0.97f));

    walk_to(kOwnedDoor);
    draws = tick();
    EXPECT_TRUE(shows_at(draws, "Press [ENTER] to save the game", 0.1f));
    EXPECT_TRUE(shows_at(draws, "No parking", 0.85f));
    EXPECT_FALSE(shows(texts_of(draws), "FOR SALE"));

    walk_to(kOfficeDoor);
    draws = tick();
    EXPECT_TRUE(shows_at(draws, "Press [ENTER] to shop for properties", 0.1f));
    EXPECT_TRUE(shows_at(draws, "Take the broker to", 0.79f));
    EXPECT_TRUE(shows_at(draws, "want to buy.", 0.85f));
    EXPECT_FALSE(shows(texts_of(draws), "Market Street"));

    walk_to(kHotelDoor);
    draws = tick();
    EXPECT_TRUE(shows_at(draws, "Hotel", 0.76f)) << "no blip, yet a prompt and a panel";
    EXPECT_TRUE(shows_at(draws, "$ 80", 0.82f));
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

    walk_to(kOwnedDoor);  // no garage: G shows nothing
    tick_pressing(ScanCode::G);
    EXPECT_EQ(estate.garage_highlight.deadline, pressed_at + 40000);
}

TEST_F(EstateTest, CashEqualToTheValueBuysAndADollarShortDoesNot) {
    estate.selling_mode = true;
    Place& house = property_at(kForSaleDoor);
    game().world().set_float_stat(hostsim::kCashStat, 34999.0f);
    game_frame([&] { estate.buy_property(house); });
    EXPECT_FALSE(is_owned(house));
    EXPECT_EQ(cash(), 34999.0f);
    EXPECT_TRUE(estate.selling_mode);

    game().world().set_float_stat(hostsim::kCashStat, 35000.0f);
    game_frame([&] { estate.buy_property(house); });
    EXPECT_TRUE(is_owned(house));
    EXPECT_EQ(cash(), 0.0f);
    EXPECT_FALSE(estate.selling_mode);
}

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
    EXPECT_FALSE(park_in_garage()) << "not the player's garage yet";

    estate.selling_mode = true;
    game_frame([&] { estate.buy_property(property_at(kForSaleDoor)); });
    ASSERT_EQ(estate.garage.spots.size(), 1u);
    EXPECT_EQ(estate.garage.spots[0].radius, 3);
    EXPECT_TRUE(park_in_garage());

    estate.selling_mode = true;
    game_frame([&] { estate.sell_property(property_at(kForSaleDoor)); });
    EXPECT_TRUE(estate.garage.spots.empty());
    EXPECT_FALSE(park_in_garage()) << "sold with the house";
    EXPECT_EQ(estate.garage.stored.size(), 1u) << "the car kept before stays kept";
}

TEST_F(EstateTest, SellingReturnsExactlyTheValue) {
    shop_at_the_office();
    ASSERT_TRUE(estate.selling_mode);
    EXPECT_TRUE(property_at(kForSaleDoor).enabled);
    EXPECT_NE(property_at(kForSaleDoor).blip, 0u);

    walk_to(kOwnedDoor);
    tick();
    EXPECT_TRUE(shows(texts_of(tick()), "Press [ENTER] to sell this property for $50000"));
    tick_pressing(ScanCode::Enter);
    EXPECT_EQ(cash(), 150000.0f);
    EXPECT_FALSE(is_owned(property_at(kOwnedDoor)));
    EXPECT_FALSE(estate.selling_mode);
    EXPECT_EQ(property_at(kOwnedDoor).blip, 0u) << "unowned and out of selling mode";
}

TEST_F(EstateTest, TheAgentComesWithTheOfficeAndLeavesWithAFarewell) {
    std::size_t blips_before = game().world().blip_count();
    shop_at_the_office();
    ASSERT_TRUE(estate.selling_mode);
    ASSERT_NE(agent(), nullptr);
    auto agent_handle = static_cast<std::int32_t>(estate.agent.handle);
    auto blip = static_cast<std::int32_t>(estate.agent.blip);
    EXPECT_EQ(game().world().player_group().members.back(), agent_handle);
    EXPECT_EQ(game().world().blips().at(blip).entity, agent_handle);
    EXPECT_NE(property_at(kForSaleDoor).blip, 0u);

    tick();
    tick_pressing(ScanCode::Enter);
    EXPECT_FALSE(estate.selling_mode);
    EXPECT_EQ(estate.agent.handle, 0u);
    EXPECT_EQ(estate.agent.blip, 0u);
    EXPECT_EQ(game().world().character(agent_handle), nullptr);
    EXPECT_EQ(game().world().journal().back().text,
              "character " + hostsim::hex(static_cast<std::uint32_t>(agent_handle)) + " released");
    EXPECT_EQ(property_at(kForSaleDoor).blip, 0u);
    EXPECT_EQ(game().world().blip_count(), blips_before);
}

TEST_F(EstateTest, TheAgentIsToldWhatToDoInOrder) {
    walk_to(kOfficeDoor);
    std::size_t start = game().native_log().size();
    game_frame([&] { estate.spawn_agent(); });
    ASSERT_NE(agent(), nullptr);
    const std::string a = std::to_string(estate.agent.handle);
    const std::string b = std::to_string(estate.agent.blip);
    const std::string me = std::to_string(game().world().player_character());
    EXPECT_TRUE(std::find(EstateAgent::kModels.begin(), EstateAgent::kModels.end(),
                          agent()->model) != EstateAgent::kModels.end());
    EXPECT_LE(agent()->money, 20);
    EXPECT_EQ(calls_since(start), (std::vector<std::string>{
                                      "63C00DE7 400.00 -300.00 6.00 1.00 1 . . . . .",
                                      "7B44224F " + a + " " + std::to_string(agent()->money),
                                      "62E319C6",
                                      "5996315E 0",
                                      "41AB3C30 42 .",
                                      "5E0F611E 16384 " + a,
                                      "64B9757E 16384 1",
                                      "22DD329E 16384 50.00",
                                      "60EC0540 " + a,
                                      "511454A9 0 .",
                                      "04C85E23 16384 " + me,
                                      "700165C2 0 1",
                                      "0F4C513E " + a + " 0",
                                      "6D9538E1 " + a + " 0 0",
                                      "127669D3 " + a + " 0.00",
                                      "03E90416 " + a + " 9 50 1",
                                      "08A453C9 " + a + " 200",
                                      "575E2880 " + a + " 200",
                                      "19A64C5D " + a + " .",
                                      "3ACC1794 " + b + " 2",
                                      "1D8800E3 " + b + " 3",
                                      "44D349D9 " + b + " 0.70",
                                  }));

    start = game().native_log().size();
    game_frame([&] { estate.dismiss_agent(35000); });
    EXPECT_EQ(calls_since(start), (std::vector<std::string>{
                                      "7BBF3625 " + b,
                                      "46531797 " + a,
                                      "6A6B4F18 " + a,
                                      "4ECB2267 " + a,
                                      "7B44224F " + a + " 35000",
                                      "649316B7 " + a,
                                      "42DB145F " + a + " 0 0",
                                      "6D9538E1 " + a + " 3 0",
                                      "4AB470F3 " + a,
                                      "127669D3 " + a + " 50.00",
                                      "43F5151F " + a,
                                      "5CF149C8 " + a + " THANKS 1 1 1",
                                      "08A453C9 " + a + " 500",
                                      "575E2880 " + a + " 500",
                                      "0B774604 .",
                                  }));
}

TEST_F(EstateTest, EachAgentBlipIsRemovedOnceAndOneAgentAtATime) {
    std::size_t characters = game().world().characters().size();
    std::size_t start = game().native_log().size();
    game_frame([&] {
        estate.spawn_agent();
        estate.spawn_agent();  // the first one is sent away, not left behind
        estate.dismiss_agent(0);
        estate.dismiss_agent(0);  // nobody left: nothing asked
        estate.spawn_agent();
        estate.dismiss_agent(0);
    });
    std::map<std::uint32_t, int> removals;
    for (std::size_t i = start; i < game().native_log().size(); ++i) {
        const hostsim::NativeCall& call = game().native_log()[i];
        if (call.hash == 0x7BBF3625)
            ++removals[call.slots[0]];
    }
    EXPECT_EQ(removals.size(), 3u);
    for (const auto& [blip, count] : removals)
        EXPECT_EQ(count, 1) << blip;
    EXPECT_EQ(game().world().characters().size(), characters);
}

TEST_F(EstateTest, AnAgentWhoDiesEndsSellingModeAndIsAskedNothingMore) {
    shop_at_the_office();
    auto agent_handle = static_cast<std::int32_t>(estate.agent.handle);
    ASSERT_NE(agent_handle, 0);
    game().world().kill_character(agent_handle);
    std::size_t start = game().native_log().size();
    tick();
    EXPECT_FALSE(estate.selling_mode);
    EXPECT_FALSE(property_at(kForSaleDoor).enabled);
    // Whether he lives, then only what lets him go: no farewell, no orders.
    const std::string a = " " + std::to_string(agent_handle);
    std::vector<std::string> about_him;
    for (const std::string& call : calls_since(start)) {
        if (call.find(a) != std::string::npos || call.starts_with("0B774604"))
            about_him.push_back(call.substr(0, 8));
    }
    EXPECT_EQ(about_him, (std::vector<std::string>{"46531797", "4ECB2267", "46531797", "6A6B4F18",
                                                   "4ECB2267", "0B774604"}));
    start = game().native_log().size();
    tick();
    for (const std::string& call : calls_since(start))
        EXPECT_EQ(call.find(a), std::string::npos) << call;
}

TEST_F(EstateTest, AnAgentWhoWandersOffOrIsGoneEndsSellingMode) {
    shop_at_the_office();
    game().world().send_wandering(static_cast<std::int32_t>(estate.agent.handle));
    tick();
    EXPECT_FALSE(estate.selling_mode);
    EXPECT_EQ(estate.agent.handle, 0u);
    EXPECT_TRUE(std::any_of(
        game().world().journal().begin(), game().world().journal().end(),
        [](const hostsim::JournalEntry& entry) { return entry.text.ends_with(" says THANKS"); }));

    // Taken away by the game: nothing is asked of a handle it no longer knows.
    tick();
    tick_pressing(ScanCode::Enter);
    ASSERT_TRUE(estate.selling_mode);
    auto agent_handle = static_cast<std::int32_t>(estate.agent.handle);
    game().world().release_character(agent_handle);
    tick();
    EXPECT_FALSE(estate.selling_mode);
    EXPECT_EQ(estate.agent.handle, 0u);
}

TEST_F(EstateTest, WithoutAnAgentSellingModeStillServes) {
    std::size_t characters = game().world().characters().size();
    game().world().set_pedestrian_pool_full(true);
    shop_at_the_office();
    EXPECT_TRUE(estate.selling_mode);
    EXPECT_EQ(estate.agent.handle, 0u);
    EXPECT_EQ(estate.agent.blip, 0u);
    EXPECT_EQ(game().world().characters().size(), characters);
    EXPECT_TRUE(property_at(kForSaleDoor).enabled);
    tick();
    EXPECT_TRUE(estate.selling_mode) << "the watch has nobody to miss";

    walk_to(kForSaleDoor);
    tick();
    tick_pressing(ScanCode::Enter);
    EXPECT_TRUE(is_owned(property_at(kForSaleDoor)));
    EXPECT_EQ(cash(), 65000.0f);
    EXPECT_FALSE(estate.selling_mode);
}

}  // namespace
}  // namespace corvalen
