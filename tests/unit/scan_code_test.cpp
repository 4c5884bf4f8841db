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
    const std::pair<ScanCode, std::uint8_t> keys[] = {
        {ScanCode::Y, 0x15},       {ScanCode::Enter, 0x1C},     {ScanCode::F, 0x21},
        {ScanCode::G, 0x22},       {ScanCode::LeftShift, 0x2A}, {ScanCode::X, 0x2D},
        {ScanCode::B, 0x30},       {ScanCode::N, 0x31},         {ScanCode::LeftAlt, 0x38},
        {ScanCode::Numpad8, 0x48}, {ScanCode::Numpad4, 0x4B},   {ScanCode::Numpad5, 0x4C},
        {ScanCode::Numpad6, 0x4D}, {ScanCode::Numpad1, 0x4F},   {ScanCode::Numpad2, 0x50},
        {ScanCode::Numpad3, 0x51}, {ScanCode::Numpad0, 0x52},   {ScanCode::F11, 0x57},
        {ScanCode::F12, 0x58}};
    for (auto [key, direct_input] : keys) {
        bool pressed = false;
        bool held = false;
        test::game_frame_pressing(direct_input, [&] { pressed = host::key_pressed(key); });
        test::game().hold_key(direct_input);
        test::game_frame([&] { held = host::key_held(key); });
        test::game().release_key(direct_input);
        EXPECT_TRUE(pressed && held) << int{direct_input};
    }
}

}  // namespace
}  // namespace corvalen
