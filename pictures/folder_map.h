#pragma once
// A data folder's whole map in one picture, for modders: every network,
// station, car park and property fitted in beside the legend, with a scale
// bar.

#include "pictures/canvas.h"
#include "pictures/font.h"
#include "pictures/map_data.h"

namespace pictures {

Canvas draw_folder_map(const MapData& map, const Font& font, int width, int height);

}  // namespace pictures
