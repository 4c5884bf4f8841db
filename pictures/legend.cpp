#include "pictures/legend.h"

#include <algorithm>
#include <cmath>

namespace pictures {
namespace {

constexpr float kLine = 22.0f;  // pixels a legend entry takes
constexpr float kText = 14.0f;
constexpr float kPadding = 8.0f;
constexpr float kSymbolWidth = 28.0f;
constexpr Rgba kPaper{255, 255, 255, 220};
constexpr Rgba kInk{30, 30, 30, 255};

std::string length_text(float metres) {
    if (metres >= 1000.0f)
        return std::to_string(static_cast<long long>(std::lround(metres / 1000.0f))) + " km";
    if (metres >= 1.0f)
        return std::to_string(static_cast<long long>(std::lround(metres))) + " m";
    return std::to_string(static_cast<long long>(std::lround(metres * 100.0f))) + " cm";
}

}  // namespace

void draw_legend(Canvas& canvas, const Font& font, const std::vector<LegendEntry>& entries,
                 Point corner) {
    if (entries.empty())
        return;
    float widest = 0.0f;
    for (const LegendEntry& entry : entries)
        widest = std::max(widest, font.width(entry.label, kText, 1.0f));
    float right = corner.x + 2.0f * kPadding + kSymbolWidth + widest;
    float bottom = corner.y + 2.0f * kPadding + kLine * static_cast<float>(entries.size());
    canvas.fill_rectangle(corner.x, corner.y, right, bottom, kPaper);
    Point top_right{right, corner.y};
    Point bottom_left{corner.x, bottom};
    for (auto [from, to] :
         {std::pair{corner, top_right}, std::pair{top_right, Point{right, bottom}},
          std::pair{Point{right, bottom}, bottom_left}, std::pair{bottom_left, corner}})
        canvas.line(from, to, 1.0f, kInk);
    float y = corner.y + kPadding;
    for (const LegendEntry& entry : entries) {
        if (entry.symbol)
            entry.symbol(canvas, font,
                         {corner.x + kPadding + kSymbolWidth / 2.0f, y + kLine / 2.0f});
        font.draw(canvas, {corner.x + kPadding + kSymbolWidth, y + (kLine - kText) / 2.0f}, kText,
                  1.0f, entry.label, kInk);
        y += kLine;
    }
}

float scale_bar_metres(const View& view, float longest) {
    float most = longest * view.metres_per_pixel();
    if (!(most > 0.0f) || !std::isfinite(most))
        return 0.0f;
    float power = std::pow(10.0f, std::floor(std::log10(most)));
    for (float step : {5.0f, 2.0f, 1.0f}) {
        if (step * power <= most)
            return step * power;
    }
    return power;
}

void draw_scale_bar(Canvas& canvas, const Font& font, const View& view, Point at, float longest) {
    float metres = scale_bar_metres(view, longest);
    if (!(metres > 0.0f))
        return;
    float length = view.pixels(metres);
    constexpr float kTick = 6.0f;
    constexpr float kThick = 2.0f;
    Point end{at.x + length, at.y};
    canvas.line(at, end, kThick, kInk);
    canvas.line({at.x, at.y - kTick}, {at.x, at.y}, kThick, kInk);
    canvas.line({end.x, end.y - kTick}, end, kThick, kInk);
    std::string label = length_text(metres);
    float width = font.width(label, kText, 1.0f);
    font.draw(canvas, {at.x + (length - width) / 2.0f, at.y - kTick - kText - 2.0f}, kText, 1.0f,
              label, kInk);
}

}  // namespace pictures
