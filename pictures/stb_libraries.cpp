// The one place where the stb libraries' implementations are compiled: the
// font rasteriser and the PNG writer (Debian's libstb-dev).

#define STB_TRUETYPE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO

#include <stb_image_write.h>
#include <stb_truetype.h>
