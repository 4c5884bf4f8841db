// Pictures of the stand-in's frames: what the game drew must land where, as
// large and in the colour it was drawn, over the map of the data files the
// snapshot kept.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "hostsim/snapshot.h"
#include "pictures/frame_picture.h"
#include "pictures/screen_layer.h"
#include "pictures/snapshot_reader.h"
#include "working_folder.h"

namespace pictures {
namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr float kMetresPerPixel = 0.25f;

const Font& font() {
    static const std::optional<Font> loaded = Font::load(CORVALEN_PICTURE_FONT);
    if (!loaded)
        std::abort();
    return *loaded;
}

Canvas picture(const Snapshot& snapshot) {
    return draw_frame(snapshot, font(), {kWidth, kHeight, kMetresPerPixel});
}

bool close(Rgba a, Rgba b, int tolerance = 2) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance;
}

// The pixels one screen item changed, and whether one of them shows its
// colour as it is.
struct Ink {
    int left = kWidth;
    int top = kHeight;
    int right = -1;
    int bottom = -1;
    bool pure_colour = false;
};

Ink ink(const Canvas& before, const Canvas& after, Rgba colour) {
    Ink found;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (before.pixel(x, y) == after.pixel(x, y))
                continue;
            found.left = std::min(found.left, x);
            found.right = std::max(found.right, x);
            found.top = std::min(found.top, y);
            found.bottom = std::max(found.bottom, y);
            found.pure_colour = found.pure_colour || close(after.pixel(x, y), colour);
        }
    }
    return found;
}

Snapshot street_corner() {
    return parse_snapshot(
        "land -1000.00 1000.00 600.00\n"
        "street -600.00 25.00 600.00 45.00 Harbour Road\n"
        "player -120.00 35.00 6.00 0.00 0 -1\n");
}

TEST(FramePictureTest, TheScreenShowsEachTextWhereAsLargeAndInTheColourItWasDrawn) {
    struct Case {
        const char* text;
        float x, y, scale;
        Rgba colour;
    };
    // A menu as the game draws it: title, a highlighted item, another item;
    // and a notice at the bottom right.
    const Case cases[] = {
        {"Gas Station", 0.1f, 0.1f, 0.35f, {255, 255, 255, 255}},
        {"Fill up Gas", 0.1f, 0.135f, 0.3f, {0, 87, 233, 255}},
        {"Fix Tires", 0.1f, 0.17f, 0.3f, {255, 255, 255, 255}},
        {"revenue: $9", 0.8f, 0.86f, 0.3f, {200, 40, 40, 255}},
    };
    Snapshot snapshot = street_corner();
    Canvas before = picture(snapshot);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Snapshot with_text = snapshot;
        with_text.screen.push_back(
            {ScreenItem::Kind::text, c.x, c.y, 0.0f, c.scale, c.scale, c.colour, c.text});
        Ink found = ink(before, picture(with_text), c.colour);
        float left = c.x * kWidth;
        float top = c.y * kHeight;
        float line = c.scale * kTextLineHeight * kHeight;
        EXPECT_TRUE(found.pure_colour);
        EXPECT_GE(found.left, left - 1.0f);
        EXPECT_LE(found.left, left + 4.0f);
        EXPECT_GE(found.top, top);
        EXPECT_LE(found.top, top + 0.35f * line);
        // Within its line (and a pixel of shadow), tall as its scale makes it.
        EXPECT_LE(found.bottom, top + line + 2.0f);
        EXPECT_GE(found.bottom - found.top, 0.5f * line);
        EXPECT_GT(found.right - found.left, 3.0f * line);
    }
}

