#include "pictures/screen_layer.h"

#include <algorithm>
#include <cmath>

namespace pictures {
namespace {

// A ground marker is a short cylinder about this wide.
constexpr float kMarkerDiameter = 1.5f;
constexpr float kSmallestMark = 4.0f;  // pixels of radius
constexpr Rgba kShadow{0, 0, 0, 150};
constexpr float kWrapAt = 0.98f;  // of the screen's width

void draw_text(Canvas& canvas, const Font& font, const ScreenItem& text) {
    float screen_width = static_cast<float>(canvas.width());
    float screen_height = static_cast<float>(canvas.height());
    float line = text.height * kTextLineHeight * screen_height;
    float stretch = text.height != 0.0f ? text.width / text.height : 1.0f;
    Point at{text.x * screen_width, text.y * screen_height};
    // The game breaks a text that would run off the screen's right edge.
    std::string lines = font.wrapped(text.text, line, stretch, screen_width * kWrapAt - at.x);
    // A shadow keeps light text readable over a light picture.
    float offset = std::max(1.0f, std::round(line / 24.0f));
    Rgba shadow = kShadow;
    shadow.alpha = static_cast<std::uint8_t>(kShadow.alpha * text.colour.alpha / 255);
    font.draw(canvas, {at.x + offset, at.y + offset}, line, stretch, lines, shadow);
    font.draw(canvas, at, line, stretch, lines, text.colour);
}

void draw_rectangle(Canvas& canvas, const ScreenItem& rectangle) {
    float screen_width = static_cast<float>(canvas.width());
    float screen_height = static_cast<float>(canvas.height());
    float centre_x = rectangle.x * screen_width;
    float centre_y = rectangle.y * screen_height;
    float half_width = std::fabs(rectangle.width) * screen_width / 2.0f;
    float half_height = std::fabs(rectangle.height) * screen_height / 2.0f;
    canvas.fill_rectangle(centre_x - half_width, centre_y - half_height, centre_x + half_width,
                          centre_y + half_height, rectangle.colour);
}

}  // namespace

void draw_world_marks(Canvas& canvas, const View& view, const std::vector<ScreenItem>& items) {
    for (const ScreenItem& item : items) {
        Point at = view.to_picture(item.x, item.y);
        if (item.kind == ScreenItem::Kind::circle) {
            float radius = std::max(view.pixels(std::fabs(item.width) / 2.0f), kSmallestMark);
            Rgba fill = item.colour;
            fill.alpha = static_cast<std::uint8_t>(fill.alpha / 3);
            canvas.fill_circle(at, radius, fill);
            canvas.ring(at, radius, 2.0f, item.colour);
        } else if (item.kind == ScreenItem::Kind::marker) {
            float radius = std::max(view.pixels(kMarkerDiameter / 2.0f), kSmallestMark);
            canvas.fill_circle(at, radius, item.colour);
            Rgba rim = item.colour;
            rim.alpha = 255;
            canvas.ring(at, radius, 1.5f, rim);
        }
    }
}

void draw_screen(Canvas& canvas, const Font& font, const std::vector<ScreenItem>& items) {
    for (const ScreenItem& item : items) {
        if (item.kind == ScreenItem::Kind::text)
            draw_text(canvas, font, item);
        else if (item.kind == ScreenItem::Kind::rectangle)
            draw_rectangle(canvas, item);
    }
}

}  // namespace pictures
