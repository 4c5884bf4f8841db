#include "hostsim/story.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>

#include "hostsim/script.h"
#include "hostsim/world.h"

namespace hostsim {
namespace {

constexpr const char* kMenuHelp = "Up/Down NUMPAD to navigate";
constexpr const char* kMenuHelpLines[] = {"NUMPAD 5 to select", "NUMPAD 0 to go back"};
constexpr Colour kHighlight{0, 87, 233, 255};
constexpr float kItemX = 0.1f;
constexpr float kItemScale = 0.3f;
// Data files larger than this are not kept for comparison (a data folder
// holds small text files).
constexpr std::uintmax_t kLargestWatchedFile = 1 << 20;
// Metres within which a vehicle that turns up is worth a line.
constexpr float kInSight = 100.0f;

std::string stamp_of(const World& world) {
    ClockReading clock = world.clock();
    char text[8];
    std::snprintf(text, sizeof(text), "%02d:%02d", clock.hour, clock.minute);
    return text;
}

bool starts_with(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

bool near(float a, float b) {
    return std::fabs(a - b) < 0.0005f;
}

// The signed amount of a journal line "cash 5000.00 -> 4997.00 (-3)".
bool cash_change(const std::string& entry, std::int32_t& amount) {
    std::size_t open = entry.rfind('(');
    std::size_t close = entry.rfind(')');
    if (!starts_with(entry, "cash ") || open == std::string::npos || close != entry.size() - 1)
        return false;
    const char* begin = entry.data() + open + 1;
    if (*begin == '+')
        ++begin;
    auto [stop, error] = std::from_chars(begin, entry.data() + close, amount);
    return error == std::errc() && stop == entry.data() + close;
}

// The point of a journal line that ends in "(x,y,z)".
bool point_at_end(const std::string& entry, Vec3& point) {
    std::size_t open = entry.rfind('(');
    return open != std::string::npos &&
           std::sscanf(entry.c_str() + open, "(%f,%f,%f)", &point.x, &point.y, &point.z) == 3;
}

std::string money(std::int32_t amount) {
    std::string sign = amount < 0 ? "-" : "+";
    return sign + "$" + std::to_string(std::abs(static_cast<std::int64_t>(amount)));
}

std::string describe_menu(const DrawnMenu& menu) {
    std::string text = "menu " + quoted(menu.title) + ":";
    for (std::size_t i = 0; i < menu.items.size(); ++i) {
        bool lit = static_cast<int>(i) == menu.highlighted;
        text += (i == 0 ? " " : ", ") + (lit ? "[" + menu.items[i] + "]" : menu.items[i]);
    }
    return text;
}

const DrawnMenu* same_menu(const std::vector<DrawnMenu>& menus, const DrawnMenu& wanted) {
    for (const DrawnMenu& menu : menus) {
        if (menu.title == wanted.title && menu.items == wanted.items)
            return &menu;
    }
    return nullptr;
}

// A folder of backups ("corvalen/1.backup2") a path lies in; empty when none.
std::string backup_folder_of(const std::string& path) {
    std::size_t mark = path.find(".backup");
    if (mark == std::string::npos)
        return {};
    std::size_t end = path.find('/', mark);
    return path.substr(0, end);
}

std::map<std::string, std::string> read_folder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> found;
    std::error_code error;
    fs::recursive_directory_iterator entry(folder, error);
    for (; !error && entry != fs::recursive_directory_iterator(); entry.increment(error)) {
        std::error_code type_error;
        std::string path;
        try {
            path = entry->path().generic_string();
        } catch (...) {
            continue;  // a name the narrow text cannot hold
        }
        if (entry->is_directory(type_error)) {
            found[path + "/"] = "";
            continue;
        }
        std::uintmax_t size = entry->file_size(type_error);
        if (type_error || size > kLargestWatchedFile)
            continue;
        std::ifstream in(entry->path(), std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        found[path] = content.str();
    }
    return found;
}

}  // namespace

std::string with_article(const std::string& noun) {
    bool vowel = !noun.empty() && std::string("AEIOUaeiou").find(noun[0]) != std::string::npos;
    return (vowel ? "an " : "a ") + noun;
}

std::string place_name(const World& world, Vec3 point) {
    std::string numbers = "(" + format_float(point.x, 0) + "," + format_float(point.y, 0) + ")";
    const char* street = world.street_name(world.streets_at(point)[0]);
    return street != nullptr ? std::string(street) + " " + numbers : numbers;
}

std::string text_shape(const std::string& text) {
    std::string shape;
    for (char c : text) {
        bool digit = c >= '0' && c <= '9';
        if (!digit)
            shape += c;
        else if (shape.empty() || shape.back() != '#')
            shape += '#';
    }
    return shape;
}

std::vector<DrawnMenu> menus_in(const DrawRecord& draws) {
    std::vector<DrawnMenu> menus;
    for (std::size_t i = 0; i < draws.size(); ++i) {
        if (draws[i].kind != DrawKind::text || draws[i].text != kMenuHelp)
            continue;
        DrawnMenu menu;
        if (i > 0 && draws[i - 1].kind == DrawKind::text)
            menu.title = draws[i - 1].text;
        std::size_t next = i + 1;
        for (const char* help : kMenuHelpLines) {
            if (next < draws.size() && draws[next].text == help)
                ++next;
        }
        for (; next < draws.size(); ++next) {
            const DrawItem& item = draws[next];
            if (item.kind != DrawKind::text || !near(item.x, kItemX) ||
                !near(item.width, kItemScale))
                break;
            if (item.colour == kHighlight)
                menu.highlighted = static_cast<int>(menu.items.size());
            menu.items.push_back(item.text);
        }
        menus.push_back(std::move(menu));
    }
    return menus;
}

std::string charge_label(std::int32_t amount, const std::vector<std::string>& texts) {
    struct Label {
        const char* seen;
        const char* label;
    };
    static constexpr Label kLabels[] = {
        {" fare", "bus fare"},
        {"Fuel cost $", "fuel"},
        {"Car repaired $", "repair"},
        {"Got spare fuel", "spare fuel can"},
        {"Bought a molotov", "molotov"},
        {"Water on radiator", "radiator water"},
        {"Repairing tyres", "tyre repair"},
        {"buy this property", "house bought"},
        {"sell this property", "house sold"},
        {"stay in this hotel", "hotel night"},
    };
    for (const std::string& text : texts) {
        if (starts_with(text, "Ticket $")) {
            std::size_t dash = text.find(" - ");
            return dash == std::string::npos ? "parking ticket"
                                             : "parking ticket (" + text.substr(dash + 3) + ")";
        }
    }
    for (const Label& label : kLabels) {
        for (const std::string& text : texts) {
            if (contains(text, label.seen))
                return label.label;
        }
    }
    for (const std::string& text : texts) {
        if (amount > 0 && text == "Driver Mission")
            return "fares from passengers";
    }
    return "cash";
}

void Story::add(const std::string& stamp, const std::string& text) {
    lines_.push_back(stamp + "  " + text);
    if (echo_ != nullptr)
        *echo_ << lines_.back() << std::endl;
}

void Story::tell(const World& world, const std::string& text) {
    // A charge waiting for the next frame's notice is told before anything
    // that came after it.
    tell_charges(world);
    add(stamp_of(world), text);
    // Getting in and out by the script's hand is told by the script.
    if (world.player().vehicle != player_vehicle_) {
        player_vehicle_ = world.player().vehicle;
        riders_.clear();
        if (const Vehicle* car = world.vehicle(player_vehicle_)) {
            for (std::int32_t rider : car->passengers) {
                if (rider != 0)
                    riders_.insert(rider);
            }
        }
    }
}

void Story::skip_journal(const World& world) {
    journal_seen_ = world.journal().size();
    speeches_seen_ = world.speeches().size();
    known_vehicles_.clear();
    for (const auto& [handle, car] : world.vehicles())
        known_vehicles_.insert(handle);
    known_people_.clear();
    for (const auto& [handle, person] : world.characters())
        known_people_.insert(handle);
}

void Story::watch_frame(const World& world) {
    tell_charges(world);
    read_journal(world);
    watch_people_and_vehicles(world);
    // The save and load screens hide the game; what was on it before is
    // not news when it comes back.
    if (!world.non_playing())
        watch_screen(world);
}

void Story::tell_charges(const World& world) {
    std::vector<std::string> now = texts_of(world.last_frame_draws());
    for (PendingCharge& charge : pending_) {
        charge.texts.insert(charge.texts.end(), now.begin(), now.end());
        add(charge.stamp, charge_label(charge.amount, charge.texts) + "  " + money(charge.amount));
    }
    pending_.clear();
}

void Story::finish(const World& world) {
    tell_charges(world);
}

void Story::read_journal(const World& world) {
    const std::vector<JournalEntry>& journal = world.journal();
    std::string stamp = stamp_of(world);
    bool loaded = false;
    for (; journal_seen_ < journal.size(); ++journal_seen_) {
        const std::string& entry = journal[journal_seen_].text;
        std::int32_t amount = 0;
        Vec3 point;
        if (cash_change(entry, amount)) {
            PendingCharge charge{stamp, amount, last_texts_};
            std::vector<std::string> now = texts_of(world.last_frame_draws());
            charge.texts.insert(charge.texts.end(), now.begin(), now.end());
            pending_.push_back(std::move(charge));
        } else if (starts_with(entry, "game saved to slot")) {
            add(stamp, "game saved");
        } else if (starts_with(entry, "game loaded from slot")) {
            add(stamp, "game loaded");
            loaded = true;
        } else if (starts_with(entry, "save screen opened")) {
            add(stamp, "the save screen opens");
        } else if (starts_with(entry, "save screen closed")) {
            add(stamp, "the save screen closes without saving");
        } else if (starts_with(entry, "clock set to ")) {
            add(stamp, entry);
        } else if (starts_with(entry, "player moved to ") && point_at_end(entry, point)) {
            add(stamp, "player put at " + place_name(world, point));
        } else if (starts_with(entry, "error: ")) {
            add(stamp, "host error: " + entry.substr(7));
        }
    }
    if (loaded) {
        // The loaded game brings the game's own vehicles back; anything else
        // (a car re-created from a car file) is news.
        known_vehicles_.clear();
        for (const auto& [handle, car] : world.vehicles()) {
            if (car.from_world_start)
                known_vehicles_.insert(handle);
        }
        known_people_ = {world.player_character()};
    }
    const std::vector<Speech>& speeches = world.speeches();
    for (; speeches_seen_ < speeches.size(); ++speeches_seen_) {
        const Speech& speech = speeches[speeches_seen_];
        std::string who = "someone";
        if (speech.character == world.player_character()) {
            who = "the player";
        } else if (const Character* person = world.character(speech.character)) {
            const Vehicle* car = world.vehicle(person->vehicle);
            if (car != nullptr && car->driver == person->handle)
                who = "the " + model_name(car->model) + " driver";
        }
        add(stamp, who + " says " + quoted(speech.line));
    }
}

void Story::watch_people_and_vehicles(const World& world) {
    std::set<std::int32_t> vehicles;
    for (const auto& [handle, car] : world.vehicles()) {
        vehicles.insert(handle);
        // Service vehicles come and go all around; those that turn up near
        // the player are the ones he would see.
        bool near_player =
            horizontal_distance(car.object.position(), world.player_position()) <= kInSight;
        if (known_vehicles_.count(handle) == 0 && near_player)
            add(stamp_of(world), with_article(model_name(car.model)) + " appears at " +
                                     place_name(world, car.object.position()));
    }
    std::set<std::int32_t> people;
    for (const auto& [handle, person] : world.characters()) {
        people.insert(handle);
        // Drivers come with their vehicles, and the people about the streets
        // are always there; someone who arrives on foot is news.
        if (known_people_.count(handle) == 0 && person.vehicle == 0 && !person.pedestrian)
            add(stamp_of(world),
                "someone comes up at " + place_name(world, person.object.position()));
    }
    known_vehicles_ = std::move(vehicles);
    known_people_ = std::move(people);
    // The plug-in seats the player (a bus passenger) and tells him to leave.
    std::int32_t now = world.player().vehicle;
    bool changed = now != player_vehicle_;
    if (changed) {
        const Vehicle* left = world.vehicle(player_vehicle_);
        const Vehicle* entered = world.vehicle(now);
        if (left != nullptr)
            add(stamp_of(world), "player gets off the " + model_name(left->model) + " at " +
                                     place_name(world, world.player_position()));
        if (entered != nullptr)
            add(stamp_of(world), "player boards the " + model_name(entered->model) + " at " +
                                     place_name(world, world.player_position()));
        player_vehicle_ = now;
    }
    // People getting on and off the vehicle the player rides or drives.
    std::set<std::int32_t> riders;
    if (const Vehicle* car = world.vehicle(now)) {
        for (std::int32_t rider : car->passengers) {
            if (rider != 0 && rider != world.player_character())
                riders.insert(rider);
        }
    }
    if (!changed) {
        for (std::int32_t rider : riders) {
            if (riders_.count(rider) == 0)
                add(stamp_of(world), "someone gets on");
        }
        for (std::int32_t rider : riders_) {
            if (riders.count(rider) == 0)
                add(stamp_of(world), "someone gets off");
        }
    }
    riders_ = std::move(riders);
}

void Story::watch_screen(const World& world) {
    const DrawRecord& draws = world.last_frame_draws();
    std::vector<DrawnMenu> menus = menus_in(draws);
    for (const DrawnMenu& menu : last_menus_) {
        bool kept = false;
        for (const DrawnMenu& still : menus)
            kept = kept || still.title == menu.title;
        if (!kept)
            add(stamp_of(world), "menu " + quoted(menu.title) + " closes");
    }
    std::set<std::string> in_menus;
    for (const DrawnMenu& menu : menus) {
        in_menus.insert(menu.title);
        in_menus.insert(kMenuHelp);
        for (const char* help : kMenuHelpLines)
            in_menus.insert(help);
        in_menus.insert(menu.items.begin(), menu.items.end());
        const DrawnMenu* before = same_menu(last_menus_, menu);
        if (before == nullptr) {
            add(stamp_of(world), describe_menu(menu));
        } else if (before->highlighted != menu.highlighted && menu.highlighted >= 0) {
            add(stamp_of(world),
                "highlights " + quoted(menu.items[static_cast<std::size_t>(menu.highlighted)]) +
                    " in " + quoted(menu.title));
        }
    }
    std::vector<std::string> texts = texts_of(draws);
    std::set<std::string> shapes;
    std::string shown;
    for (const std::string& text : texts) {
        std::string shape = text_shape(text);
        bool fresh =
            in_menus.count(text) == 0 && last_shapes_.count(shape) == 0 && shapes.count(shape) == 0;
        shapes.insert(shape);
        if (fresh)
            shown += (shown.empty() ? "shows " : ", ") + quoted(text);
    }
    if (!shown.empty())
        add(stamp_of(world), shown);
    last_texts_ = std::move(texts);
    last_shapes_ = std::move(shapes);
    last_menus_ = std::move(menus);
}

void Story::look_at_files(const World& world, const std::string& folder, bool quietly) {
    std::map<std::string, std::string> now = read_folder(folder);
    if (quietly) {
        files_ = std::move(now);
        return;
    }
    std::map<std::string, int> backed_up;
    for (const auto& [path, content] : files_) {
        if (now.count(path) == 0 && backup_folder_of(path).empty())
            add(stamp_of(world), "removed " + path);
    }
    for (const auto& [path, content] : now) {
        auto before = files_.find(path);
        if (before != files_.end() && before->second == content)
            continue;
        std::string backup = backup_folder_of(path);
        if (!backup.empty()) {
            if (path.back() != '/')
                ++backed_up[backup];
        } else if (path.back() == '/') {
            add(stamp_of(world), "made folder " + path.substr(0, path.size() - 1));
        } else {
            add(stamp_of(world), "wrote " + path + ": " + describe_data_file(path, content, world));
        }
    }
    for (const auto& [backup, count] : backed_up) {
        add(stamp_of(world), "backed up " + backup.substr(0, backup.find(".backup")) + " into " +
                                 backup + " (" + std::to_string(count) +
                                 (count == 1 ? " file)" : " files)"));
    }
    files_ = std::move(now);
}

}  // namespace hostsim