TEST(FramePictureTest, RectanglesAreCentredOnTheirPointAndMarkersLieWhereTheyStand) {
    Snapshot snapshot = street_corner();
    Canvas before = picture(snapshot);

    Snapshot with_box = snapshot;
    Rgba shade{0, 0, 0, 64};
    with_box.screen.push_back(
        {ScreenItem::Kind::rectangle, 0.86f, 0.845f, 0.0f, 0.14f, 0.1f, shade, ""});
    Canvas after = picture(with_box);
    Ink box = ink(before, after, shade);
    EXPECT_NEAR(box.left, 0.79f * kWidth, 1.0f);
    // right and bottom are the last pixels in: their far edges lie on the box's.
    EXPECT_NEAR(box.right + 1, 0.93f * kWidth, 1.0f);
    EXPECT_NEAR(box.top, 0.795f * kHeight, 1.0f);
    EXPECT_NEAR(box.bottom + 1, 0.895f * kHeight, 1.0f);
    Rgba under = before.pixel(1100, 600);
    auto darkened = [](std::uint8_t channel) {
        return static_cast<std::uint8_t>(channel * (255 - 64) / 255);
    };
    EXPECT_TRUE(close(after.pixel(1100, 600),
                      {darkened(under.red), darkened(under.green), darkened(under.blue), 255}));

    // A ground marker 10 m east and 5 m north of the player, who stands at
    // the picture's centre.
    Snapshot with_marker = snapshot;
    Rgba green{0, 128, 0, 255};
    with_marker.screen.push_back(
        {ScreenItem::Kind::marker, -110.0f, 40.0f, 5.0f, 0.0f, 0.0f, green, ""});
    Ink marker = ink(before, picture(with_marker), green);
    EXPECT_TRUE(marker.pure_colour);
    EXPECT_NEAR((marker.left + marker.right) / 2.0f, kWidth / 2.0f + 10.0f / kMetresPerPixel, 1.5f);
    EXPECT_NEAR((marker.top + marker.bottom) / 2.0f, kHeight / 2.0f - 5.0f / kMetresPerPixel, 1.5f);
}

TEST(FramePictureTest, ASnapshotOfTheStandInShowsItsTextsAndTheStopsOfThatMoment) {
    corvalen::test::WorkingFolder working;
    // Two stops 20 m either side of the player's start, 10 m north; the
    // west one links to the east one.
    corvalen::test::write_file("corvalen/bus_stops.csv",
                               "-140.00,45.00,5.00,270.00,0,0,-100,45,\n"
                               "-100.00,45.00,5.00,270.00,0,0,0,0,\n");
    hostsim::World world;
    world.begin_frame();
    world.draw_text(0.1f, 0.1f, "Vehicle Parked");
    world.end_frame();
    ASSERT_TRUE(hostsim::write_snapshot(world, "corvalen", "frame.snap"));
    std::optional<Snapshot> snapshot = read_snapshot("frame.snap");
    ASSERT_TRUE(snapshot);

    Canvas frame = picture(*snapshot);
    Snapshot without_screen = *snapshot;
    without_screen.screen.clear();
    Snapshot without_files = *snapshot;
    without_files.files.clear();

    int centre_x = kWidth / 2;
    int stop_y = kHeight / 2 - static_cast<int>(10.0f / kMetresPerPixel);
    int stop_dx = static_cast<int>(20.0f / kMetresPerPixel);
    // The inspector's colours: a linked stop, a stop without a link.
    EXPECT_TRUE(close(frame.pixel(centre_x - stop_dx, stop_y), {128, 0, 0, 255}));
    EXPECT_TRUE(close(frame.pixel(centre_x + stop_dx, stop_y), {0, 128, 0, 255}));
    // The link between them.
    EXPECT_FALSE(
        close(frame.pixel(centre_x, stop_y), picture(without_files).pixel(centre_x, stop_y), 20));

    Ink text = ink(picture(without_screen), frame, {255, 255, 255, 255});
    EXPECT_TRUE(text.pure_colour);
    EXPECT_NEAR(text.left, 0.1f * kWidth, 4.0f);
    EXPECT_NEAR(text.top, 0.1f * kHeight + 0.15f * kTextLineHeight * kHeight,
                0.15f * kTextLineHeight * kHeight);
}

}  // namespace
}  // namespace pictures
