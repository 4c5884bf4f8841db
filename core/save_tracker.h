#pragma once
// Ties the mod's data to the game save that is loaded. Each save carries a
// save identity (a positive number kept in a host statistic, so the host
// stores it in its own save game); the per-save data lives in a folder named
// after it. The tracker also holds the timers that decide between reloading
// and autosaving.

#include <cstdint>
#include <optional>
#include <string>

namespace corvalen {

class SaveTracker {
  public:
    static constexpr std::int32_t kSaveInterval = 12;       // wall-clock seconds between autosaves
    static constexpr std::uint32_t kTimeJumpLimit = 10000;  // game-timer ms of one plausible step
    // While no identity is free, wall-clock seconds before the data folder is
    // listed again.
    static constexpr std::int64_t kAllocationRetry = 5;

    SaveTracker() = default;
    // `folder` is the data folder; `game_timer` and `now` are the host game
    // timer and the wall clock at construction.
    SaveTracker(std::string folder, std::uint32_t game_timer, std::int64_t now);

    // A new identity, one above the largest number that the data folder's
    // entries are named after (directories of any name, files named by digits
    // only). Creates the data folder (one level) when it is missing. None when
    // the largest number leaves no identity above it, or when the folder of
    // the next number exists after all: an identity in use would mix two
    // saves' data.
    std::optional<std::int32_t> allocate_save_identity() const;
    // The identity for a game that has none. After a failed allocation the
    // data folder is listed again only once something may have freed a
    // number: a save or a load (`host_stopped_playing`), or a few seconds.
    std::optional<std::int32_t> identity_for_new_game(std::int64_t now, bool host_stopped_playing);

    std::int32_t save_identity = 0;
    std::uint32_t last_game_timer = 0;
    bool last_not_playing = false;  // the host's state in the last tick
    bool started = false;
    bool reload_needed = false;
    bool save_due = false;
    std::int64_t next_save_time = kSaveInterval;
    std::int32_t save_interval = kSaveInterval;
    std::string folder = ".";
    std::int64_t next_allocation_time = 0;  // wall-clock seconds; 0: at once
};

// The number an entry of the data folder stands for: atoi of its name, for a
// directory whatever its name, for anything else only when the name is all
// digits (0 otherwise, which never raises the maximum).
std::int32_t identity_of_entry(const std::string& name, bool is_directory);

}  // namespace corvalen
