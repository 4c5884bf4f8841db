// render_demo OUT_DIR: draws every OUT_DIR/pictures/NN.snap, a frame the
// stand-in host kept during a demo run, as NN.png beside it, as the player
// saw that frame, and writes OUT_DIR/index.html from OUT_DIR/timeline.txt.
// Exit code 0 when everything was written, 1 when something was not, 2 for
// a wrong command line.

#include <algorithm>
#include <exception>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "core/atomic_file.h"
#include "core/csv.h"
#include "pictures/demo_page.h"
#include "pictures/font.h"
#include "pictures/frame_picture.h"
#include "pictures/png.h"
#include "pictures/snapshot_reader.h"

namespace {

namespace fs = std::filesystem;

// The snapshots in the folder, by their number, in order.
std::vector<std::string> snapshot_numbers(const fs::path& folder) {
    std::vector<std::string> numbers;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        if (path.extension() == ".snap")
            numbers.push_back(path.stem().string());
    }
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

int render(const fs::path& out, const std::string& program) {
    std::string font_path = pictures::Font::default_path(program);
    std::optional<pictures::Font> font = pictures::Font::load(font_path);
    if (!font) {
        std::cerr << "render_demo: cannot read the font " << font_path << "\n";
        return 1;
    }
    bool complete = true;
    fs::path folder = out / "pictures";
    std::vector<std::string> drawn;
    for (const std::string& number : snapshot_numbers(folder)) {
        fs::path snap = folder / (number + ".snap");
        std::optional<pictures::Snapshot> snapshot = pictures::read_snapshot(snap.string());
        if (!snapshot) {
            std::cerr << "render_demo: cannot read " << snap.string() << "\n";
            complete = false;
            continue;
        }
        fs::path png = folder / (number + ".png");
        if (!pictures::write_png(pictures::draw_frame(*snapshot, *font), png.string())) {
            std::cerr << "render_demo: cannot write " << png.string() << "\n";
            complete = false;
            continue;
        }
        drawn.push_back(number);
    }
    std::optional<std::vector<std::string>> timeline =
        corvalen::read_existing_lines(out / "timeline.txt");
    if (!timeline) {
        std::cerr << "render_demo: cannot read " << (out / "timeline.txt").string() << "\n";
        complete = false;
    }
    std::string page = pictures::demo_page(timeline.value_or(std::vector<std::string>()), drawn);
    if (!corvalen::replace_file(out / "index.html", page)) {
        std::cerr << "render_demo: cannot write " << (out / "index.html").string() << "\n";
        return 1;
    }
    std::cout << "render_demo: " << drawn.size() << " pictures and index.html in " << out.string()
              << "\n";
    return complete ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: render_demo OUT_DIR\n";
        return 2;
    }
    try {
        return render(argv[1], argv[0]);
    } catch (const std::exception& error) {
        std::cerr << "render_demo: " << error.what() << "\n";
        return 1;
    }
}
