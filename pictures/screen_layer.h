#pragma once
// What the game drew in a frame, as the player sees it: texts at their screen
// positions with their scale and colour, and filled rectangles, over the
// picture of the world; circles and ground markers in the world itself.

#include <vector>

#include "pictures/canvas.h"
#include "pictures/font.h"
#include "pictures/snapshot_reader.h"
#include "pictures/view.h"

namespace pictures {

// A line of text at scale 1.0 is this part of the screen's height tall.
inline constexpr float kTextLineHeight = 0.09f;

// The circles and ground markers of a frame, where they lie in the view.
void draw_world_marks(Canvas& canvas, const View& view, const std::vector<ScreenItem>& items);
// The texts and rectangles of a frame, in the order they were drawn.
void draw_screen(Canvas& canvas, const Font& font, const std::vector<ScreenItem>& items);

}  // namespace pictures
