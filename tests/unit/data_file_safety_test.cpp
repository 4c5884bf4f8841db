// Nothing a player saved is lost: every data file the plug-in rewrites reads
// as a text editor shows it, keeps the lines it cannot use, survives a load
// that fails anywhere, and a save that fails anywhere leaves the file before
// it whole. The backup rotation loses no generation to a failed copy.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <sstream>

#include "autoservice/service_manager.h"
#include "core/backups.h"
#include "file_faults.h"
#include "game_frame.h"
#include "parking/public_parking.h"
#include "realestate/ro_viri_variru_roza.h"
#include "transit/transit_service.h"
#include "working_folder.h"

namespace corvalen {
namespace {

namespace fs = std::filesystem;
using test::FileFault;
using test::game_frame;
using test::read_file;
using test::write_file;

// One data file: where it is, three records as a modder might write them, and
// what reads, writes, counts and changes them.
struct DataFile {
    const char* name;
    std::string path;
    std::string seed;
    std::function<bool()> load;
    std::function<bool()> save;
    std::function<std::size_t()> count;
    std::function<void()> change;  // one record fewer, or one fewer owned
};

std::function<bool()> in_frame(std::function<bool()> step) {
    return [step] {
        bool done = false;
        game_frame([&] { done = step(); });
        return done;
    };
}

std::string car_line(int x) {
    return std::to_string(hostsim::vehicle_models()[1].id) + "," + std::to_string(x) +
           ",200,5,90.000000,1,2,3,4,5,0.000000,1500,1000,1000,0,1,1,1,1,1,1,1,1,1,1,0,0,1000,"
           "0,\n";
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

std::string joined(const std::vector<std::string>& lines, const std::string& end) {
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

// Every path below the data folder: a failed write leaves nothing beside it.
std::string listing() {
    std::vector<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator("corvalen"))
        paths.push_back(entry.path().string());
    std::sort(paths.begin(), paths.end());
    return joined(paths, " ");
}

const char* kDatabase = "corvalen/house_db.csv";
const std::string kHouses =
    "100.00,-20.00,5.00,f,1,35000,0.00,0.00,0.00,0,\n"
    "101.00,-20.00,5.00,f,1,40000,0.00,0.00,0.00,0,\n"
    "102.00,-20.00,5.00,f,1,45000,0.00,0.00,0.00,0,\n";

class DataFileSafetyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        game_frame([&] {
            bus.emplace(ServiceMode::Bus, nullptr);
            parking.set_save_identity("1");
            estate.set_save_identity("1");
        });
    }

    std::vector<DataFile> data_files() {
        auto owned = [this] {
            return static_cast<std::size_t>(
                std::count_if(estate.places.begin(), estate.places.end(),
                              [](const Place& p) { return is_owned(p); }));
        };
        auto garage_file = [](const char* name, GarageController& garage) {
            return DataFile{name,
                            garage.car_file,
                            car_line(100) + car_line(110) + car_line(120),
                            in_frame([&garage] { return garage.read_car_file(); }),
                            [&garage] { return garage.write_car_file(); },
                            [&garage] { return garage.stored.size(); },
                            [&garage] { garage.stored.erase(garage.stored.begin()); }};
        };
        return {
            {"stops", "corvalen/bus_stops.csv",
             "10.00,20.00,5.00,0.00,0,0,20,20,\n20.00,20.00,5.00,0.00,2,1,0,0,\n"
             "30.00,20.00,5.00,0.00,3,0,0,0,\n",
             [this] { return bus->load_points(); }, [this] { return bus->save_points(); },
             [this] { return bus->points.size(); }, [this] { bus->points.pop_back(); }},
            {"stations", stations.stations_file, "1.00,2.00,3.00,4,1,\n5,6,7,8,2,\n9,9,9,9,3,\n",
             in_frame([this] { return stations.load_stations(); }),
             in_frame([this] { return stations.save_stations(); }),
             [this] { return stations.places.size(); }, [this] { stations.places.pop_back(); }},
            {"lots", parking.lots_path(), "10,20,5,8,0,\n30,20,5,8,1,\n50,20,5,0,0,\n",
             [this] { return parking.load_lots(); }, [this] { return parking.save_lots(); },
             [this] { return parking.garage.spots.size(); },
             [this] { parking.garage.spots.pop_back(); }},
            {"property database", kDatabase, kHouses,
             in_frame([this] { return estate.load_houses(); }),
             [this] { return estate.save_houses(); }, [this] { return estate.places.size(); },
             [this] { estate.places.pop_back(); }},
            {"owned houses", "corvalen/1/player_houses_db.dat", "100,-20,5\n101+-20+5\n102,-20,5\n",
             in_frame([this] { return estate.load_houses(); }),
             [this] { return estate.save_owned_houses(); }, owned,
             [this] { estate.places.edit(0).user_flag = 0; }},
            garage_file("house cars", estate.garage),
            garage_file("parking cars", parking.garage),
        };
    }

