#include "hostsim/snapshot.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "hostsim/timeline.h"

namespace hostsim {
namespace {

constexpr int kScreenDecimals = 4;  // menu rows sit 0.035 apart

std::string escaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

// Builds one record: the keyword, then fields each after one space.
class Record {
  public:
    explicit Record(const char* keyword) : line_(keyword) {}
    Record& number(float value, int decimals = 2) { return field(format_float(value, decimals)); }
    Record& screen(float value) { return number(value, kScreenDecimals); }
    Record& integer(std::int64_t value) { return field(std::to_string(value)); }
    Record& point(Vec3 at) { return number(at.x).number(at.y).number(at.z); }
    Record& colour(const Colour& colour) {
        for (std::int32_t part : colour)
            integer(part);
        return *this;
    }
    Record& text(const std::string& value) { return field(escaped(value)); }
    std::string line() const { return line_; }

  private:
    Record& field(const std::string& value) {
        line_ += ' ';
        line_ += value;
        return *this;
    }
    std::string line_;
};

// The lines of a file, split at line feeds; none when it cannot be read.
std::optional<std::vector<std::string>> file_lines(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof(buffer)) || in.gcount() > 0)
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void add_screen(std::vector<std::string>& lines, const DrawRecord& draws) {
    for (const DrawItem& item : draws) {
        switch (item.kind) {
            case DrawKind::text:
                lines.push_back(Record("text")
                                    .screen(item.x)
                                    .screen(item.y)
                                    .screen(item.width)
                                    .screen(item.height)
                                    .colour(item.colour)
                                    .text(item.text)
                                    .line());
                break;
            case DrawKind::rectangle:
                lines.push_back(Record("rectangle")
                                    .screen(item.x)
                                    .screen(item.y)
                                    .screen(item.width)
                                    .screen(item.height)
                                    .colour(item.colour)
                                    .line());
                break;
            case DrawKind::circle:
                lines.push_back(Record("circle")
                                    .point({item.x, item.y, item.z})
                                    .number(item.width)
                                    .colour(item.colour)
                                    .line());
                break;
            case DrawKind::marker:
                lines.push_back(Record("marker")
                                    .point({item.x, item.y, item.z})
                                    .number(item.width)
                                    .number(item.height)
                                    .colour(item.colour)
                                    .line());
                break;
        }
    }
}

void add_people_and_vehicles(std::vector<std::string>& lines, const World& world) {
    const Character& player = world.player();
    lines.push_back(Record("player")
                        .point(player.object.position())
                        .number(player.object.heading())
                        .integer(player.vehicle)
                        .integer(player.vehicle != 0 ? player.seat : kDriverSeat)
                        .line());
    for (const auto& [handle, car] : world.vehicles()) {
        std::string name = "car";
        for (const VehicleModel& known : vehicle_models()) {
            if (known.id == car.model)
                name = known.name;
        }
        lines.push_back(Record("vehicle")
                            .integer(handle)
                            .integer(car.model)
                            .point(car.object.position())
                            .number(car.object.heading())
                            .integer(car.driver)
                            .text(name)
                            .line());
    }
    for (const auto& [handle, person] : world.characters()) {
        if (handle == world.player_character())
            continue;
        lines.push_back(Record("character")
                            .integer(handle)
                            .integer(person.model)
                            .point(person.object.position())
                            .number(person.object.heading())
                            .integer(person.vehicle)
                            .integer(person.dead ? 1 : 0)
                            .line());
    }
}

// Where a blip stands: on the one it follows, or where it was made.
Vec3 blip_position(const World& world, const Blip& blip) {
    if (const Character* person = world.character(blip.entity))
        return person->object.position();
    if (const Vehicle* car = world.vehicle(blip.entity))
        return car->object.position();
    return blip.position;
}

void add_blips(std::vector<std::string>& lines, const World& world) {
    for (const auto& [handle, blip] : world.blips()) {
        lines.push_back(Record("blip")
                            .integer(handle)
                            .point(blip_position(world, blip))
                            .integer(blip.entity)
                            .integer(blip.sprite)
                            .integer(blip.colour)
                            .number(blip.scale)
                            .integer(blip.alpha)
                            .integer(blip.short_range ? 1 : 0)
                            .text(blip.name)
                            .line());
    }
}

void add_file(std::vector<std::string>& lines, const std::string& data_folder,
              const std::string& name) {
    std::optional<std::vector<std::string>> contents = file_lines(data_folder + "/" + name);
    if (!contents)
        return;
    lines.push_back(Record("file").text(name).line());
    for (const std::string& line : *contents)
        lines.push_back("> " + escaped(line));
}

}  // namespace

const std::vector<std::string>& snapshot_data_files() {
    static const std::vector<std::string> kFiles = {
        "bus_stops.csv",        "boat_stops.csv",       "ship_stops.csv",
        "service_stations.csv", "pub_parking_lots.csv", "house_db.csv",
    };
    return kFiles;
}

bool write_snapshot(const World& world, const std::string& data_folder, const std::string& path) {
    std::vector<std::string> lines = {"# Corvalen stand-in snapshot"};
    lines.push_back(Record("frame").integer(world.frame()).line());
    ClockReading clock = world.clock();
    lines.push_back(Record("clock")
                        .integer(clock.hour)
                        .integer(clock.minute)
                        .integer(clock.second)
                        .integer(clock.day)
                        .integer(clock.month)
                        .integer(clock.day_count)
                        .line());
    lines.push_back(Record("cash").number(world.cash()).line());
    std::int32_t save = world.int_stat(kSaveIdentityStat);
    lines.push_back(Record("save").integer(save).line());

    MapLand land = map_land();
    lines.push_back(Record("land").number(land.west).number(land.east).number(land.north).line());
    for (const MapStreet& street : map_streets()) {
        lines.push_back(Record("street")
                            .number(street.min_x)
                            .number(street.min_y)
                            .number(street.max_x)
                            .number(street.max_y)
                            .text(street.name)
                            .line());
    }
    add_people_and_vehicles(lines, world);
    add_blips(lines, world);
    add_screen(lines, world.last_frame_draws());
    for (const std::string& name : snapshot_data_files())
        add_file(lines, data_folder, name);
    add_file(lines, data_folder, std::to_string(save) + "/player_houses_db.dat");
    return write_lines(path, lines);
}

}  // namespace hostsim
