#pragma once
// The mod's spots on a top-down map: route networks with their links, each
// point in the colour the inspector marks its kind in; service stations and
// pay car parks with their reach; properties by kind, owned houses apart,
// and house garages.

#include <vector>

#include "pictures/canvas.h"
#include "pictures/font.h"
#include "pictures/legend.h"
#include "pictures/map_data.h"
#include "pictures/view.h"

namespace pictures {

void draw_map(Canvas& canvas, const View& view, const MapData& map, const Font& font);

// The symbols draw_map uses, for the map's legend.
std::vector<LegendEntry> map_legend();

}  // namespace pictures
