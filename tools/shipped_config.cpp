// Writes the configuration file the release ships: every setting of
// core/settings.h with its default, under a comment that says what it does.
// The build runs it, so the file always matches the plug-in's defaults.
//
//   shipped_config OUT_FILE

#include <charconv>
#include <cstdio>
#include <string>
#include <string_view>
#include <variant>

#include "core/atomic_file.h"
#include "core/settings.h"

namespace {

constexpr std::string_view kHeader =
    "# Corvalen settings, read once when the game starts.\n"
    "#\n"
    "# One setting a line, key=value. A line starting with # is a comment.\n"
    "# Spaces do not count anywhere in a line, so \"max_busses = 4\" is fine.\n"
    "# A setting left out (or this whole file) takes the default written here.\n"
    "# Numbers are read as far as they go: \"3 ships\" is 3, \"many\" is 0.\n"
    "# A true-or-false setting is on only when it reads exactly true, in small\n"
    "# letters; anything else turns it off.\n";

std::string value_text(std::int32_t value) {
    return std::to_string(value);
}

// The shortest text that reads back as the same float.
std::string value_text(float value) {
    char digits[32];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

std::string value_text(bool value) {
    return value ? "true" : "false";
}

void append_comment(std::string& text, std::string_view comment) {
    while (!comment.empty()) {
        std::size_t end = comment.find('\n');
        text += "# ";
        text += comment.substr(0, end);
        text += '\n';
        comment = end == std::string_view::npos ? std::string_view() : comment.substr(end + 1);
    }
}

std::string shipped_config() {
    std::string text(kHeader);
    std::string_view group;
    for (const corvalen::AnySetting& entry : corvalen::kAllSettings) {
        std::visit(
            [&](const auto* setting) {
                if (setting->group != group) {
                    group = setting->group;
                    text += "\n# --- ";
                    text += group;
                    text += " ---\n";
                }
                text += '\n';
                append_comment(text, setting->about);
                text += setting->key;
                text += '=';
                text += value_text(setting->fallback);
                text += '\n';
            },
            entry);
    }
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: shipped_config OUT_FILE\n");
        return 2;
    }
    if (!corvalen::replace_file(argv[1], shipped_config())) {
        std::fprintf(stderr, "shipped_config: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
