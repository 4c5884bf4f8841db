// The owned-houses file of a save, against a fixed property database. What
// is read and written back is a fixed point of the file: the same houses are
// owned when the written file is read, the keys that matched no house are
// kept, and writing again gives the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/data_folder.h"
#include "fuzz/game.h"
#include "realestate/ro_viri_variru_roza.h"

namespace {

using corvalen::Place;
using corvalen::ROViriVariruRoza;
using corvalen::fuzz::require;

constexpr const char* kOwnedFile = "corvalen/1/player_houses_db.dat";

// Two houses share a key, one lies about its ownership (t), a hotel and the
// office carry keys a file may name too, the keys of the next two test
// truncation toward zero, and the last was written by hand with three
// decimals (key 30,10,2 as written, 31,10,2 once saved).
constexpr const char* kDatabase =
    "100.50,-20.25,5.00,f,1,35000,110.00,-20.00,5.00,8,\n"
    "100.99,-20.99,5.99,f,1,40000,0.00,0.00,0.00,0,\n"
    "2500.00,-300.00,12.00,t,1,90000,2510.00,-300.00,12.00,12,\n"
    "250.00,300.00,12.00,f,2,120,0.00,0.00,0.00,0,\n"
    "-40.00,60.00,8.00,f,3,0,0.00,0.00,0.00,0,\n"
    "-0.40,0.40,-0.40,f,1,1000,0.00,0.00,0.00,0,\n"
    "-1.90,7.00,3.00,f,1,5,0.00,0.00,0.00,0,\n"
    "30.996,10.00,2.00,f,1,7,0.00,0.00,0.00,0,\n";

// Which properties are owned, and the keys that matched none, in order.
std::string ownership_of(const ROViriVariruRoza& estate) {
    std::string text;
    for (const Place& property : estate.places)
        text += corvalen::is_owned(property) ? 'o' : '-';
    for (const std::string& key : estate.unmatched_owned_keys)
        text += "\nunmatched '" + key + "'";
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    corvalen::fuzz::fresh_data_folder();
    corvalen::fuzz::write_file("corvalen/house_db.csv", kDatabase);
    corvalen::fuzz::write_file(kOwnedFile, data, size);
    corvalen::fuzz::in_frame([] {
        ROViriVariruRoza estate("1");
        require(estate.load_houses(), "the property files could not be read");
        std::string first = ownership_of(estate);
        require(estate.save_owned_houses(), "the owned-houses file could not be written");
        std::string written = corvalen::fuzz::read_file(kOwnedFile);

        require(estate.load_houses(), "the written owned-houses file could not be read");
        require(ownership_of(estate) == first, "the written owned-houses file gives other owners",
                first + "\n---\n" + ownership_of(estate));
        require(estate.save_owned_houses(), "the owned-houses file could not be written again");
        require(corvalen::fuzz::read_file(kOwnedFile) == written,
                "the written owned-houses file is no fixed point", written);
    });
    corvalen::fuzz::tidy_world();
    return 0;
}
