#pragma once
// On-screen text: every message and menu of the mod is host text drawn anew
// each frame.

#include <cstdint>
#include <string>

namespace corvalen {

// Sets the text scale to (scale, scale), then shows the text at (x, y) in
// screen fractions.
void draw_text(const std::string& text, float x, float y, float scale);
// The same for a fixed text, which then needs no string of its own each frame.
void draw_text(const char* text, float x, float y, float scale);

// Colour (alpha 255) of the text drawn after it.
void set_text_colour(std::int32_t red, std::int32_t green, std::int32_t blue);

// A text that stays on screen for six wall-clock seconds after `show`. Owners
// call `draw` every frame; a newer text replaces the older one.
struct TimedMessage {
    static constexpr std::int64_t kShownSeconds = 6;

    void show(std::string message);
    void draw() const;

    std::int64_t until = 0;
    std::string text;
};

}  // namespace corvalen
