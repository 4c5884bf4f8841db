#pragma once
// Where a point of the world lands in a picture: a top-down view, north up,
// a chosen world point at the picture's centre, so many metres a pixel.

#include "pictures/canvas.h"

namespace pictures {

struct Bounds {
    float min_x = 0.0f;
    float min_y = 0.0f;
    float max_x = 0.0f;
    float max_y = 0.0f;
};

class View {
  public:
    View(float centre_x, float centre_y, float metres_per_pixel, int width, int height);
    // The view that shows the whole of `bounds` with `margin` pixels around
    // it, no closer than `closest` metres a pixel.
    static View fit(const Bounds& bounds, int width, int height, float margin, float closest);

    Point to_picture(float x, float y) const;
    float pixels(float metres) const { return metres / metres_per_pixel_; }
    float metres_per_pixel() const { return metres_per_pixel_; }
    int width() const { return width_; }
    int height() const { return height_; }

  private:
    float centre_x_;
    float centre_y_;
    float metres_per_pixel_;
    int width_;
    int height_;
};

}  // namespace pictures
