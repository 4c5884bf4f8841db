#pragma once
// A snapshot of the game as the player sees it at the end of a frame, for
// pictures of the run: what the frame drew, the clock, the cash, the player,
// vehicles, characters, blips, the lie of the land and the mod's global data
// files as they are at that moment (a stop added later is not in it).
//
// Text, one record a line, fields separated by one space; numbers as the
// timeline writes them (two decimals, four for screen fractions), handles and
// models as decimal integers; a free text comes last and runs to the line's
// end, with "\" written "\\", a line feed "\n" and a carriage return "\r".
//
//   # Corvalen stand-in snapshot
//   frame N
//   clock HOUR MINUTE SECOND DAY MONTH DAY_COUNT
//   cash AMOUNT
//   save SAVE_IDENTITY
//   land WEST EAST NORTH                  land between the two x, south of y
//   street MIN_X MIN_Y MAX_X MAX_Y NAME
//   player X Y Z HEADING VEHICLE SEAT     vehicle 0 on foot; seat -1 drives
//   vehicle HANDLE MODEL X Y Z HEADING DRIVER MODEL_NAME
//   character HANDLE MODEL X Y Z HEADING VEHICLE DEAD
//   blip HANDLE X Y Z ENTITY SPRITE COLOUR SCALE ALPHA SHORT_RANGE NAME
//   text X Y SCALE_X SCALE_Y RED GREEN BLUE ALPHA TEXT
//   rectangle X Y WIDTH HEIGHT RED GREEN BLUE ALPHA   centre and size
//   circle X Y Z DIAMETER RED GREEN BLUE ALPHA
//   marker X Y Z A B RED GREEN BLUE ALPHA
//   file NAME                             a data file; its lines follow,
//   > LINE                                each after "> "
//
// Screen records (text to marker) keep the frame's drawing order. A blip on
// a character or vehicle stands where that one stands. Data files are named
// relative to the data folder; the current save's owned-houses file is among
// them as "SAVE_IDENTITY/player_houses_db.dat".

#include <string>

#include "hostsim/world.h"

namespace hostsim {

// Writes the snapshot to `path`, replacing any file there whole; false when it
// could not be written. A data file that is missing or unreadable is left out.
bool write_snapshot(const World& world, const std::string& data_folder, const std::string& path);

// The global data files a snapshot carries, by name in the data folder.
const std::vector<std::string>& snapshot_data_files();

}  // namespace hostsim
