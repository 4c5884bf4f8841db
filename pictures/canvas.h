#pragma once
// A picture in memory: opaque pixels, and shapes drawn over them with their
// colour's alpha and smooth edges. Coordinates are pixels, x to the right and
// y downward, with pixel (i, j) covering [i, i + 1) x [j, j + 1).

#include <cstdint>
#include <vector>

namespace pictures {

struct Rgba {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;

    bool operator==(const Rgba&) const = default;
};

struct Point {
    float x = 0.0f;
    float y = 0.0f;
};

// A colour from the game's 0..255 integers, which may lie outside that range.
Rgba game_colour(std::int32_t red, std::int32_t green, std::int32_t blue, std::int32_t alpha);

class Canvas {
  public:
    // Negative sizes give an empty picture.
    Canvas(int width, int height, Rgba background);

    int width() const { return width_; }
    int height() const { return height_; }
    // Alpha 255; a pixel outside the picture reads as transparent black.
    Rgba pixel(int x, int y) const;
    // Red, green, blue, a row after another, for the image writer.
    const std::vector<std::uint8_t>& rgb() const { return rgb_; }

    // Lays the colour over one pixel, weighed by its alpha and by the part of
    // the pixel the shape covers (0 to 1). Pixels outside are ignored.
    void blend(int x, int y, Rgba colour, float coverage = 1.0f);

    // The pixels whose centres lie inside [left, right) x [top, bottom).
    void fill_rectangle(float left, float top, float right, float bottom, Rgba colour);
    void fill_circle(Point centre, float radius, Rgba colour);
    // A circle's outline, `thickness` wide, centred on the radius.
    void ring(Point centre, float radius, float thickness, Rgba colour);
    void line(Point from, Point to, float thickness, Rgba colour);
    // A filled convex polygon (vehicles, arrow heads, markers).
    void fill_polygon(const std::vector<Point>& corners, Rgba colour);

  private:
    // Calls shade(x, y) for each pixel of the box that lies in the picture,
    // with the pixel's centre.
    template <class Shade>
    void for_pixels(float left, float top, float right, float bottom, Shade shade);

    int width_;
    int height_;
    std::vector<std::uint8_t> rgb_;
};

}  // namespace pictures
