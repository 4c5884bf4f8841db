// The numpad menus: arming, navigation, nesting and closing. Their layout is
// checked with the real plug-in against the reviewed timeline.

#include "core/menu.h"

#include <gtest/gtest.h>

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

template <typename... Menus>
hostsim::DrawRecord process_pressing(std::uint8_t key, Menus&... menus) {
    return test::game_frame_pressing(key, [&] { (menus.process(), ...); });
}

TEST(MenuTest, OpeningOnlyArmsTheMenuForTheNextFrame) {
    Menu menu = three_items();
    EXPECT_TRUE(process_pressing(kNumpad5, menu).empty()) << "closed";
    EXPECT_TRUE(menu.toggle());
    EXPECT_TRUE(process_pressing(kNumpad5, menu).empty());
    EXPECT_EQ(menu.selected_action(), -1);

    EXPECT_FALSE(process_pressing(kNumpad5, menu).empty());
    EXPECT_EQ(menu.selected_action(), 10);
    game_frame([&] { menu.process(); });
    EXPECT_EQ(menu.selected_action(), -1) << "a choice lasts one frame";
}

// Two open menus see the same key.
TEST(MenuTest, HighlightWrapsBothWays) {
    Menu menu = armed_menu();
    Menu other = armed_menu();
    process_pressing(kNumpad8, menu, other);
    EXPECT_EQ(menu.highlighted, 2);
    EXPECT_EQ(other.highlighted, 2);
    process_pressing(kNumpad2, menu);
    EXPECT_EQ(menu.highlighted, 0);
    process_pressing(kNumpad2, menu);
    process_pressing(kNumpad5, menu);
    ASSERT_NE(menu.chosen_item(), nullptr);
    EXPECT_EQ(menu.chosen_item()->value, 7);
    EXPECT_EQ(menu.chosen_item()->extra, 8);
    EXPECT_EQ(menu.selected_action(), 20);
}

TEST(MenuTest, BackClosesTheChildAndOpensTheParentOneFrameLater) {
    Menu parent = three_items("parent");
    Menu child = three_items("child");
    child.parent = &parent;
    child.toggle();
    game_frame([&] { child.process(); });

    // The child still draws the frame it goes back in; the parent, just
    // opened, does not act or draw yet.
    std::vector<std::string> back = texts_of(process_pressing(kNumpad0, child, parent));
    EXPECT_FALSE(child.open);
    EXPECT_TRUE(parent.open);
    ASSERT_EQ(back.size(), 7u);
    EXPECT_EQ(back.front(), "child");

    std::vector<std::string> next = texts_of(process_pressing(kNumpad0, child, parent));
    ASSERT_FALSE(next.empty());
    EXPECT_EQ(next.front(), "parent");
    EXPECT_TRUE(parent.open) << "without a parent, back does nothing";
}

TEST(MenuTest, CloseRequestClosesAfterTheFrameIsDrawn) {
    Menu menu = armed_menu();
    menu.close_request = true;
    EXPECT_FALSE(game_frame([&] { menu.process(); }).empty());
    EXPECT_FALSE(menu.open);
    EXPECT_FALSE(menu.close_request);
    EXPECT_TRUE(game_frame([&] { menu.process(); }).empty());
}

TEST(MenuTest, EmptyOrShrunkListsChooseNothing) {
    Menu empty("empty");
    empty.toggle();
    game_frame([&] { empty.process(); });
    EXPECT_EQ(texts_of(game_frame([&] { empty.process(); })).size(), 4u);
    EXPECT_TRUE(process_pressing(kNumpad5, empty).empty());
    EXPECT_EQ(empty.selected_action(), -1);
    process_pressing(kNumpad8, empty);
    process_pressing(kNumpad2, empty);
    EXPECT_EQ(empty.highlighted, 0);

    Menu menu = armed_menu();
    menu.highlighted = 2;
    menu.items.pop_back();
    process_pressing(kNumpad5, menu);
    EXPECT_EQ(menu.chosen_item(), nullptr);
    EXPECT_EQ(menu.selected_action(), -1);
}

}  // namespace
}  // namespace corvalen
