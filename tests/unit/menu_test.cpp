// The numpad menus: arming, navigation, nesting, closing and their layout as
// the stand-in host records it.

#include "core/menu.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "game_frame.h"

namespace corvalen {
namespace {

using host::ScanCode;
using test::game_frame;
using test::texts_of;

constexpr auto kNumpad5 = static_cast<std::uint8_t>(ScanCode::Numpad5);
constexpr auto kNumpad0 = static_cast<std::uint8_t>(ScanCode::Numpad0);
constexpr auto kNumpad8 = static_cast<std::uint8_t>(ScanCode::Numpad8);
constexpr auto kNumpad2 = static_cast<std::uint8_t>(ScanCode::Numpad2);

Menu three_items(const char* title = "Corvalen mod") {
    Menu menu(title);
    menu.add_item("first", 10);
    menu.add_item("second", 7, 8, 20);
    menu.add_item("third", 30);
    return menu;
}

// An open menu that has had its arming frame.
Menu armed_menu() {
    Menu menu = three_items();
    menu.toggle();
    game_frame([&] { menu.process(); });
    return menu;
}

TEST(MenuTest, OpeningOnlyArmsTheMenuForTheNextFrame) {
    Menu menu = three_items();
    EXPECT_TRUE(menu.toggle());
    hostsim::DrawRecord first = test::game_frame_pressing(kNumpad5, [&] { menu.process(); });
    EXPECT_TRUE(first.empty());
    EXPECT_EQ(menu.selected_action(), -1);
    EXPECT_TRUE(menu.armed);

    hostsim::DrawRecord second = test::game_frame_pressing(kNumpad5, [&] { menu.process(); });
    EXPECT_EQ(menu.selected_action(), 10);
    EXPECT_FALSE(second.empty());

    game_frame([&] { menu.process(); });
    EXPECT_EQ(menu.selected_action(), -1) << "a choice lasts one frame";
    EXPECT_EQ(menu.chosen_item(), nullptr);
}

TEST(MenuTest, ClosedMenusNeitherReadKeysNorDraw) {
    Menu menu = three_items();
    game_frame([&] { menu.process(); });
    hostsim::DrawRecord draws = test::game_frame_pressing(kNumpad5, [&] { menu.process(); });
    EXPECT_TRUE(draws.empty());
    EXPECT_EQ(menu.selected_action(), -1);
    EXPECT_TRUE(menu.armed);
    EXPECT_TRUE(menu.toggle());
    EXPECT_FALSE(menu.armed) << "toggling disarms";
}

TEST(MenuTest, HighlightWrapsBothWays) {
    Menu menu = armed_menu();
    test::game_frame_pressing(kNumpad8, [&] { menu.process(); });
    EXPECT_EQ(menu.highlighted, 2);
    test::game_frame_pressing(kNumpad2, [&] { menu.process(); });
    EXPECT_EQ(menu.highlighted, 0);
    test::game_frame_pressing(kNumpad2, [&] { menu.process(); });
    test::game_frame_pressing(kNumpad5, [&] { menu.process(); });
    ASSERT_NE(menu.chosen_item(), nullptr);
    EXPECT_EQ(menu.chosen_item()->label, "second");
    EXPECT_EQ(menu.chosen_item()->value, 7);
    EXPECT_EQ(menu.chosen_item()->extra, 8);
    EXPECT_EQ(menu.selected_action(), 20);
}

TEST(MenuTest, BackClosesTheChildAndOpensTheParentOneFrameLater) {
    Menu parent = three_items("parent");
    Menu child = three_items("child");
    child.parent = &parent;
    child.toggle();
    game_frame([&] {
        child.process();
        parent.process();
    });

    hostsim::DrawRecord back = test::game_frame_pressing(kNumpad0, [&] {
        child.process();
        parent.process();
    });
    EXPECT_FALSE(child.open);
    EXPECT_TRUE(parent.open);
    // The child still draws the frame it goes back in; the parent, just
    // opened, does not act or draw yet.
    std::vector<std::string> back_texts = texts_of(back);
    ASSERT_FALSE(back_texts.empty());
    EXPECT_EQ(back_texts.front(), "child");
    EXPECT_EQ(std::count(back_texts.begin(), back_texts.end(), "parent"), 0);

    hostsim::DrawRecord next = game_frame([&] {
        child.process();
        parent.process();
    });
    ASSERT_FALSE(texts_of(next).empty());
    EXPECT_EQ(texts_of(next).front(), "parent");
}

TEST(MenuTest, BackWithoutParentDoesNothing) {
    Menu menu = armed_menu();
    test::game_frame_pressing(kNumpad0, [&] { menu.process(); });
    EXPECT_TRUE(menu.open);
    EXPECT_TRUE(menu.armed);
}

TEST(MenuTest, CloseRequestClosesAfterTheFrameIsDrawn) {
    Menu menu = armed_menu();
    menu.close_request = true;
    hostsim::DrawRecord draws = game_frame([&] { menu.process(); });
    EXPECT_FALSE(draws.empty());
    EXPECT_FALSE(menu.open);
    EXPECT_FALSE(menu.close_request);
    EXPECT_TRUE(game_frame([&] { menu.process(); }).empty());
}

TEST(MenuTest, TwoOpenMenusBothSeeTheSameKey) {
    Menu one = armed_menu();
    Menu two = armed_menu();
    test::game_frame_pressing(kNumpad2, [&] {
        one.process();
        two.process();
    });
    EXPECT_EQ(one.highlighted, 1);
    EXPECT_EQ(two.highlighted, 1);
}

TEST(MenuTest, EmptyMenuChoosesNothingAndSkipsDrawingThatFrame) {
    Menu menu("empty");
    menu.toggle();
    game_frame([&] { menu.process(); });
    EXPECT_EQ(texts_of(game_frame([&] { menu.process(); })).size(), 4u);
    EXPECT_TRUE(test::game_frame_pressing(kNumpad5, [&] { menu.process(); }).empty());
    EXPECT_EQ(menu.selected_action(), -1);
    test::game_frame_pressing(kNumpad8, [&] { menu.process(); });
    test::game_frame_pressing(kNumpad2, [&] { menu.process(); });
    EXPECT_EQ(menu.highlighted, 0);
}

TEST(MenuTest, AHighlightLeftOutsideAShrunkListChoosesNothing) {
    Menu menu = armed_menu();
    menu.highlighted = 2;
    menu.items.pop_back();
    test::game_frame_pressing(kNumpad5, [&] { menu.process(); });
    EXPECT_EQ(menu.chosen_item(), nullptr);
    EXPECT_EQ(menu.selected_action(), -1);
}

TEST(MenuTest, LayoutPositionsScalesAndColours) {
    Menu menu = armed_menu();
    menu.highlighted = 1;
    hostsim::DrawRecord draws = game_frame([&] { menu.process(); });
    ASSERT_EQ(draws.size(), 7u);

    auto expect_text = [&](std::size_t i, const char* text, float x, float y, float scale,
                           hostsim::Colour colour) {
        SCOPED_TRACE(text);
        EXPECT_EQ(draws[i].kind, hostsim::DrawKind::text);
        EXPECT_EQ(draws[i].text, text);
        EXPECT_EQ(draws[i].x, x);
        EXPECT_EQ(draws[i].y, y);
        EXPECT_EQ(draws[i].width, scale);
        EXPECT_EQ(draws[i].height, scale);
        EXPECT_EQ(draws[i].colour, colour);
    };
    const hostsim::Colour plain = hostsim::kDefaultTextColour;
    expect_text(0, "Corvalen mod", 0.1f, 0.1f, 0.35f, plain);
    expect_text(1, "Up/Down NUMPAD to navigate", 0.7f, 0.13f, 0.25f, plain);
    expect_text(2, "NUMPAD 5 to select", 0.7f, 0.16f, 0.25f, plain);
    expect_text(3, "NUMPAD 0 to go back", 0.7f, 0.19f, 0.25f, plain);

    // Item rows are summed step by step in double and stored as float.
    float y1 = static_cast<float>(static_cast<double>(0.1f) + 0.035);
    float y2 = static_cast<float>(static_cast<double>(y1) + 0.035);
    float y3 = static_cast<float>(static_cast<double>(y2) + 0.035);
    expect_text(4, "first", 0.1f, y1, 0.3f, {255, 255, 255, 255});
    expect_text(5, "second", 0.1f, y2, 0.3f, {0, 87, 233, 255});
    expect_text(6, "third", 0.1f, y3, 0.3f, {255, 255, 255, 255});
}

}  // namespace
}  // namespace corvalen
