#pragma once
// A frame of the game as the player saw it, from a snapshot: the world from
// above around the player with the mod's spots, the game's own clock and
// cash, and what the mod drew on the screen on top.

#include "pictures/canvas.h"
#include "pictures/font.h"
#include "pictures/map_data.h"
#include "pictures/snapshot_reader.h"

namespace pictures {

struct FrameLook {
    int width = 1280;
    int height = 720;
    float metres_per_pixel = 0.25f;
};

Canvas draw_frame(const Snapshot& snapshot, const Font& font, const FrameLook& look = {});

// The data files a snapshot carries, as the plug-in would read them.
DataFiles snapshot_files(const Snapshot& snapshot);

}  // namespace pictures
