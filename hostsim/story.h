#pragma once
// The readable timeline of a scripted run, for a player rather than a
// developer: one line per thing worth telling, stamped with the game clock,
//   08:14  player presses B
//   08:14  bus fare  -$3
//   08:15  shows "$3 fare"
//   08:20  wrote corvalen/1/pub_parking_cars.csv: 1 car (Coupe on Harbour Road)
// What the player did comes from the script; what the plug-in showed (a text
// when it first appears, not every frame), charged, said and wrote comes from
// watching the world after every frame and the data folder now and then.

#include <cstdint>
#include <iosfwd>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "hostsim/draw_record.h"
#include "hostsim/entities.h"

namespace hostsim {

class World;

// Where a point is, for a reader: "Harbour Road (-60,35)", or just the
// numbers where the map names no street.
std::string place_name(const World& world, Vec3 point);

// "an Estate", "a Bus".
std::string with_article(const std::string& noun);

// What a data file holds, in a few words ("3 bus stops and 1 capture point,
// 3 links"), from its name and content.
std::string describe_data_file(const std::string& path, const std::string& content,
                               const World& world);

// A menu as drawn: its title, items, and the highlighted one (-1: none).
struct DrawnMenu {
    std::string title;
    std::vector<std::string> items;
    int highlighted = -1;
};

// The menus in a frame's drawing, found by their help lines.
std::vector<DrawnMenu> menus_in(const DrawRecord& draws);

// "fuel 4.80 L" and "fuel 3.90 L" are one text that changes: digits count
// as one shape, so a changing number is not told again every frame.
std::string text_shape(const std::string& text);

// What a money change was for, read from what was on screen around it;
// "cash" when nothing tells.
std::string charge_label(std::int32_t amount, const std::vector<std::string>& texts);

class Story {
  public:
    // Lines are also written to `echo` as they are told, when given.
    explicit Story(std::ostream* echo = nullptr) : echo_(echo) {}

    // A line stamped with the game clock now.
    void tell(const World& world, const std::string& text);
    // After each frame: what the world and the plug-in did in it.
    void watch_frame(const World& world);
    // What the world journalled up to now, and the vehicles and people in
    // it, are the script's own doing: not told.
    void skip_journal(const World& world);
    // The data files under `folder` created, changed or removed since the
    // last look, each with a line (none when `quietly`, for the script's
    // own writes).
    void look_at_files(const World& world, const std::string& folder, bool quietly = false);
    // Tells what is still waiting for the next frame.
    void finish(const World& world);

    const std::vector<std::string>& lines() const { return lines_; }

  private:
    struct PendingCharge {
        std::string stamp;
        std::int32_t amount;
        std::vector<std::string> texts;  // on screen the frame before, in, and after it
    };
    void add(const std::string& stamp, const std::string& text);
    void read_journal(const World& world);
    void watch_screen(const World& world);
    void watch_people_and_vehicles(const World& world);
    void tell_charges(const World& world);

    std::ostream* echo_;
    std::vector<std::string> lines_;
    std::size_t journal_seen_ = 0;
    std::size_t speeches_seen_ = 0;
    std::vector<std::string> last_texts_;
    std::set<std::string> last_shapes_;
    std::vector<DrawnMenu> last_menus_;
    std::vector<PendingCharge> pending_;
    std::set<std::int32_t> known_vehicles_;
    std::set<std::int32_t> known_people_;
    std::int32_t player_vehicle_ = 0;
    std::set<std::int32_t> riders_;             // the passengers of the player's vehicle
    std::map<std::string, std::string> files_;  // path -> content; folders hold ""
};

}  // namespace hostsim
