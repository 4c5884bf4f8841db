#include "core/screen_text.h"

#include "host/host_game.h"

namespace corvalen {

void draw_text(const std::string& text, float x, float y, float scale) {
    host::set_text_scale(scale, scale);
    host::show_text(x, y, text);
}

void draw_text(const char* text, float x, float y, float scale) {
    host::set_text_scale(scale, scale);
    host::show_text(x, y, text);
}

void set_text_colour(std::int32_t red, std::int32_t green, std::int32_t blue) {
    host::set_text_colour(red, green, blue);
}

void TimedMessage::show(std::string message) {
    text = std::move(message);
    until = host::wall_clock_now() + kShownSeconds;
}

void TimedMessage::draw() const {
    if (until > host::wall_clock_now())
        draw_text(text, 0.1f, 0.1f, 1.0f);
}

}  // namespace corvalen
