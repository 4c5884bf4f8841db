// Replays the committed inputs of one fuzz target, as libFuzzer runs a
// corpus, so that the regular builds check them without clang: every file of
// the folders named on the command line goes through the target once. A
// property that fails ends the process, as it ends a fuzzing run.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(argv[i], error)) {
            if (entry.is_regular_file())
                inputs.push_back(fs::absolute(entry.path()));
        }
        if (error) {
            std::fprintf(stderr, "%s: %s\n", argv[i], error.message().c_str());
            return 1;
        }
    }
    // A corpus that is not where it should be must not pass as an empty one.
    if (inputs.empty()) {
        std::fprintf(stderr, "no inputs to replay\n");
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());
    for (const fs::path& input : inputs) {
        std::ifstream file(input, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        // An input that ends the process names itself first.
        std::fprintf(stderr, "%s\n", input.filename().string().c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu inputs replayed\n", inputs.size());
    return 0;
}
