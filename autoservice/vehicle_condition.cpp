#include "autoservice/vehicle_condition.h"

#include <algorithm>

#include "core/screen_text.h"
#include "host/host_game.h"
#include "host/vehicle_structure.h"

namespace corvalen {
namespace {

constexpr float kLabelX = 0.7f;
constexpr float kLabelScale = 0.25f;
constexpr float kBarX = 0.75f;
constexpr float kBarWidth = 0.1f;
constexpr float kBarHeight = 0.012f;
constexpr float kFillHeight = 0.01f;
constexpr float kSoundCondition = 1000.0f;

void draw_bar(const char* label, float label_y, float bar_y, float condition, host::Rgba fill) {
    draw_text(label, kLabelX, label_y, kLabelScale);
    host::draw_rectangle(kBarX, bar_y, kBarWidth, kBarHeight, {0, 0, 0, 128});
    // A condition above sound draws a fill beyond its bar, up to the screen's
    // width; a wreck below 0 (or no number) draws none.
    float width = condition * kBarWidth / kSoundCondition;
    width = width > 0.0f ? std::min(width, 1.0f) : 0.0f;
    host::draw_rectangle(kBarX - (kBarWidth / 2 - width / 2), bar_y, width, kFillHeight, fill);
}

}  // namespace

void draw_condition_panel(std::uint32_t structure) {
    if (structure == 0)
        return;
    draw_bar("body", 0.85f, 0.88f, host::vehicle_float(structure, host::VehicleField::Body),
             {0, 16, 128, 128});
    draw_bar("engine", 0.9f, 0.93f, host::vehicle_float(structure, host::VehicleField::Engine),
             {128, 128, 0, 128});
}

void improve_condition(std::uint32_t structure, float points) {
    for (host::VehicleField part : {host::VehicleField::Body, host::VehicleField::Engine}) {
        float condition = host::vehicle_float(structure, part) + points;
        // Written so that a condition that is no number comes out sound too.
        host::set_vehicle_float(structure, part,
                                condition < kSoundCondition ? condition : kSoundCondition);
    }
}

}  // namespace corvalen
