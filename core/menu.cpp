#include "core/menu.h"

#include "core/screen_text.h"
#include "host/host_game.h"

namespace corvalen {
namespace {

using host::ScanCode;

constexpr float kLeft = 0.1f;
constexpr float kTop = 0.1f;
constexpr float kTitleScale = 0.35f;
constexpr float kHelpLeft = 0.7f;
constexpr float kHelpScale = 0.25f;
constexpr float kItemScale = 0.3f;
constexpr double kItemStep = 0.035;

}  // namespace

void Menu::add_item(std::string label, std::int32_t action) {
    items.push_back({std::move(label), 0, 0, action});
}

void Menu::add_item(std::string label, std::int32_t value, std::int32_t extra,
                    std::int32_t action) {
    items.push_back({std::move(label), value, extra, action});
}

bool Menu::toggle() {
    armed = false;
    open = !open;
    return open;
}

void Menu::close() {
    armed = false;
    open = false;
}

void Menu::process() {
    chosen = -1;
    if (open && armed) {
        const auto count = static_cast<std::int32_t>(items.size());
        if (host::key_pressed(ScanCode::Numpad5)) {
            if (count == 0)
                return;  // nothing to choose, and nothing drawn this frame
            // An owner that shrank the list may have left the highlight
            // outside it; such a choice would name no item.
            if (highlighted >= 0 && highlighted < count)
                chosen = highlighted;
        } else if (host::key_pressed(ScanCode::Numpad0)) {
            if (parent) {
                parent->toggle();
                toggle();
            }
        } else if (host::key_pressed(ScanCode::Numpad8)) {
            if (--highlighted < 0)
                highlighted = count - 1;
        } else if (host::key_pressed(ScanCode::Numpad2)) {
            if (++highlighted >= count)
                highlighted = 0;
        }
        draw();
        if (close_request) {
            open = false;
            close_request = false;
        }
    }
    armed = true;
}

std::int32_t Menu::selected_action() const {
    const MenuItem* item = chosen_item();
    return item ? item->action : -1;
}

const MenuItem* Menu::chosen_item() const {
    if (chosen < 0 || chosen >= static_cast<std::int32_t>(items.size()))
        return nullptr;
    return &items[static_cast<std::size_t>(chosen)];
}

void Menu::draw() const {
    draw_text(title, kLeft, kTop, kTitleScale);
    draw_text("Up/Down NUMPAD to navigate", kHelpLeft, 0.13f, kHelpScale);
    draw_text("NUMPAD 5 to select", kHelpLeft, 0.16f, kHelpScale);
    draw_text("NUMPAD 0 to go back", kHelpLeft, 0.19f, kHelpScale);

    float y = kTop;
    for (std::size_t k = 0; k < items.size(); ++k) {
        // Summed in double and stored back as float at every step: item k
        // sits at exactly that float, not at 0.1 + 0.035 * (k + 1).
        y = static_cast<float>(static_cast<double>(y) + kItemStep);
        if (static_cast<std::int32_t>(k) == highlighted) {
            set_text_colour(0, 87, 233);
        } else {
            set_text_colour(255, 255, 255);
        }
        draw_text(items[k].label, kLeft, y, kItemScale);
    }
}

}  // namespace corvalen
