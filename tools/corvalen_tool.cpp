// corvalen-tool: a modder's help with a data folder, without the game.
//
//   corvalen-tool check [DATA_FOLDER]
//       reads every data file with the plug-in's own readers and prints, with
//       file and line, what the plug-in would skip, drop or not use as meant.
//       Exit status 0 when nothing was found, 1 when something was, 2 when the
//       folder cannot be read or the command line is wrong.
//   corvalen-tool map [DATA_FOLDER] -o FILE.png [--save ID]
//       draws the folder's networks, stations, car parks and properties (the
//       houses save ID owns apart). Exit status 0 when the picture was
//       written, 1 when it was not, 2 as above.
//
// DATA_FOLDER is ./corvalen when not given.

#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "core/data_folder.h"
#include "pictures/folder_map.h"
#include "pictures/font.h"
#include "pictures/map_data.h"
#include "pictures/png.h"
#include "tools/check/folder_check.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFound = 1;
constexpr int kCannotRead = 2;
constexpr int kMapWidth = 1600;
constexpr int kMapHeight = 1000;

const char* const kUsage =
    "usage: corvalen-tool check [DATA_FOLDER]\n"
    "       corvalen-tool map [DATA_FOLDER] -o FILE.png [--save ID]\n"
    "DATA_FOLDER is ./corvalen when not given.\n";

struct Command {
    std::string name;
    std::string folder = corvalen::kDataFolder;
    std::string picture;
    std::string save;
};

std::optional<Command> read_command(const std::vector<std::string>& arguments) {
    if (arguments.empty())
        return std::nullopt;
    Command command;
    command.name = arguments[0];
    bool folder_given = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        bool has_value = i + 1 < arguments.size();
        if (command.name == "map" && argument == "-o" && has_value) {
            command.picture = arguments[++i];
        } else if (command.name == "map" && argument == "--save" && has_value) {
            command.save = arguments[++i];
        } else if (!folder_given && !argument.empty() && argument[0] != '-') {
            command.folder = argument;
            folder_given = true;
        } else {
            return std::nullopt;
        }
    }
    if (command.name == "map" && command.picture.empty())
        return std::nullopt;
    if (command.name != "map" && command.name != "check")
        return std::nullopt;
    return command;
}

int check_command(const Command& command) {
    std::optional<check::Findings> findings = check::check_folder(command.folder);
    if (!findings) {
        std::cerr << "corvalen-tool: cannot read the data folder " << command.folder << "\n";
        return kCannotRead;
    }
    for (const check::Finding& finding : *findings)
        std::cout << check::describe(finding) << "\n";
    std::cout << command.folder << ": " << findings->size()
              << (findings->size() == 1 ? " finding\n" : " findings\n");
    return findings->empty() ? 0 : kFound;
}

int map_command(const Command& command, const std::string& program) {
    std::error_code error;
    if (!fs::is_directory(command.folder, error)) {
        std::cerr << "corvalen-tool: cannot read the data folder " << command.folder << "\n";
        return kCannotRead;
    }
    std::string font_path = pictures::Font::default_path(program);
    std::optional<pictures::Font> font = pictures::Font::load(font_path);
    if (!font) {
        std::cerr << "corvalen-tool: cannot read the font " << font_path << "\n";
        return kFound;
    }
    pictures::MapData map =
        pictures::read_map_data(pictures::folder_files(command.folder), command.save);
    pictures::Canvas canvas = pictures::draw_folder_map(map, *font, kMapWidth, kMapHeight);
    if (!pictures::write_png(canvas, command.picture)) {
        std::cerr << "corvalen-tool: cannot write " << command.picture << "\n";
        return kFound;
    }
    std::cout << "corvalen-tool: the map of " << command.folder << " is in " << command.picture
              << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        std::vector<std::string> arguments(argv + 1, argv + argc);
        std::optional<Command> command = read_command(arguments);
        if (!command) {
            std::cerr << kUsage;
            return kCannotRead;
        }
        if (command->name == "check")
            return check_command(*command);
        return map_command(*command, argc > 0 ? argv[0] : "corvalen-tool");
    } catch (const std::exception& failure) {
        std::cerr << "corvalen-tool: " << failure.what() << "\n";
        return kCannotRead;
    }
}
