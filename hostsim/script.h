#pragma once
// Scenario scripts: a small text format a modder reads and writes, one action
// per line, that sets up a game and plays the player's part in it (README.md,
// "Scenario scripts", describes every action). Parsing never throws; every
// bad line is reported as "FILE:LINE: what is wrong".

#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/entities.h"

namespace hostsim {

enum class Verb {
    // setting up the world
    copy,       // copy FOLDER: its files into the data folder
    write,      // write PATH "TEXT"
    cash,       // cash AMOUNT
    clock,      // clock HH:MM
    time_zone,  // time-zone ZONE
    car,        // car MODEL at X Y [Z] [heading H] [fuel PERCENT] [condition N]
    person,     // person at X Y [Z]
    player_at,  // player at X Y [Z]
    // the player's part
    press,      // press KEY
    hold,       // hold KEY
    release,    // release KEY
    walk,       // walk to X Y [Z] [at SPEED]
    drive,      // drive to X Y [Z] [at SPEED]
    get_in,     // get in [MODEL]
    get_out,    // get out
    wait,       // wait DURATION
    wait_for,   // wait for "TEXT" | MODEL [within M] | player at X Y [within M] [up to DURATION]
    pass_game,  // pass game DURATION
    pass_wall,  // pass wall DURATION
    save,       // save
    load,       // load [SLOT]
    note,       // note "TEXT"
    // expectations and pictures
    expect_text,     // expect text "TEXT"
    expect_no_text,  // expect no text "TEXT"
    expect_cash,     // expect cash CHANGE
    expect_file,     // expect file PATH [has|is|matches "TEXT"]
    expect_no_file,  // expect no file PATH
    expect_player,   // expect player at X Y [Z] [within METRES]
    picture,         // picture "CAPTION"
};

enum class FileCheck { exists, has, is, matches };

struct Action {
    Verb verb = Verb::note;
    int line = 0;
    std::string text;     // the quoted text, a path or a time zone
    std::string pattern;  // expect file: what to look for
    FileCheck check = FileCheck::exists;
    Vec3 point;
    bool has_z = false;  // a point without height stands on the ground
    float heading = 0.0f;
    float speed = 0.0f;       // walk and drive; 0 for the usual pace
    std::int32_t amount = 0;  // cash, cash change, load slot, clock hour and minute
    std::int32_t minute = 0;
    std::uint32_t ms = 0;      // durations
    std::uint32_t frames = 0;  // "wait N frames"
    std::uint8_t key = 0;
    std::uint32_t model = 0;         // car, get in and wait for; 0: any
    std::int32_t fuel_percent = -1;  // car: the fill it was last left with; -1 as the game has it
    float condition = -1.0f;         // car: body and engine, 0 to 1000; -1 sound
    float within = 0.0f;             // wait for a vehicle or the player: this near
    bool player_at_point = false;    // wait for the player (in whatever) near `point`
};

struct Script {
    std::string file;    // as named in error messages
    std::string folder;  // where relative paths of copy start
    std::vector<Action> actions;
    std::vector<std::string> errors;  // "FILE:LINE: message", one per bad line
};

// Parses the text of a script; `file` names it in errors and `folder` is
// where its relative folders start.
Script parse_script(const std::string& text, const std::string& file, const std::string& folder);

// Reads and parses a script file; a file that cannot be read is one error.
Script read_script(const std::string& path);

// A key's DirectInput scan code by name ("F12", "NUMPAD5", "ENTER", "B",
// "0x30"); false for a name no key has.
bool scan_code_of(const std::string& name, std::uint8_t& code);
// The name of a scan code ("NUMPAD5"), or its number in hex.
std::string key_name(std::uint8_t code);

// A vehicle model by its name in scripts ("coupe", "water-taxi"); 0 for none.
std::uint32_t model_named(const std::string& name);
// The name a model goes by in the game ("Coupe"), or its number in hex.
std::string model_name(std::uint32_t model);

}  // namespace hostsim