    // The file's records as its writer writes them. The owned houses need the
    // property database.
    std::string written_form(const DataFile& file) {
        write_file(kDatabase, kHouses);
        write_file(file.path, file.seed);
        EXPECT_TRUE(file.load());
        EXPECT_EQ(file.count(), 3u);
        EXPECT_TRUE(file.save());
        return read_file(file.path);
    }
    void load_text(const DataFile& file, const std::string& text) {
        write_file(kDatabase, kHouses);
        write_file(file.path, text);
        ASSERT_TRUE(file.load());
    }

    test::WorkingFolder folder;
    std::optional<TransitService> bus;
    ServiceManager stations{nullptr};
    PublicParking parking{"1"};
    ROViriVariruRoza estate{"1"};
};

// A byte-order mark and CR LF or lone CR line ends read as an editor shows
// them; a line with a NUL that no record can be made of is written back
// unchanged after the records.
TEST_F(DataFileSafetyTest, TextQuirksCostNoRecordAndUnreadableLinesAreKept) {
    for (const DataFile& file : data_files()) {
        SCOPED_TRACE(file.name);
        const std::string written = written_form(file);
        std::vector<std::string> lines = lines_of(written);
        ASSERT_EQ(lines.size(), 3u);
        std::string broken = lines[1];
        broken[0] = '\0';
        const std::pair<std::string, std::size_t> cases[] = {
            {"\xEF\xBB\xBF" + joined(lines, "\r\n"), 3},
            {joined(lines, "\r"), 3},
            {joined({lines[0], broken, lines[2]}, "\n"), 2},
        };
        for (const auto& [text, records] : cases) {
            load_text(file, text);
            EXPECT_EQ(file.count(), records);
            ASSERT_TRUE(file.save());
            EXPECT_EQ(read_file(file.path),
                      records == 3 ? written : joined({lines[0], lines[2], broken}, "\n"));
        }
        // A kept line that itself begins with a mark reads back with it.
        const std::string marked = "\xEF\xBB\xBF\xEF\xBB\xBF\x01,\n";
        load_text(file, marked);
        EXPECT_EQ(file.count(), 0u);
        ASSERT_TRUE(file.save());
        EXPECT_EQ(read_file(file.path), marked);
    }
}

// Whatever operation of a load fails, the save after it leaves every record
// in the file: a file read only in part is never written over.
TEST_F(DataFileSafetyTest, ALoadThatFailsAnywhereCostsTheFileNothing) {
    for (const DataFile& file : data_files()) {
        SCOPED_TRACE(file.name);
        const std::string written = written_form(file);
        test::watch_files(0);
        file.load();
        const int operations = test::stop_watching_files().operations;
        for (int n = 1; n <= operations; ++n) {
            SCOPED_TRACE(n);
            load_text(file, written);
            file.change();  // what a save would write were the load's failure missed
            test::watch_files(n);
            bool loaded = file.load();
            EXPECT_TRUE(test::stop_watching_files().injected);
            if (!loaded) {
                EXPECT_EQ(file.count(), 0u) << "what a part of the file gave is no account of it";
            }
            file.save();
            EXPECT_EQ(read_file(file.path), written);
        }
    }
}

// Each operation of a save fails in turn, once and as a disk that is full
// from there on: the save says so and the file before it stays whole, reads
// back and writes again alike, with nothing left beside it.
TEST_F(DataFileSafetyTest, ASaveThatFailsAnywhereKeepsTheFileBeforeIt) {
    std::map<std::string, int> faults;
    for (const DataFile& file : data_files()) {
        SCOPED_TRACE(file.name);
        const std::string before = written_form(file);
        auto prepare = [&] {
            load_text(file, before);
            file.change();
        };
        prepare();
        const std::string paths = listing();
        test::watch_files(0);
        ASSERT_TRUE(file.save());
        const test::FileWatch clean = test::stop_watching_files();
        const int operations = clean.operations;
        // The new contents are on the disk before the rename shows them: a
        // power cut then leaves the old file or the new one, never an empty one.
        EXPECT_LT(clean.calls.rfind("fsync"), clean.calls.rfind("rename")) << clean.calls;
        const std::string after = read_file(file.path);
        ASSERT_NE(after, before);
        for (FileFault kind : {FileFault::once, FileFault::disk_full}) {
            for (int n = 1; n <= operations; ++n) {
                SCOPED_TRACE(testing::Message() << "operation " << n << " of " << operations
                                                << (kind == FileFault::once ? "" : ", disk full"));
                prepare();
                test::watch_files(n, kind);
                bool saved = file.save();
                bool injected = test::stop_watching_files().injected;
                faults[file.name] += injected ? 1 : 0;
                EXPECT_EQ(saved, !injected);
                EXPECT_EQ(read_file(file.path), saved ? after : before);
                EXPECT_EQ(listing(), paths);
                ASSERT_TRUE(file.load());
                ASSERT_TRUE(file.save());
                EXPECT_EQ(read_file(file.path), saved ? after : before);
            }
        }
    }
    for (const auto& [name, count] : faults)
        RecordProperty(name + " faults", count);
}

// Three generations with the same names and other contents, one more backup
// kept than exist: none may be lost or mixed with another, whatever
// operation of the rotation fails.
TEST(BackupFaultsTest, EveryGenerationStaysWholeSomewhere) {
    test::WorkingFolder folder;
    const std::string base = "corvalen/5";
    const std::vector<std::string> folders = {base, base + ".backup1", base + ".backup2",
                                              base + ".backup3"};
    auto generation = [](int age) {
        return std::map<std::string, std::string>{{"houses.dat", "houses " + std::to_string(age)},
                                                  {"sub/cars.csv", "cars " + std::to_string(age)}};
    };
    auto set_up = [&] {
        fs::remove_all("corvalen");
        for (int age = 0; age < 3; ++age) {
            for (const auto& [name, text] : generation(age))
                write_file(folders[static_cast<std::size_t>(age)] + "/" + name, text);
        }
    };
    // The age of the generation a folder holds whole and alone; -1 for none.
    auto age_in = [&](const std::string& path) {
        for (int age = 0; age < 3; ++age) {
            bool whole = true;
            for (const auto& [name, text] : generation(age))
                whole =
                    whole && fs::exists(path + "/" + name) && read_file(path + "/" + name) == text;
            if (whole)
                return age;
        }
        return -1;
    };
    set_up();
    test::watch_files(0);
    ASSERT_TRUE(rotate_backups(base, 3));
    const int operations = test::stop_watching_files().operations;
    EXPECT_EQ(age_in(folders[1]) * 100 + age_in(folders[2]) * 10 + age_in(folders[3]), 12);
    int faults = 0;
    for (FileFault kind : {FileFault::once, FileFault::disk_full}) {
        for (int n = 1; n <= operations; ++n) {
            SCOPED_TRACE(testing::Message() << "operation " << n << " of " << operations
                                            << (kind == FileFault::once ? "" : ", disk full"));
            set_up();
            test::watch_files(n, kind);
            bool rotated = rotate_backups(base, 3);
            faults += test::stop_watching_files().injected ? 1 : 0;
            std::vector<int> ages;
            for (const std::string& path : folders) {
                if (fs::exists(path))
                    ages.push_back(age_in(path));
            }
            EXPECT_EQ(std::count(ages.begin(), ages.end(), -1), 0) << "a folder holds a mix";
            for (int age = 0; age < 3; ++age)
                EXPECT_NE(std::count(ages.begin(), ages.end(), age), 0)
                    << "lost generation " << age;
            EXPECT_EQ(ages == std::vector<int>({0, 0, 1, 2}), rotated);
            const std::string paths = listing();
            for (const char* temporary : {".new", ".old", ".tmp"})
                EXPECT_EQ(paths.find(temporary), std::string::npos) << paths;
        }
    }
    RecordProperty("backup rotation faults", faults);
}

}  // namespace
}  // namespace corvalen
