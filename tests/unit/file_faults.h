#pragma once
// Faults in this test program's file operations. The program defines the C
// library's file calls itself, which puts them before the library's own for
// every caller (the standard C++ library's streams and file system included),
// and hands each call on to the library unless a fault is due. Only
// operations on files under the working folder count: opening (open, fopen),
// making folders (mkdir), renaming, and reading, writing, syncing and closing
// files opened there.

#include <string>

namespace corvalen::test {

enum class FileFault {
    once,       // the chosen operation fails (EIO); the rest go through
    disk_full,  // from the chosen one on, whatever needs room fails (ENOSPC):
                // opening to write, making folders, writing (the first write
                // stores half of its bytes), syncing
};

// Starts counting operations; operation number `fail_at` (from 1) is the
// first to fail, none when it is 0.
void watch_files(int fail_at, FileFault kind = FileFault::once);

struct FileWatch {
    int operations = 0;     // counted since watch_files
    bool injected = false;  // some operation was made to fail
    std::string calls;      // the operations' names in order, "open write ..."
};
// Stops counting and failing.
FileWatch stop_watching_files();

}  // namespace corvalen::test
