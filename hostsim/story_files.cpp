// What the mod's data files hold, in a few words for the readable timeline.

#include <charconv>
#include <filesystem>
#include <sstream>

#include "hostsim/script.h"
#include "hostsim/story.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

using Fields = std::vector<std::string>;

std::vector<Fields> rows_of(const std::string& content) {
    std::vector<Fields> rows;
    std::istringstream lines(content);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        Fields fields;
        std::size_t start = 0;
        for (std::size_t comma; (comma = line.find(',', start)) != std::string::npos;
             start = comma + 1)
            fields.push_back(line.substr(start, comma - start));
        if (start < line.size())
            fields.push_back(line.substr(start));
        rows.push_back(std::move(fields));
    }
    return rows;
}

template <class Number>
bool read_number(const std::string& text, Number& value) {
    auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && stop != text.data();
}

std::string count_of(int count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "2 gas stations, 1 repair shop" from counts per kind, leaving out kinds
// with none; `nothing` when every count is 0.
struct Kind {
    int number;
    const char* one;
    const char* many;
};
std::string counts_by_kind(const std::vector<Fields>& rows, std::size_t column,
                           const std::vector<Kind>& kinds, const char* nothing) {
    std::string text;
    int other = 0;
    std::vector<int> counts(kinds.size(), 0);
    for (const Fields& row : rows) {
        int kind = -1;
        if (row.size() <= column || !read_number(row[column], kind)) {
            continue;
        }
        bool known = false;
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            if (kinds[i].number == kind) {
                ++counts[i];
                known = true;
            }
        }
        other += known ? 0 : 1;
    }
    for (std::size_t i = 0; i < kinds.size(); ++i) {
        if (counts[i] > 0)
            text += (text.empty() ? "" : ", ") + count_of(counts[i], kinds[i].one, kinds[i].many);
    }
    if (other > 0)
        text += (text.empty() ? "" : ", ") + count_of(other, "other", "others");
    return text.empty() ? nothing : text;
}

std::string route_points(const std::vector<Fields>& rows, const char* service) {
    std::string stops = std::string(service) + " stop";
    std::string stops_many = stops + "s";
    std::string text = counts_by_kind(rows, 4,
                                      {{0, stops.c_str(), stops_many.c_str()},
                                       {1, "spawn spot", "spawn spots"},
                                       {2, "way point", "way points"},
                                       {3, "capture point", "capture points"}},
                                      "no points");
    int links = 0;
    for (const Fields& row : rows) {
        if (row.size() >= 8 && !(row[6] == "0" && row[7] == "0"))
            ++links;
    }
    return text + "; " + count_of(links, "link", "links");
}

std::string cars(const std::vector<Fields>& rows, const World& world) {
    if (rows.empty())
        return "no cars";
    std::string text = count_of(static_cast<int>(rows.size()), "car", "cars") + ": ";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Fields& row = rows[i];
        std::uint32_t model = 0;
        Vec3 at;
        std::string what = "?";
        if (row.size() >= 4 && read_number(row[0], model) && read_number(row[1], at.x) &&
            read_number(row[2], at.y) && read_number(row[3], at.z))
            what = model_name(model) + " at " + place_name(world, at);
        text += (i == 0 ? "" : "; ") + what;
    }
    return text;
}

std::string owned_houses(const std::vector<Fields>& rows) {
    if (rows.empty())
        return "no houses owned";
    std::string text = count_of(static_cast<int>(rows.size()), "house", "houses") + " owned: ";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::string key;
        for (const std::string& part : rows[i])
            key += (key.empty() ? "" : ",") + part;
        text += (i == 0 ? "" : "; ") + key;
    }
    return text;
}

}  // namespace

std::string describe_data_file(const std::string& path, const std::string& content,
                               const World& world) {
    std::string name;
    try {
        name = std::filesystem::path(path).filename().string();
    } catch (...) {
        return "?";
    }
    std::vector<Fields> rows = rows_of(content);
    if (name == "bus_stops.csv")
        return route_points(rows, "bus");
    if (name == "boat_stops.csv")
        return route_points(rows, "ferry");
    if (name == "ship_stops.csv")
        return route_points(rows, "ship");
    if (name == "service_stations.csv") {
        return counts_by_kind(
            rows, 4, {{1, "gas station", "gas stations"}, {2, "repair shop", "repair shops"}},
            "no stations");
    }
    if (name == "fuel_data.csv")
        return "tank and mileage of " + count_of(static_cast<int>(rows.size()), "model", "models");
    if (name == "pub_parking_lots.csv")
        return count_of(static_cast<int>(rows.size()), "parking lot", "parking lots");
    if (name == "house_db.csv") {
        return counts_by_kind(rows, 4,
                              {{1, "house", "houses"},
                               {2, "hotel", "hotels"},
                               {3, "estate office", "estate offices"}},
                              "no properties");
    }
    if (name == "player_houses_db.dat")
        return owned_houses(rows);
    if (name.size() > 9 && name.compare(name.size() - 9, 9, "_cars.csv") == 0)
        return cars(rows, world);
    if (name == "corvalen.conf") {
        int settings = 0;
        std::istringstream lines(content);
        for (std::string line; std::getline(lines, line);)
            settings += !line.empty() && line[0] != '#' && line.find('=') != std::string::npos;
        return count_of(settings, "setting", "settings");
    }
    return count_of(static_cast<int>(rows.size()), "line", "lines");
}

}  // namespace hostsim
