#include "pictures/frame_picture.h"

#include <cmath>
#include <string>

#include "pictures/legend.h"
#include "pictures/map_layer.h"
#include "pictures/screen_layer.h"
#include "pictures/world_layer.h"

namespace pictures {
namespace {

constexpr float kHudLine = 0.04f;   // of the screen's height
constexpr float kHudRight = 0.98f;  // of the screen's width
constexpr float kHudTop = 0.025f;
constexpr Rgba kClockColour{255, 255, 255, 255};
constexpr Rgba kCashColour{120, 200, 100, 255};
constexpr Rgba kHudShadow{0, 0, 0, 160};
constexpr float kScaleBarLongest = 160.0f;
constexpr Point kScaleBarAt{20.0f, 40.0f};

std::string two_digits(int value) {
    std::string text = std::to_string(value);
    return text.size() < 2 ? "0" + text : text;
}

void hud_line(Canvas& canvas, const Font& font, const std::string& text, float top, Rgba colour) {
    float line = kHudLine * static_cast<float>(canvas.height());
    float right = kHudRight * static_cast<float>(canvas.width());
    Point at{right - font.width(text, line, 1.0f), top};
    font.draw(canvas, {at.x + 1.0f, at.y + 1.0f}, line, 1.0f, text, kHudShadow);
    font.draw(canvas, at, line, 1.0f, text, colour);
}

// The game's own display: the clock, and the cash in whole dollars.
void draw_hud(Canvas& canvas, const Font& font, const Snapshot& snapshot) {
    float top = kHudTop * static_cast<float>(canvas.height());
    float line = kHudLine * static_cast<float>(canvas.height());
    hud_line(canvas, font, two_digits(snapshot.hour) + ":" + two_digits(snapshot.minute), top,
             kClockColour);
    long long dollars = std::isfinite(snapshot.cash) && std::fabs(snapshot.cash) < 1.0e15f
                            ? std::llround(snapshot.cash)
                            : 0;
    std::string cash =
        dollars < 0 ? "-$" + std::to_string(-dollars) : "$" + std::to_string(dollars);
    hud_line(canvas, font, cash, top + line * 1.1f, kCashColour);
}

}  // namespace

DataFiles snapshot_files(const Snapshot& snapshot) {
    return [&snapshot](const std::string& name) -> std::optional<std::vector<std::string>> {
        auto file = snapshot.files.find(name);
        if (file == snapshot.files.end())
            return std::nullopt;
        std::vector<std::string> lines = file->second;
        // The plug-in's line reader takes a carriage return for part of the line end.
        for (std::string& line : lines) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
        }
        return lines;
    };
}

Canvas draw_frame(const Snapshot& snapshot, const Font& font, const FrameLook& look) {
    Canvas canvas(look.width, look.height, {0, 0, 0, 255});
    View view(snapshot.player.x, snapshot.player.y, look.metres_per_pixel, look.width, look.height);
    draw_ground(canvas, view, snapshot, font);
    draw_map(canvas, view, read_map_data(snapshot_files(snapshot), std::to_string(snapshot.save)),
             font);
    draw_people_and_vehicles(canvas, view, snapshot);
    draw_blips(canvas, view, snapshot);
    draw_world_marks(canvas, view, snapshot.screen);
    // Top left, above where menus and messages start.
    draw_scale_bar(canvas, font, view, kScaleBarAt, kScaleBarLongest);
    draw_hud(canvas, font, snapshot);
    draw_screen(canvas, font, snapshot.screen);
    return canvas;
}

}  // namespace pictures
