#include "pictures/snapshot_reader.h"

#include "core/text_number.h"
#include "pictures/file_bytes.h"

namespace pictures {
namespace {

std::string unescaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[i + 1];
        if (next == '\\' || next == 'n' || next == 'r') {
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : '\\';
            ++i;
        } else {
            out += '\\';
        }
    }
    return out;
}

// The fields of a record, one after another, then the free text at its end.
class Fields {
  public:
    explicit Fields(std::string_view text) : rest_(text) {}
    std::string_view next() {
        std::size_t space = rest_.find(' ');
        std::string_view field = rest_.substr(0, space);
        rest_ = space == std::string_view::npos ? std::string_view() : rest_.substr(space + 1);
        return field;
    }
    std::string text() const { return unescaped(rest_); }

  private:
    std::string_view rest_;
};

bool read(Fields& fields, float& value) {
    std::optional<float> read = corvalen::float_field(fields.next());
    value = read.value_or(0.0f);
    return read.has_value();
}
bool read(Fields& fields, std::int32_t& value) {
    std::optional<std::int32_t> read = corvalen::int_field(fields.next());
    value = read.value_or(0);
    return read.has_value();
}
bool read(Fields& fields, std::uint32_t& value) {
    std::optional<std::uint32_t> read = corvalen::unsigned_field(fields.next());
    value = read.value_or(0);
    return read.has_value();
}
bool read(Fields& fields, std::int64_t& value) {
    std::optional<std::int64_t> read = corvalen::int64_field(fields.next());
    value = read.value_or(0);
    return read.has_value();
}
bool read(Fields& fields, bool& value) {
    std::int32_t number = 0;
    bool ok = read(fields, number);
    value = number != 0;
    return ok;
}
bool read(Fields& fields, Rgba& colour) {
    std::int32_t part[4] = {};
    bool ok = read(fields, part[0]) && read(fields, part[1]) && read(fields, part[2]) &&
              read(fields, part[3]);
    colour = game_colour(part[0], part[1], part[2], part[3]);
    return ok;
}

template <class... Values>
bool read_all(Fields& fields, Values&... values) {
    return (read(fields, values) && ...);
}

void read_screen_item(Snapshot& snapshot, std::string_view keyword, Fields& fields) {
    ScreenItem item;
    bool ok = false;
    if (keyword == "text") {
        ok = read_all(fields, item.x, item.y, item.width, item.height, item.colour);
        item.text = fields.text();
    } else if (keyword == "rectangle") {
        item.kind = ScreenItem::Kind::rectangle;
        ok = read_all(fields, item.x, item.y, item.width, item.height, item.colour);
    } else if (keyword == "circle") {
        item.kind = ScreenItem::Kind::circle;
        ok = read_all(fields, item.x, item.y, item.z, item.width, item.colour);
    } else if (keyword == "marker") {
        item.kind = ScreenItem::Kind::marker;
        ok = read_all(fields, item.x, item.y, item.z, item.width, item.height, item.colour);
    }
    if (ok)
        snapshot.screen.push_back(std::move(item));
}

// One record; false when it was none the snapshot knows.
bool read_world_record(Snapshot& snapshot, std::string_view keyword, Fields& fields) {
    Snapshot& s = snapshot;
    if (keyword == "frame") {
        read_all(fields, s.frame);
    } else if (keyword == "clock") {
        std::int32_t time[5] = {};
        if (read_all(fields, time[0], time[1], time[2], time[3], time[4], s.day_count)) {
            s.hour = time[0];
            s.minute = time[1];
            s.second = time[2];
            s.day = time[3];
            s.month = time[4];
        }
    } else if (keyword == "cash") {
        read_all(fields, s.cash);
    } else if (keyword == "save") {
        read_all(fields, s.save);
    } else if (keyword == "land") {
        Land land;
        if (read_all(fields, land.west, land.east, land.north))
            s.land = land;
    } else if (keyword == "street") {
        Street street;
        Bounds& a = street.area;
        if (read_all(fields, a.min_x, a.min_y, a.max_x, a.max_y)) {
            street.name = fields.text();
            s.streets.push_back(street);
        }
    } else if (keyword == "player") {
        PlayerState p;
        if (read_all(fields, p.x, p.y, p.z, p.heading, p.vehicle, p.seat))
            s.player = p;
    } else if (keyword == "vehicle") {
        VehicleState v;
        if (read_all(fields, v.handle, v.model, v.x, v.y, v.z, v.heading, v.driver)) {
            v.model_name = fields.text();
            s.vehicles.push_back(v);
        }
    } else if (keyword == "character") {
        CharacterState c;
        if (read_all(fields, c.handle, c.model, c.x, c.y, c.z, c.heading, c.vehicle, c.dead))
            s.characters.push_back(c);
    } else if (keyword == "blip") {
        BlipState b;
        if (read_all(fields, b.handle, b.x, b.y, b.z, b.entity, b.sprite, b.colour, b.scale,
                     b.alpha, b.short_range)) {
            b.name = fields.text();
            s.blips.push_back(b);
        }
    } else {
        return false;
    }
    return true;
}

}  // namespace

Snapshot parse_snapshot(std::string_view text) {
    Snapshot snapshot;
    std::vector<std::string>* file = nullptr;  // the data file whose lines follow
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);

        if (line.substr(0, 1) == ">") {
            if (file != nullptr)
                file->push_back(unescaped(line.substr(line.substr(0, 2) == "> " ? 2 : 1)));
            continue;
        }
        file = nullptr;
        Fields fields(line);
        std::string_view keyword = fields.next();
        if (keyword == "file") {
            file = &snapshot.files[fields.text()];
            file->clear();
        } else if (!read_world_record(snapshot, keyword, fields)) {
            read_screen_item(snapshot, keyword, fields);
        }
    }
    return snapshot;
}

std::optional<Snapshot> read_snapshot(const std::string& path) {
    std::optional<std::string> text = read_file(path);
    if (!text)
        return std::nullopt;
    return parse_snapshot(*text);
}

}  // namespace pictures
