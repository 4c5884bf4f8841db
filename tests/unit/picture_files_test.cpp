// What the picture programs read and write besides pictures: the stand-in's
// snapshots, whatever bytes they hold, and the page of a demo run.

#include <gtest/gtest.h>

#include <string>

#include "pictures/demo_page.h"
#include "pictures/frame_picture.h"
#include "pictures/legend.h"
#include "pictures/snapshot_reader.h"

namespace pictures {
namespace {

TEST(SnapshotReaderTest, ReadsTheRecordsItKnowsAndSkipsEveryOtherLine) {
    Snapshot snapshot = parse_snapshot(
        "> a line before any file\n"
        "cash 4990.00\r\n"
        "player 1.00 2.00 3.00 90.00 8193 -1\n"
        "vehicle 8193 2498802385 1.00 2.00 3.00 90.00 42 Water taxi\n"
        "vehicle 8194 x 1.00 2.00 3.00 90.00 0 Coupe\n"
        "vehicle 8195 1 1.00 nan 3.00 90.00 0 Coupe\n"
        "character 4097 7 1.00 2.00\n"
        "blip 1 1.00 2.00 3.00 0 29 99999999999 1.00 255 1 Far\n"
        "text 0.1000 0.2000 0.3000 0.3000 0 87 233 300 Add\\nBus \\\\Stop\\x\n"
        "rectangle 0.5 0.5 0.1\n"
        "marker 1.00 2.00 3.00 0.00 0.00 128 0 0 128\n"
        "sphere 1 2 3\n"
        "file bus_stops.csv\n"
        "> 1.00,2.00,\n"
        ">\n"
        "> 3.00,4.00,\\r\n"
        "file 1/player_houses_db.dat\n");
    EXPECT_FLOAT_EQ(snapshot.cash, 4990.0f);
    EXPECT_EQ(snapshot.player.vehicle, 8193);
    ASSERT_EQ(snapshot.vehicles.size(), 1u);
    EXPECT_EQ(snapshot.vehicles[0].model, 2498802385u);
    EXPECT_EQ(snapshot.vehicles[0].model_name, "Water taxi");
    EXPECT_TRUE(snapshot.characters.empty());
    EXPECT_TRUE(snapshot.blips.empty());
    ASSERT_EQ(snapshot.screen.size(), 2u);
    EXPECT_EQ(snapshot.screen[0].text, "Add\nBus \\Stop\\x");
    EXPECT_EQ(snapshot.screen[0].colour, (Rgba{0, 87, 233, 255}));
    EXPECT_EQ(snapshot.screen[1].kind, ScreenItem::Kind::marker);
    std::vector<std::string> stops = {"1.00,2.00,", "", "3.00,4.00,\r"};
    EXPECT_EQ(snapshot.files["bus_stops.csv"], stops);
    EXPECT_TRUE(snapshot.files.count("1/player_houses_db.dat"));
}

TEST(SnapshotReaderTest, SurvivesAnyBytesAndSoDoesTheirPicture) {
    std::optional<Font> font = Font::load(CORVALEN_PICTURE_FONT);
    ASSERT_TRUE(font);
    std::string every_byte;
    for (int i = 0; i < 256; ++i)
        every_byte += static_cast<char>(i);
    for (const std::string& text :
         {every_byte, std::string("text ") + every_byte, std::string("file \\"),
          std::string("> \\"), std::string("clock 99999999999999 -1 -1 -1 -1 -1 -1"),
          std::string("player 1e39 1 1 1 1 1\ntext 1e30 -1e30 1e30 1e30 1 1 1 1 big")}) {
        Snapshot snapshot = parse_snapshot(text);
        EXPECT_EQ(snapshot.player.x, 0.0f);
        EXPECT_EQ(draw_frame(snapshot, *font, {64, 36, 0.25f}).width(), 64);
    }
}

TEST(DemoPageTest, ShowsTheTimelineWithItsPicturesInPlace) {
    std::string page =
        demo_page({"08:00  Bus leaves <A> & \"B\"", "08:05  picture 03: at the stop",
                   "08:06  picture 7: the ferry", "08:07  picture 09: gone", "no time here"},
                  {"03", "04", "07"});
    for (const char* expected : {
             "<span class=\"time\">08:00</span>Bus leaves &lt;A&gt; &amp; &quot;B&quot;</li>",
             "<img src=\"pictures/03.png\" alt=\"at the stop\">",
             "<figcaption>at the stop</figcaption>",
             "<img src=\"pictures/07.png\" alt=\"the ferry\">",
             "picture 09 is missing</p><figcaption>gone</figcaption>",
             "<span class=\"time\"></span>no time here</li>",
         }) {
        EXPECT_NE(page.find(expected), std::string::npos) << expected;
    }
    // Named pictures in place; the others after the timeline.
    std::size_t timeline_end = page.find("</ol>");
    EXPECT_LT(page.rfind("pictures/03.png"), timeline_end);
    EXPECT_GT(page.find("pictures/04.png"), timeline_end);
    EXPECT_EQ(page.find("<script"), std::string::npos);
}

TEST(ScaleBarTest, ShowsARoundLengthThatFits) {
    struct Case {
        float metres_per_pixel;
        float longest;
        float metres;
    };
    for (const Case& c :
         {Case{0.25f, 160.0f, 20.0f}, Case{1.0f, 160.0f, 100.0f}, Case{3.0f, 160.0f, 200.0f},
          Case{10.0f, 150.0f, 1000.0f}, Case{0.004f, 160.0f, 0.5f}}) {
        View view(0.0f, 0.0f, c.metres_per_pixel, 100, 100);
        EXPECT_FLOAT_EQ(scale_bar_metres(view, c.longest), c.metres) << c.metres_per_pixel;
    }
}

}  // namespace
}  // namespace pictures
