#include "pictures/png.h"

#include <stb_image_write.h>

#include "core/atomic_file.h"

namespace pictures {
namespace {

void append_bytes(void* context, void* data, int size) {
    if (size > 0)
        static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                                   static_cast<std::size_t>(size));
}

}  // namespace

bool write_png(const Canvas& canvas, const std::string& path) {
    if (canvas.width() == 0 || canvas.height() == 0)
        return false;
    constexpr int kChannels = 3;
    std::string encoded;
    if (stbi_write_png_to_func(append_bytes, &encoded, canvas.width(), canvas.height(), kChannels,
                               canvas.rgb().data(), canvas.width() * kChannels) == 0)
        return false;
    return corvalen::replace_file(path, encoded);
}

}  // namespace pictures
