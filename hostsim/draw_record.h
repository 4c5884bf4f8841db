#pragma once
// What the game drew in one frame, in drawing order: texts (with the text
// scale and colour in force for them), rectangles, circles and markers.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace hostsim {

enum class DrawKind { text, rectangle, circle, marker };

using Colour = std::array<std::int32_t, 4>;  // red, green, blue, alpha

// Text settings apply to the next text only; the game falls back to these
// after every text and at the end of every frame.
inline constexpr float kDefaultTextScale = 1.0f;
inline constexpr Colour kDefaultTextColour{255, 255, 255, 255};

struct DrawItem {
    DrawKind kind = DrawKind::text;
    float x = 0.0f;  // screen fractions for texts and rectangles, world metres otherwise
    float y = 0.0f;
    float z = 0.0f;
    // rectangle: width, height; circle: diameter in width; marker: its two
    // further floats; text: the scale in force.
    float width = 0.0f;
    float height = 0.0f;
    Colour colour{};
    std::string text;
};

// One readable line, the same on every platform.
std::string describe(const DrawItem& item);

// Floats as the timeline writes them: two decimals unless told otherwise.
std::string format_float(float value, int decimals = 2);
// "(x,y,z)" with two decimals each.
std::string format_point(float x, float y, float z);

using DrawRecord = std::vector<DrawItem>;

// The texts of a record, in drawing order.
std::vector<std::string> texts_of(const DrawRecord& draws);

}  // namespace hostsim
