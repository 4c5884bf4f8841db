#include "pictures/demo_page.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <set>

namespace pictures {
namespace {

constexpr const char* kHead = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>Corvalen: a day in the city</title>
<style>
body { font-family: sans-serif; margin: 2em auto; max-width: 1300px; padding: 0 1em; color: #222; }
ol { list-style: none; padding: 0; }
li { margin: 0.3em 0; }
.time { display: inline-block; width: 4em; font-family: monospace; color: #666; }
figure { margin: 0.5em 0 1.5em 4em; }
figure img { max-width: 100%; height: auto; border: 1px solid #999; }
figcaption { font-style: italic; margin-top: 0.3em; }
.missing { color: #a00; }
</style>
</head>
<body>
<h1>Corvalen: a day in the city</h1>
)";

struct Entry {
    std::string time;  // empty for a line without one
    std::string text;
    std::optional<std::string> picture;  // its number
};

bool digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

Entry entry_of(const std::string& line) {
    Entry entry;
    entry.text = line;
    if (line.size() >= 7 && digit(line[0]) && digit(line[1]) && line[2] == ':' && digit(line[3]) &&
        digit(line[4]) && line[5] == ' ' && line[6] == ' ') {
        entry.time = line.substr(0, 5);
        entry.text = line.substr(7);
    }
    const std::string kPicture = "picture ";
    if (!entry.time.empty() && entry.text.compare(0, kPicture.size(), kPicture) == 0) {
        std::size_t end = kPicture.size();
        while (end < entry.text.size() && digit(entry.text[end]))
            ++end;
        if (end > kPicture.size() && end < entry.text.size() && entry.text[end] == ':') {
            entry.picture = entry.text.substr(kPicture.size(), end - kPicture.size());
            std::size_t caption = entry.text.find_first_not_of(' ', end + 1);
            entry.text = caption == std::string::npos ? "" : entry.text.substr(caption);
        }
    }
    return entry;
}

// The picture a timeline's number names: the one of that number, or else
// one of the same value ("7" for "07").
std::optional<std::string> find_picture(const std::string& number,
                                        const std::vector<std::string>& pictures) {
    if (std::find(pictures.begin(), pictures.end(), number) != pictures.end())
        return number;
    auto value = [](const std::string& digits) {
        std::size_t first = digits.find_first_not_of('0');
        return first == std::string::npos ? std::string("0") : digits.substr(first);
    };
    for (const std::string& picture : pictures) {
        if (!picture.empty() && std::all_of(picture.begin(), picture.end(), digit) &&
            value(picture) == value(number))
            return picture;
    }
    return std::nullopt;
}

std::string figure(const std::string& number, const std::string& caption, bool present) {
    std::string file = "pictures/" + number + ".png";
    if (!present) {
        return "<figure><p class=\"missing\">picture " + html_escaped(number) +
               " is missing</p><figcaption>" + html_escaped(caption) + "</figcaption></figure>";
    }
    return "<figure><a href=\"" + html_escaped(file) + "\"><img src=\"" + html_escaped(file) +
           "\" alt=\"" + html_escaped(caption) + "\"></a><figcaption>" + html_escaped(caption) +
           "</figcaption></figure>";
}

}  // namespace

std::string html_escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string demo_page(const std::vector<std::string>& timeline,
                      const std::vector<std::string>& pictures) {
    std::set<std::string> shown;
    std::string page = kHead;
    page += "<ol>\n";
    for (const std::string& line : timeline) {
        if (line.empty())
            continue;
        Entry entry = entry_of(line);
        page += "<li><span class=\"time\">" + html_escaped(entry.time) + "</span>";
        if (entry.picture) {
            std::optional<std::string> picture = find_picture(*entry.picture, pictures);
            page += figure(picture.value_or(*entry.picture), entry.text, picture.has_value());
            if (picture)
                shown.insert(*picture);
        } else {
            page += html_escaped(entry.text);
        }
        page += "</li>\n";
    }
    page += "</ol>\n";
    bool heading = false;
    for (const std::string& number : pictures) {
        if (shown.count(number) != 0)
            continue;
        if (!heading) {
            page += "<h2>Pictures the timeline does not name</h2>\n";
            heading = true;
        }
        page += figure(number, "picture " + number, true) + "\n";
    }
    page += "</body>\n</html>\n";
    return page;
}

}  // namespace pictures
