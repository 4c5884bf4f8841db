#include "hostsim/draw_record.h"

#include <charconv>

namespace hostsim {
namespace {

std::string colour_text(const Colour& colour) {
    return "(" + std::to_string(colour[0]) + "," + std::to_string(colour[1]) + "," +
           std::to_string(colour[2]) + "," + std::to_string(colour[3]) + ")";
}

std::string pair(float a, float b) {
    return "(" + format_float(a) + "," + format_float(b) + ")";
}

std::string triple(float a, float b, float c) {
    return "(" + format_float(a) + "," + format_float(b) + "," + format_float(c) + ")";
}

}  // namespace

std::string format_float(float value) {
    if (value == 0.0f)
        value = 0.0f;  // no "-0.00"
    char buffer[64];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 2);
    if (error != std::errc())
        return "?";
    std::string text(buffer, end);
    return text == "-0.00" ? "0.00" : text;
}

std::string describe(const DrawItem& item) {
    switch (item.kind) {
        case DrawKind::text:
            return "text \"" + item.text + "\" at " + pair(item.x, item.y) + " scale " +
                   pair(item.width, item.height) + " colour " + colour_text(item.colour);
        case DrawKind::rectangle:
            return "rectangle at " + pair(item.x, item.y) + " size " +
                   pair(item.width, item.height) + " colour " + colour_text(item.colour);
        case DrawKind::circle:
            return "circle at " + triple(item.x, item.y, item.z) + " diameter " +
                   format_float(item.width) + " colour " + colour_text(item.colour);
        case DrawKind::marker:
            return "marker at " + triple(item.x, item.y, item.z) + " " +
                   pair(item.width, item.height) + " colour " + colour_text(item.colour);
    }
    return "?";
}

}  // namespace hostsim
