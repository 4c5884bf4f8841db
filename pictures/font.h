#pragma once
// Text on a canvas in a TrueType font. Texts are the game's 8-bit strings,
// read as Latin-1; a line feed starts a new line, other control bytes are
// left out.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "pictures/canvas.h"

namespace pictures {

class Font {
  public:
    // The font in a TrueType file; none when it cannot be read or is no font.
    static std::optional<Font> load(const std::string& path);
    // The DejaVu Sans file the programs use: the one beside the program, or
    // else the system's (fonts-dejavu-core).
    static std::string default_path(const std::string& program_path);

    Font(Font&&) noexcept;
    Font& operator=(Font&&) noexcept;
    ~Font();

    // Draws the text with the top of its first line at `top_left`. A line is
    // `line_height` pixels high; glyphs are stretched sideways by `stretch`.
    void draw(Canvas& canvas, Point top_left, float line_height, float stretch,
              std::string_view text, Rgba colour) const;
    // Width in pixels of the widest line.
    float width(std::string_view text, float line_height, float stretch) const;

    // The text with line feeds where it must break, at spaces, so that no
    // line is wider than `widest` pixels; a word wider than that keeps a
    // line of its own.
    std::string wrapped(std::string_view text, float line_height, float stretch,
                        float widest) const;

  private:
    struct Face;
    explicit Font(std::unique_ptr<Face> face);

    std::unique_ptr<Face> face_;
};

}  // namespace pictures
