#pragma once
// A frame the stand-in host kept for pictures (hostsim/snapshot.h describes
// the file): what was drawn, who stood where, and the data files of that
// moment.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pictures/canvas.h"
#include "pictures/view.h"

namespace pictures {

struct ScreenItem {
    enum class Kind { text, rectangle, circle, marker };
    Kind kind = Kind::text;
    // Screen fractions for texts (top left) and rectangles (centre); world
    // metres for circles and markers.
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    // Text: its scale; rectangle: its size; circle: the diameter in width;
    // marker: its two further values.
    float width = 0.0f;
    float height = 0.0f;
    Rgba colour;
    std::string text;
};

struct Street {
    Bounds area;
    std::string name;
};

// Land lies between west and east, south of north; the rest is sea.
struct Land {
    float west = 0.0f;
    float east = 0.0f;
    float north = 0.0f;
};

struct PlayerState {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float heading = 0.0f;      // degrees, counter-clockwise from north
    std::int32_t vehicle = 0;  // 0 on foot
    std::int32_t seat = -1;    // -1 at the wheel
};

struct VehicleState {
    std::int32_t handle = 0;
    std::uint32_t model = 0;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float heading = 0.0f;
    std::int32_t driver = 0;
    std::string model_name;
};

struct CharacterState {
    std::int32_t handle = 0;
    std::uint32_t model = 0;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float heading = 0.0f;
    std::int32_t vehicle = 0;
    bool dead = false;
};

struct BlipState {
    std::int32_t handle = 0;
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    std::int32_t entity = 0;
    std::int32_t sprite = 0;
    std::int32_t colour = 0;
    float scale = 1.0f;
    std::int32_t alpha = 255;
    bool short_range = false;
    std::string name;
};

struct Snapshot {
    std::int64_t frame = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int day = 1;
    int month = 1;
    std::int32_t day_count = 0;
    float cash = 0.0f;
    std::int32_t save = 0;
    std::optional<Land> land;
    std::vector<Street> streets;
    PlayerState player;
    std::vector<VehicleState> vehicles;
    std::vector<CharacterState> characters;
    std::vector<BlipState> blips;
    std::vector<ScreenItem> screen;  // in drawing order
    // Data files by their name in the data folder, as lines.
    std::map<std::string, std::vector<std::string>> files;
};

// Reads a snapshot from its text; lines it does not understand (unknown,
// short, numbers that do not read) are skipped.
Snapshot parse_snapshot(std::string_view text);
// None when the file cannot be read.
std::optional<Snapshot> read_snapshot(const std::string& path);

}  // namespace pictures
