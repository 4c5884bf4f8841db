#pragma once
// The mod's on-screen menus: a title and a list of labels, driven by the
// numeric keypad. The owner processes its menu once per frame and acts on the
// item chosen in that frame by its action id. A menu that has just been opened
// is first only armed, so the key press that opened it (often the choice in
// another menu) never also acts in it.

#include <cstdint>
#include <string>
#include <vector>

namespace corvalen {

struct MenuItem {
    std::string label;
    std::int32_t value = 0;  // two payload values whose meaning is the owner's
    std::int32_t extra = 0;
    std::int32_t action = 0;
};

class Menu {
  public:
    Menu() = default;
    explicit Menu(std::string menu_title) : title(std::move(menu_title)) {}

    void add_item(std::string label, std::int32_t action);
    void add_item(std::string label, std::int32_t value, std::int32_t extra, std::int32_t action);

    // Disarms and opens or closes the menu; returns whether it is now open.
    bool toggle();
    // Closes and disarms the menu.
    void close();
    // Reads the keys, moves the highlight, draws; once per frame.
    void process();
    // Action id of the item chosen in this frame, -1 when none.
    std::int32_t selected_action() const;
    // The item chosen in this frame, nullptr when none.
    const MenuItem* chosen_item() const;
    void draw() const;

    bool armed = false;
    bool open = false;
    std::string title;
    std::vector<MenuItem> items;
    bool close_request = false;  // closes the menu at the end of its next processed frame
    Menu* parent = nullptr;      // NUMPAD 0 goes back to it
    std::int32_t chosen = -1;    // index of the item chosen in this frame
    std::int32_t highlighted = 0;
};

}  // namespace corvalen
