#pragma once
// The stand-in's world from above, as a snapshot caught it: land and sea,
// the named streets, vehicles, people on foot, the player and the blips.

#include "pictures/canvas.h"
#include "pictures/font.h"
#include "pictures/snapshot_reader.h"
#include "pictures/view.h"

namespace pictures {

// Sea everywhere, the land over it, the streets with their names.
void draw_ground(Canvas& canvas, const View& view, const Snapshot& snapshot, const Font& font);
// Vehicles, the people on foot and the player, who is drawn last.
void draw_people_and_vehicles(Canvas& canvas, const View& view, const Snapshot& snapshot);
void draw_blips(Canvas& canvas, const View& view, const Snapshot& snapshot);

// A blip colour of the game as the stand-in shows it.
Rgba blip_colour(std::int32_t colour);

}  // namespace pictures
