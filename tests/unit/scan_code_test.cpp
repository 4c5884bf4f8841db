// The keys the mod asks the game about, pinned to the DirectInput scan codes
// the game numbers them by: a key pressed in the stand-in host by its number
// must be the one the mod asks for by name.

#include <gtest/gtest.h>

#include <cstdint>

#include "game_frame.h"
#include "host/host_game.h"

namespace corvalen {
namespace {

using host::ScanCode;

TEST(ScanCodeTest, EachKeyIsTheGamesDirectInputCode) {
    const struct {
        ScanCode key;
        std::uint8_t direct_input;
        const char* name;
    } keys[] = {
        {ScanCode::Y, 0x15, "Y"},
        {ScanCode::Enter, 0x1C, "Enter"},
        {ScanCode::F, 0x21, "F"},
        {ScanCode::G, 0x22, "G"},
        {ScanCode::LeftShift, 0x2A, "Left Shift"},
        {ScanCode::X, 0x2D, "X"},
        {ScanCode::B, 0x30, "B"},
        {ScanCode::N, 0x31, "N"},
        {ScanCode::LeftAlt, 0x38, "Left Alt"},
        {ScanCode::Numpad8, 0x48, "NUMPAD 8"},
        {ScanCode::Numpad4, 0x4B, "NUMPAD 4"},
        {ScanCode::Numpad5, 0x4C, "NUMPAD 5"},
        {ScanCode::Numpad6, 0x4D, "NUMPAD 6"},
        {ScanCode::Numpad1, 0x4F, "NUMPAD 1"},
        {ScanCode::Numpad2, 0x50, "NUMPAD 2"},
        {ScanCode::Numpad3, 0x51, "NUMPAD 3"},
        {ScanCode::Numpad0, 0x52, "NUMPAD 0"},
        {ScanCode::F11, 0x57, "F11"},
        {ScanCode::F12, 0x58, "F12"},
    };
    hostsim::Host& game = test::game();
    for (const auto& k : keys) {
        bool pressed = false;
        test::game_frame_pressing(k.direct_input, [&] { pressed = host::key_pressed(k.key); });
        EXPECT_TRUE(pressed) << k.name;

        game.hold_key(k.direct_input);
        bool held = false;
        test::game_frame([&] { held = host::key_held(k.key); });
        game.release_key(k.direct_input);
        EXPECT_TRUE(held) << k.name;
    }
}

}  // namespace
}  // namespace corvalen
