#include "pictures/view.h"

#include <algorithm>
#include <cmath>

namespace pictures {

View::View(float centre_x, float centre_y, float metres_per_pixel, int width, int height)
    : centre_x_(centre_x),
      centre_y_(centre_y),
      metres_per_pixel_(
          std::isfinite(metres_per_pixel) && metres_per_pixel > 0.0f ? metres_per_pixel : 1.0f),
      width_(width),
      height_(height) {}

View View::fit(const Bounds& bounds, int width, int height, float margin, float closest) {
    float inner_width = std::max(static_cast<float>(width) - 2.0f * margin, 1.0f);
    float inner_height = std::max(static_cast<float>(height) - 2.0f * margin, 1.0f);
    float scale = std::max({(bounds.max_x - bounds.min_x) / inner_width,
                            (bounds.max_y - bounds.min_y) / inner_height, closest});
    return View((bounds.min_x + bounds.max_x) / 2.0f, (bounds.min_y + bounds.max_y) / 2.0f, scale,
                width, height);
}

Point View::to_picture(float x, float y) const {
    return {static_cast<float>(width_) / 2.0f + (x - centre_x_) / metres_per_pixel_,
            static_cast<float>(height_) / 2.0f - (y - centre_y_) / metres_per_pixel_};
}

}  // namespace pictures
