#include "pictures/folder_map.h"

#include <algorithm>

#include "pictures/legend.h"
#include "pictures/map_layer.h"

namespace pictures {
namespace {

constexpr Rgba kLand{196, 206, 176, 255};
constexpr float kLegendWidth = 280.0f;  // kept free at the right for the legend
constexpr float kMargin = 40.0f;
// Closer than this a map of a few points would be all symbols.
constexpr float kClosest = 0.5f;
constexpr float kEmptyMapScale = 2.0f;
constexpr float kScaleBarLongest = 200.0f;

}  // namespace

Canvas draw_folder_map(const MapData& map, const Font& font, int width, int height) {
    Canvas canvas(width, height, kLand);
    float map_width = std::max(static_cast<float>(width) - kLegendWidth, 1.0f);
    View view(0.0f, 0.0f, kEmptyMapScale, width, height);
    if (std::optional<Bounds> bounds = map_bounds(map)) {
        View fitted = View::fit(*bounds, static_cast<int>(map_width), height, kMargin, kClosest);
        // The fitted view's centre moves right by half the legend's strip, so
        // the map sits left of it.
        float centre_x = (bounds->min_x + bounds->max_x) / 2.0f +
                         kLegendWidth / 2.0f * fitted.metres_per_pixel();
        view = View(centre_x, (bounds->min_y + bounds->max_y) / 2.0f, fitted.metres_per_pixel(),
                    width, height);
    }
    draw_map(canvas, view, map, font);
    draw_legend(canvas, font, map_legend(), {map_width + kMargin / 2.0f, kMargin / 2.0f});
    draw_scale_bar(canvas, font, view,
                   {kMargin / 2.0f, static_cast<float>(height) - kMargin / 2.0f}, kScaleBarLongest);
    return canvas;
}

}  // namespace pictures
