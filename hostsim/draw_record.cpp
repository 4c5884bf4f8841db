#include "hostsim/draw_record.h"

#include <charconv>

namespace hostsim {
namespace {

std::string colour_text(const Colour& colour) {
    return "(" + std::to_string(colour[0]) + "," + std::to_string(colour[1]) + "," +
           std::to_string(colour[2]) + "," + std::to_string(colour[3]) + ")";
}

// Screen fractions get three decimals: menu rows sit 0.035 apart, and two
// decimals would hide half a step.
std::string screen_pair(float a, float b) {
    return "(" + format_float(a, 3) + "," + format_float(b, 3) + ")";
}

}  // namespace

std::string format_float(float value, int decimals) {
    char buffer[64];
    auto [end, error] =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, decimals);
    if (error != std::errc())
        return "?";
    std::string text(buffer, end);
    // A value that rounds to zero is written without its sign.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string format_point(float x, float y, float z) {
    return "(" + format_float(x) + "," + format_float(y) + "," + format_float(z) + ")";
}

std::string describe(const DrawItem& item) {
    switch (item.kind) {
        case DrawKind::text:
            return "text \"" + item.text + "\" at " + screen_pair(item.x, item.y) + " scale " +
                   screen_pair(item.width, item.height) + " colour " + colour_text(item.colour);
        case DrawKind::rectangle:
            return "rectangle at " + screen_pair(item.x, item.y) + " size " +
                   screen_pair(item.width, item.height) + " colour " + colour_text(item.colour);
        case DrawKind::circle:
            return "circle at " + format_point(item.x, item.y, item.z) + " diameter " +
                   format_float(item.width) + " colour " + colour_text(item.colour);
        case DrawKind::marker:
            return "marker at " + format_point(item.x, item.y, item.z) + " (" +
                   format_float(item.width) + "," + format_float(item.height) + ") colour " +
                   colour_text(item.colour);
    }
    return "?";
}

std::vector<std::string> texts_of(const DrawRecord& draws) {
    std::vector<std::string> texts;
    for (const DrawItem& item : draws) {
        if (item.kind == DrawKind::text)
            texts.push_back(item.text);
    }
    return texts;
}

}  // namespace hostsim
