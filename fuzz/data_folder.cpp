#include "fuzz/data_folder.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/text_number.h"

namespace corvalen::fuzz {
namespace {

namespace fs = std::filesystem;

// Millions of inputs each write and read a few files: a RAM disk keeps that
// off the real one. The folder goes when the process ends normally.
class PrivateFolder {
  public:
    PrivateFolder() {
        std::error_code error;
        fs::path base =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (base / "corvalen-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("corvalen fuzz: no private folder");
            std::abort();
        }
        path_ = pattern;
        fs::current_path(path_);
    }
    ~PrivateFolder() {
        std::error_code ignored;
        fs::current_path(path_.parent_path(), ignored);
        fs::remove_all(path_, ignored);
    }
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

  private:
    fs::path path_;
};

}  // namespace

void fresh_data_folder() {
    static PrivateFolder folder;
    // Emptied file by file rather than removed and made again: this runs for
    // every input, and the folders themselves stay the same.
    std::error_code error;
    fs::create_directories("corvalen/1", error);
    require(!error, "the data folder could not be made", error.message());
    for (const char* name : {"corvalen", "corvalen/1"}) {
        std::vector<fs::path> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(name, error)) {
            if (!entry.is_directory())
                files.push_back(entry.path());
        }
        for (const fs::path& file : files)
            fs::remove(file, error);
    }
}

void write_file(const std::string& path, const std::uint8_t* data, std::size_t size) {
    write_file(path, std::string_view(reinterpret_cast<const char*>(data), size));
}

void write_file(const std::string& path, std::string_view text) {
    fs::path file(path);
    std::error_code error;
    if (file.has_parent_path())
        fs::create_directories(file.parent_path(), error);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    require(static_cast<bool>(out), "the input file could not be written", path);
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void require(bool holds, std::string_view what, std::string_view detail) {
    if (holds)
        return;
    std::fprintf(stderr, "corvalen fuzz: %.*s\n", static_cast<int>(what.size()), what.data());
    if (!detail.empty())
        std::fprintf(stderr, "%.*s\n", static_cast<int>(detail.size()), detail.data());
    std::abort();
}

std::string two_decimals(float value) {
    return fixed_decimals(value, 2);
}

}  // namespace corvalen::fuzz
