#pragma once
// Pictures as PNG files.

#include <string>

#include "pictures/canvas.h"

namespace pictures {

// Writes the picture as a PNG file, replacing any file there whole; false
// when it could not be encoded or written.
bool write_png(const Canvas& canvas, const std::string& path);

}  // namespace pictures
