// Statistics, keys, the clock, and the game's saving.

#include "hostsim/native_table.h"
#include "hostsim/world.h"

namespace hostsim {

void add_game_natives(NativeTable& table) {
    table.add({0x48994D58, "int stat", 1,
               [](const NativeArgs& a) { a.result_int(a.world().int_stat(a.i(0))); }});
    table.add({0x1B64665B, "set int stat", 2,
               [](const NativeArgs& a) { a.world().set_int_stat(a.i(0), a.i(1)); }});
    table.add({0x1D801FC0, "float stat", 1,
               [](const NativeArgs& a) { a.result_float(a.world().float_stat(a.i(0))); }});
    table.add({0x5213511B, "set float stat", 2,
               [](const NativeArgs& a) { a.world().set_float_stat(a.i(0), a.f(1)); }});
    table.add({0x540D127D, "key pressed", 1,
               [](const NativeArgs& a) { a.result_bool(a.world().key_pressed(a.u(0))); }});
    table.add({0x5FA96262, "key held", 1,
               [](const NativeArgs& a) { a.result_bool(a.world().key_held(a.u(0))); }});
    table.add({0x384B3876, "clock", 2, [](const NativeArgs& a) {
                   ClockReading now = a.world().clock();
                   a.write_int(0, now.hour);
                   a.write_int(1, now.minute);
               }});
    table.add({0x2E5B068F, "date", 2, [](const NativeArgs& a) {
                   ClockReading now = a.world().clock();
                   a.write_int(0, now.day);
                   a.write_int(1, now.month);
               }});
    table.add({0x52100540, "set clock", 2,
               [](const NativeArgs& a) { a.world().set_clock(a.i(0), a.i(1)); }});
    // Told when a script moves the clock past midnight: the date moves on.
    table.add({0x79CF27AC, "next day", 0, [](const NativeArgs& a) {
                   a.world().advance_day();
                   ClockReading now = a.world().clock();
                   a.world().note("next day: " + std::to_string(now.day) + "/" +
                                  std::to_string(now.month) + ", day count " +
                                  std::to_string(now.day_count));
               }});
    table.add({0x34F9164D, "not playing", 0,
               [](const NativeArgs& a) { a.result_bool(a.world().non_playing()); }});
    table.add({0x78AC735F, "open save screen", 0,
               [](const NativeArgs& a) { a.world().open_save_screen(); }});
    table.add({0x2BC64736, "on a mission", 0,
               [](const NativeArgs& a) { a.result_bool(a.world().on_mission()); }});
}

}  // namespace hostsim
