// The numpad menus: arming, navigation, nesting and closing. Their layout is
// checked with the real plug-in against the reviewed timeline.

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
    EXPECT_TRUE(test::game_frame_pressing(kNumpad5, [&] { menu.process(); }).empty()) << "closed";
    EXPECT_EQ(menu.selected_action(), -1);
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

    // Without a parent, back does nothing.
    test::game_frame_pressing(kNumpad0, [&] { parent.process(); });
    EXPECT_TRUE(parent.open);
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

TEST(MenuTest, EmptyOrShrunkListsChooseNothing) {
    Menu empty("empty");
    empty.toggle();
    game_frame([&] { empty.process(); });
    EXPECT_EQ(texts_of(game_frame([&] { empty.process(); })).size(), 4u);
    EXPECT_TRUE(test::game_frame_pressing(kNumpad5, [&] { empty.process(); }).empty());
    EXPECT_EQ(empty.selected_action(), -1);
    test::game_frame_pressing(kNumpad8, [&] { empty.process(); });
    test::game_frame_pressing(kNumpad2, [&] { empty.process(); });
    EXPECT_EQ(empty.highlighted, 0);

    Menu menu = armed_menu();
    menu.highlighted = 2;
    menu.items.pop_back();
    test::game_frame_pressing(kNumpad5, [&] { menu.process(); });
    EXPECT_EQ(menu.chosen_item(), nullptr);
    EXPECT_EQ(menu.selected_action(), -1);
}

}  // namespace
}  // namespace corvalen
