#include "pictures/font.h"

#include <stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <vector>

#include "pictures/file_bytes.h"

namespace pictures {
namespace {

constexpr const char* kFontFileName = "DejaVuSans.ttf";
constexpr const char* kSystemFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
// A text the size of a few screens is a mistake in the record, not a text:
// it is drawn no larger than this, so a glyph's bitmap stays small.
constexpr float kLargestLine = 1024.0f;
constexpr float kLeastStretch = 0.05f;
constexpr float kMostStretch = 20.0f;
// Texts that start this far off the picture are not drawn at all.
constexpr float kFarthestStart = 1.0e6f;

bool shown(unsigned char byte) {
    return byte >= 0x20 && byte != 0x7F;
}

}  // namespace

struct Font::Face {
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
    int ascent = 0;
};

Font::Font(std::unique_ptr<Face> face) : face_(std::move(face)) {}
Font::Font(Font&&) noexcept = default;
Font& Font::operator=(Font&&) noexcept = default;
Font::~Font() = default;

std::optional<Font> Font::load(const std::string& path) {
    std::optional<std::string> bytes = read_file(path);
    // The smallest table directory a TrueType file can have.
    constexpr std::size_t kHeaderSize = 12;
    if (!bytes || bytes->size() < kHeaderSize)
        return std::nullopt;
    auto face = std::make_unique<Face>();
    face->data.assign(bytes->begin(), bytes->end());
    int offset = stbtt_GetFontOffsetForIndex(face->data.data(), 0);
    if (offset < 0 || stbtt_InitFont(&face->info, face->data.data(), offset) == 0)
        return std::nullopt;
    int descent = 0;
    int gap = 0;
    stbtt_GetFontVMetrics(&face->info, &face->ascent, &descent, &gap);
    return Font(std::move(face));
}

std::string Font::default_path(const std::string& program_path) {
    std::error_code error;
    std::filesystem::path beside =
        std::filesystem::path(program_path).parent_path() / kFontFileName;
    if (std::filesystem::is_regular_file(beside, error))
        return beside.string();
    return kSystemFont;
}

void Font::draw(Canvas& canvas, Point top_left, float line_height, float stretch,
                std::string_view text, Rgba colour) const {
    if (!std::isfinite(line_height) || !(line_height > 0.0f) || !std::isfinite(stretch) ||
        !(std::fabs(top_left.x) < kFarthestStart) || !(std::fabs(top_left.y) < kFarthestStart))
        return;
    line_height = std::min(line_height, kLargestLine);
    stretch = std::clamp(stretch, kLeastStretch, kMostStretch);
    const stbtt_fontinfo& info = face_->info;
    float scale_y = stbtt_ScaleForPixelHeight(&info, line_height);
    float scale_x = scale_y * stretch;
    float pen = top_left.x;
    float baseline = top_left.y + static_cast<float>(face_->ascent) * scale_y;
    std::vector<unsigned char> glyph;
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') {
            pen = top_left.x;
            baseline += line_height;
            continue;
        }
        if (!shown(byte))
            continue;
        int advance = 0;
        int bearing = 0;
        stbtt_GetCodepointHMetrics(&info, byte, &advance, &bearing);
        float whole = std::floor(pen);
        float shift = pen - whole;
        int x0 = 0;
        int y0 = 0;
        int x1 = 0;
        int y1 = 0;
        stbtt_GetCodepointBitmapBoxSubpixel(&info, byte, scale_x, scale_y, shift, 0.0f, &x0, &y0,
                                            &x1, &y1);
        int w = x1 - x0;
        int h = y1 - y0;
        if (w > 0 && h > 0) {
            glyph.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
            stbtt_MakeCodepointBitmapSubpixel(&info, glyph.data(), w, h, w, scale_x, scale_y, shift,
                                              0.0f, byte);
            int left = static_cast<int>(whole) + x0;
            int top = static_cast<int>(std::lround(baseline)) + y0;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    unsigned char value = glyph[static_cast<std::size_t>(y * w + x)];
                    if (value != 0)
                        canvas.blend(left + x, top + y, colour, static_cast<float>(value) / 255.0f);
                }
            }
        }
        pen += static_cast<float>(advance) * scale_x;
        if (i + 1 < text.size())
            pen += static_cast<float>(stbtt_GetCodepointKernAdvance(
                       &info, byte, static_cast<unsigned char>(text[i + 1]))) *
                   scale_x;
    }
}

float Font::width(std::string_view text, float line_height, float stretch) const {
    if (!std::isfinite(line_height) || !(line_height > 0.0f) || !std::isfinite(stretch))
        return 0.0f;
    line_height = std::min(line_height, kLargestLine);
    stretch = std::clamp(stretch, kLeastStretch, kMostStretch);
    float scale_x = stbtt_ScaleForPixelHeight(&face_->info, line_height) * stretch;
    float widest = 0.0f;
    float pen = 0.0f;
    for (unsigned char byte : text) {
        if (byte == '\n') {
            pen = 0.0f;
            continue;
        }
        if (!shown(byte))
            continue;
        int advance = 0;
        int bearing = 0;
        stbtt_GetCodepointHMetrics(&face_->info, byte, &advance, &bearing);
        pen += static_cast<float>(advance) * scale_x;
        widest = std::max(widest, pen);
    }
    return widest;
}

std::string Font::wrapped(std::string_view text, float line_height, float stretch,
                          float widest) const {
    std::string out;
    std::string line;  // the line being filled, without its line feed
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(" \n", start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view word = text.substr(start, end - start);
        std::string longer = line.empty() ? std::string(word) : line + " " + std::string(word);
        if (!line.empty() && width(longer, line_height, stretch) > widest) {
            out += line + "\n";
            line = std::string(word);
        } else {
            line = std::move(longer);
        }
        if (end < text.size() && text[end] == '\n') {
            out += line + "\n";
            line.clear();
        }
        start = end + 1;
    }
    return out + line;
}

}  // namespace pictures
