#pragma once
// What every fuzz target shares: a private working folder (on a RAM disk where
// there is one) holding the mod's "corvalen" data folder, files written and
// read whole, and a check that ends the run when a property fails, so that
// libFuzzer keeps the input that broke it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvalen::fuzz {

// Makes a private folder the working folder (once per process) and leaves an
// empty "corvalen" data folder in it, with the empty folder of save 1, as a
// game finds them after its first save.
void fresh_data_folder();

// Writes the bytes as the whole file, replacing what was there.
void write_file(const std::string& path, const std::uint8_t* data, std::size_t size);
void write_file(const std::string& path, std::string_view text);
// The whole file; empty when it is missing.
std::string read_file(const std::string& path);

// Ends the run with a message on standard error when `holds` is false.
void require(bool holds, std::string_view what, std::string_view detail = {});

// A float as the data files write it: two decimals.
std::string two_decimals(float value);

}  // namespace corvalen::fuzz
