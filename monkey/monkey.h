#pragma once
// A player who does anything, at random: presses every key the plug-in
// reads, walks, drives, gets in and out of vehicles, dives into menus,
// saves, backs out of saves, loads, lets time jump, and between loads
// deletes, breaks or mends the data files. Seeded, so a run repeats exactly;
// every frame is audited.

#include <cstdint>
#include <deque>
#include <random>

#include "hostsim/host.h"
#include "monkey/audit.h"

namespace monkey {

struct Figures {
    std::uint64_t frames = 0;
    std::uint64_t keys = 0;
    std::uint64_t saves = 0;
    std::uint64_t saves_backed_out = 0;
    std::uint64_t loads = 0;
    std::uint64_t time_jumps = 0;
    std::uint64_t faults = 0;  // data files deleted, made unreadable or damaged
};

class Monkey {
  public:
    // With `journal_actions`, the last that many actions are printed when the
    // audit first finds something, with what the world's journal
    // holds of their frames: the way to a finding, replayed from the seed.
    Monkey(hostsim::Host& host, Audit& audit, std::uint32_t seed, std::uint64_t frames,
           std::size_t journal_actions = 0);

    // Plays until the frames are used up.
    void play();
    const Figures& figures() const { return figures_; }

  private:
    struct Action {
        const char* name;
        int weight;
        void (Monkey::*act)();
    };
    struct Done {
        std::uint32_t frame;  // the world's, at which the action began
        const char* name;
    };
    static const std::vector<Action>& actions();

    // The actions, one each.
    void press_key();
    void press_with_modifier();
    void dive_into_menu();
    void walk();
    void visit_a_place();
    void shop_for_a_house();
    void service_a_car();
    void drive_the_bus();
    void get_in();
    void get_out();
    void drive();
    void idle();
    void save();
    void back_out_of_save();
    void load();
    void jump_in_time();
    void stir_the_crowd();
    void make_trouble();

    // Between loads.
    void break_data_file();
    void mend_data_files();

    // Walks there (getting out of a vehicle first), however long it takes.
    void go_to(hostsim::Vec3 place);
    void drive_to(hostsim::Vec3 place);  // while at the wheel
    void press_enter_there();
    // Runs frames (fewer when the run ends), each audited.
    void step(int frames = 1);
    void remember(const Action& action);
    void show_journal_at_first_failure();
    void press(std::uint8_t scan_code, int frames);
    bool done() const { return figures_.frames >= frame_limit_; }
    int roll(int low, int high);
    std::size_t pick(std::uintmax_t count);  // an index below a count that is not 0
    bool chance(int one_in) { return roll(1, one_in) == 1; }
    hostsim::Vec3 somewhere();  // near one of the town's places
    bool driving() const;

    hostsim::Host& host_;
    hostsim::World& world_;
    Audit& audit_;
    std::mt19937 dice_;
    std::uint64_t frame_limit_;
    Figures figures_;
    std::size_t journal_actions_;
    std::deque<Done> journal_;
    bool journal_shown_ = false;
};

}  // namespace monkey
