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
hostsim::DrawRecord process_pressing(ScanCode key, Menus&... menus) {
    return test::game_frame_pressing(static_cast<std::uint8_t>(key),
                                     [&] { (menus.process(), ...); });
}

TEST(MenuTest, OpeningOnlyArmsTheMenuForTheNextFrame) {
    Menu menu = three_items();
    EXPECT_TRUE(process_pressing(ScanCode::Numpad5, menu).empty()) << "closed";
    EXPECT_TRUE(menu.toggle());
    EXPECT_TRUE(process_pressing(ScanCode::Numpad5, menu).empty());
    EXPECT_EQ(menu.selected_action(), -1);

    EXPECT_FALSE(process_pressing(ScanCode::Numpad5, menu).empty());
    EXPECT_EQ(menu.selected_action(), 10);
    game_frame([&] { menu.process(); });
    EXPECT_EQ(menu.selected_action(), -1) << "a choice lasts one frame";
}

// Two open menus see the same key.
TEST(MenuTest, HighlightWrapsBothWays) {
    Menu menu = armed_menu();
    Menu other = armed_menu();
    process_pressing(ScanCode::Numpad8, menu, other);
    EXPECT_EQ(menu.highlighted, 2);
    EXPECT_EQ(other.highlighted, 2);
    process_pressing(ScanCode::Numpad2, menu);
    EXPECT_EQ(menu.highlighted, 0);
    process_pressing(ScanCode::Numpad2, menu);
    process_pressing(ScanCode::Numpad5, menu);
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
    std::vector<std::string> back = texts_of(process_pressing(ScanCode::Numpad0, child, parent));
    EXPECT_FALSE(child.open);
    EXPECT_TRUE(parent.open);
    EXPECT_EQ(back.size(), 7u) << "the child's seven lines only";
    EXPECT_EQ(back.at(0), "child");

    std::vector<std::string> next = texts_of(process_pressing(ScanCode::Numpad0, child, parent));
    ASSERT_FALSE(next.empty());
    EXPECT_EQ(next.at(0), "parent");
    EXPECT_TRUE(parent.open) << "without a parent, back does nothing";
}

TEST(MenuTest, EmptyOrShrunkListsChooseNothing) {
    Menu empty("empty");
    empty.toggle();
    game_frame([&] { empty.process(); });
    EXPECT_EQ(texts_of(game_frame([&] { empty.process(); })).size(), 4u);
    EXPECT_TRUE(process_pressing(ScanCode::Numpad5, empty).empty());
    EXPECT_EQ(empty.selected_action(), -1);

    Menu menu = armed_menu();
    menu.highlighted = 2;
    menu.items.pop_back();
    process_pressing(ScanCode::Numpad5, menu);
    EXPECT_EQ(menu.chosen_item(), nullptr);
    EXPECT_EQ(menu.selected_action(), -1);

    // A close request closes the menu once its frame is drawn.
    menu.close_request = true;
    EXPECT_FALSE(game_frame([&] { menu.process(); }).empty());
    EXPECT_FALSE(menu.open);
    EXPECT_FALSE(menu.close_request);
}

}  // namespace
}  // namespace corvalen
