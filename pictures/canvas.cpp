#include "pictures/canvas.h"

#include <algorithm>
#include <cmath>

namespace pictures {
namespace {

std::uint8_t channel(std::int32_t value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

float coverage_of(float inside) {
    return std::clamp(inside, 0.0f, 1.0f);
}

float distance_to_segment(Point p, Point a, Point b) {
    float dx = b.x - a.x;
    float dy = b.y - a.y;
    float length_squared = dx * dx + dy * dy;
    float t = 0.0f;
    if (length_squared > 0.0f)
        t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length_squared, 0.0f, 1.0f);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// A float pixel bound as an index, kept inside what the picture can hold
// so that far-off shapes convert without overflow.
int bound(float value, int limit) {
    return static_cast<int>(std::clamp(value, -1.0f, static_cast<float>(limit) + 1.0f));
}

}  // namespace

Rgba game_colour(std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t alpha) {
    return {channel(red), channel(green), channel(blue), channel(alpha)};
}

Canvas::Canvas(int width, int height, Rgba background)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    rgb_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3);
    for (std::size_t i = 0; i < rgb_.size(); i += 3) {
        rgb_[i] = background.red;
        rgb_[i + 1] = background.green;
        rgb_[i + 2] = background.blue;
    }
}

Rgba Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return {0, 0, 0, 0};
    std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                      static_cast<std::size_t>(x)) *
                     3;
    return {rgb_[at], rgb_[at + 1], rgb_[at + 2], 255};
}

void Canvas::blend(int x, int y, Rgba colour, float coverage) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_ || !(coverage > 0.0f))
        return;
    float weight = std::min(coverage, 1.0f) * static_cast<float>(colour.alpha) / 255.0f;
    std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                      static_cast<std::size_t>(x)) *
                     3;
    const std::uint8_t source[3] = {colour.red, colour.green, colour.blue};
    for (int i = 0; i < 3; ++i) {
        float mixed = static_cast<float>(source[i]) * weight +
                      static_cast<float>(rgb_[at + i]) * (1.0f - weight);
        rgb_[at + i] = static_cast<std::uint8_t>(std::lround(std::clamp(mixed, 0.0f, 255.0f)));
    }
}

template <class Shade>
void Canvas::for_pixels(float left, float top, float right, float bottom, Shade shade) {
    if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(right) ||
        !std::isfinite(bottom))
        return;
    int x0 = std::max(bound(std::floor(left), width_), 0);
    int x1 = std::min(bound(std::ceil(right), width_), width_ - 1);
    int y0 = std::max(bound(std::floor(top), height_), 0);
    int y1 = std::min(bound(std::ceil(bottom), height_), height_ - 1);
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x)
            shade(x, y, Point{static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f});
    }
}

void Canvas::fill_rectangle(float left, float top, float right, float bottom, Rgba colour) {
    for_pixels(left, top, right, bottom, [&](int x, int y, Point centre) {
        if (centre.x >= left && centre.x < right && centre.y >= top && centre.y < bottom)
            blend(x, y, colour);
    });
}

void Canvas::fill_circle(Point centre, float radius, Rgba colour) {
    float reach = radius + 1.0f;
    for_pixels(centre.x - reach, centre.y - reach, centre.x + reach, centre.y + reach,
               [&](int x, int y, Point at) {
                   float d = std::hypot(at.x - centre.x, at.y - centre.y);
                   blend(x, y, colour, coverage_of(radius + 0.5f - d));
               });
}

void Canvas::ring(Point centre, float radius, float thickness, Rgba colour) {
    float reach = radius + thickness / 2.0f + 1.0f;
    for_pixels(centre.x - reach, centre.y - reach, centre.x + reach, centre.y + reach,
               [&](int x, int y, Point at) {
                   float d = std::hypot(at.x - centre.x, at.y - centre.y);
                   blend(x, y, colour,
                         coverage_of(thickness / 2.0f + 0.5f - std::fabs(d - radius)));
               });
}

void Canvas::line(Point from, Point to, float thickness, Rgba colour) {
    float reach = thickness / 2.0f + 1.0f;
    for_pixels(std::min(from.x, to.x) - reach, std::min(from.y, to.y) - reach,
               std::max(from.x, to.x) + reach, std::max(from.y, to.y) + reach,
               [&](int x, int y, Point at) {
                   float d = distance_to_segment(at, from, to);
                   blend(x, y, colour, coverage_of(thickness / 2.0f + 0.5f - d));
               });
}

void Canvas::fill_polygon(const std::vector<Point>& corners, Rgba colour) {
    if (corners.size() < 3)
        return;
    float left = corners[0].x;
    float right = left;
    float top = corners[0].y;
    float bottom = top;
    float area = 0.0f;
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const Point& a = corners[i];
        const Point& b = corners[(i + 1) % corners.size()];
        left = std::min(left, a.x);
        right = std::max(right, a.x);
        top = std::min(top, a.y);
        bottom = std::max(bottom, a.y);
        area += a.x * b.y - b.x * a.y;
    }
    if (area == 0.0f)
        return;
    float orientation = area > 0.0f ? 1.0f : -1.0f;
    for_pixels(left - 1.0f, top - 1.0f, right + 1.0f, bottom + 1.0f, [&](int x, int y, Point at) {
        // The distance outside the nearest edge; negative inside them all.
        float outside = -1.0e9f;
        for (std::size_t i = 0; i < corners.size(); ++i) {
            const Point& a = corners[i];
            const Point& b = corners[(i + 1) % corners.size()];
            float length = std::hypot(b.x - a.x, b.y - a.y);
            if (length == 0.0f)
                continue;
            float cross = (b.x - a.x) * (at.y - a.y) - (b.y - a.y) * (at.x - a.x);
            outside = std::max(outside, -orientation * cross / length);
        }
        blend(x, y, colour, coverage_of(0.5f - outside));
    });
}

}  // namespace pictures
