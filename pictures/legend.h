#pragma once
// The legend of a map and its scale bar.

#include <functional>
#include <string>
#include <vector>

#include "pictures/canvas.h"
#include "pictures/font.h"
#include "pictures/view.h"

namespace pictures {

struct LegendEntry {
    std::string label;
    // Draws the entry's symbol centred on a point.
    std::function<void(Canvas&, const Font&, Point)> symbol;
};

// A framed box with one entry a line, symbol then label, its top-left corner
// at `corner`.
void draw_legend(Canvas& canvas, const Font& font, const std::vector<LegendEntry>& entries,
                 Point corner);

// The round length (1, 2 or 5 times a power of ten metres) that a scale bar
// of at most `longest` pixels shows.
float scale_bar_metres(const View& view, float longest);
// The bar, its left end at `at`, with its length written above it.
void draw_scale_bar(Canvas& canvas, const Font& font, const View& view, Point at, float longest);

}  // namespace pictures
