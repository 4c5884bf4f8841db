// The C library's file calls, defined by the test program so that faults can
// be injected into them (file_faults.h). Each finds the library's own with
// dlsym(RTLD_NEXT) and hands the call on.

#include "file_faults.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace corvalen::test {
namespace {

struct Watch {
    bool on = false;
    int fail_at = 0;
    FileFault kind = FileFault::once;
    int operations = 0;
    bool injected = false;
    bool half_written = false;      // the full disk took its last bytes
    std::string calls;              // the counted operations' names, in order
    std::string folder;             // absolute, with a trailing '/'
    std::array<bool, 4096> ours{};  // descriptors opened under the folder
};

Watch& watch() {
    static Watch state;
    return state;
}

template <typename Function>
Function next_in_library(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

bool under_folder(const char* path) {
    const Watch& w = watch();
    return w.on && path != nullptr &&
           (path[0] != '/' || std::strncmp(path, w.folder.c_str(), w.folder.size()) == 0);
}

bool ours(int fd) {
    const Watch& w = watch();
    return w.on && fd >= 0 && static_cast<std::size_t>(fd) < w.ours.size() &&
           w.ours[static_cast<std::size_t>(fd)];
}

void mark(int fd, bool opened_here) {
    if (fd >= 0 && static_cast<std::size_t>(fd) < watch().ours.size())
        watch().ours[static_cast<std::size_t>(fd)] = opened_here;
}

// Counts one operation; the error it must fail with, or 0 to go through.
int fault_for(const char* call, bool needs_room) {
    Watch& w = watch();
    ++w.operations;
    w.calls.append(w.calls.empty() ? "" : " ").append(call);
    if (w.fail_at == 0 || w.operations < w.fail_at)
        return 0;
    if (w.kind == FileFault::once && w.operations != w.fail_at)
        return 0;
    if (w.kind == FileFault::disk_full && !needs_room)
        return 0;
    w.injected = true;
    return w.kind == FileFault::once ? EIO : ENOSPC;
}

bool writes(int flags) {
    return (flags & (O_WRONLY | O_RDWR | O_CREAT | O_TRUNC | O_APPEND)) != 0;
}

int failed(int error) {
    errno = error;
    return -1;
}

// A write the full disk cuts short stores half of its bytes, once.
bool cut_short(std::size_t size) {
    Watch& w = watch();
    if (w.kind != FileFault::disk_full || w.half_written || size < 2)
        return false;
    w.half_written = true;
    return true;
}

int open_file(const char* name, const char* path, int flags, mode_t mode) {
    using Open = int (*)(const char*, int, ...);
    static Open open_next = next_in_library<Open>("open");
    static Open open64_next = next_in_library<Open>("open64");
    bool counted = under_folder(path);
    if (counted) {
        if (int error = fault_for("open", writes(flags)))
            return failed(error);
    }
    int fd = (std::strcmp(name, "open") == 0 ? open_next : open64_next)(path, flags, mode);
    if (counted)
        mark(fd, true);
    return fd;
}

FILE* open_stream(const char* name, const char* path, const char* mode) {
    using Fopen = FILE* (*)(const char*, const char*);
    static Fopen fopen_next = next_in_library<Fopen>("fopen");
    static Fopen fopen64_next = next_in_library<Fopen>("fopen64");
    bool counted = under_folder(path);
    if (counted) {
        if (int error = fault_for("fopen", std::strpbrk(mode, "wa+") != nullptr)) {
            errno = error;
            return nullptr;
        }
    }
    FILE* stream = (std::strcmp(name, "fopen") == 0 ? fopen_next : fopen64_next)(path, mode);
    if (counted && stream != nullptr)
        mark(fileno(stream), true);
    return stream;
}

mode_t mode_argument(int flags, va_list arguments) {
    return (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(arguments, mode_t) : 0;
}

}  // namespace

void watch_files(int fail_at, FileFault kind) {
    Watch& w = watch();
    char here[4096];
    w.folder = getcwd(here, sizeof here) != nullptr ? std::string(here) + "/" : "/";
    w.fail_at = fail_at;
    w.kind = kind;
    w.operations = 0;
    w.injected = false;
    w.half_written = false;
    w.calls.clear();
    w.on = true;
}

FileWatch stop_watching_files() {
    Watch& w = watch();
    w.on = false;
    w.ours.fill(false);
    return {w.operations, w.injected, w.calls};
}

}  // namespace corvalen::test

using corvalen::test::cut_short;
using corvalen::test::failed;
using corvalen::test::fault_for;
using corvalen::test::mark;
using corvalen::test::next_in_library;
using corvalen::test::ours;
using corvalen::test::under_folder;

extern "C" {

int open(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = corvalen::test::mode_argument(flags, arguments);
    va_end(arguments);
    return corvalen::test::open_file("open", path, flags, mode);
}

int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    mode_t mode = corvalen::test::mode_argument(flags, arguments);
    va_end(arguments);
    return corvalen::test::open_file("open64", path, flags, mode);
}

FILE* fopen(const char* path, const char* mode) {
    return corvalen::test::open_stream("fopen", path, mode);
}

FILE* fopen64(const char* path, const char* mode) {
    return corvalen::test::open_stream("fopen64", path, mode);
}

ssize_t read(int fd, void* buffer, size_t size) {
    static auto next = next_in_library<ssize_t (*)(int, void*, size_t)>("read");
    if (ours(fd)) {
        if (int error = fault_for("read", false))
            return failed(error);
    }
    return next(fd, buffer, size);
}

ssize_t write(int fd, const void* buffer, size_t size) {
    static auto next = next_in_library<ssize_t (*)(int, const void*, size_t)>("write");
    if (ours(fd)) {
        if (int error = fault_for("write", true)) {
            if (!cut_short(size))
                return failed(error);
            return next(fd, buffer, size / 2);
        }
    }
    return next(fd, buffer, size);
}

ssize_t writev(int fd, const iovec* parts, int count) {
    static auto next = next_in_library<ssize_t (*)(int, const iovec*, int)>("writev");
    static auto write_next = next_in_library<ssize_t (*)(int, const void*, size_t)>("write");
    if (ours(fd) && count > 0) {
        if (int error = fault_for("writev", true)) {
            if (!cut_short(parts[0].iov_len))
                return failed(error);
            return write_next(fd, parts[0].iov_base, parts[0].iov_len / 2);
        }
    }
    return next(fd, parts, count);
}

int fsync(int fd) {
    static auto next = next_in_library<int (*)(int)>("fsync");
    if (ours(fd)) {
        if (int error = fault_for("fsync", true))
            return failed(error);
    }
    return next(fd);
}

int fdatasync(int fd) {
    static auto next = next_in_library<int (*)(int)>("fdatasync");
    if (ours(fd)) {
        if (int error = fault_for("fdatasync", true))
            return failed(error);
    }
    return next(fd);
}

// A failed close still closes the descriptor, as on Linux.
int close(int fd) {
    static auto next = next_in_library<int (*)(int)>("close");
    bool counted = ours(fd);
    int error = counted ? fault_for("close", false) : 0;
    mark(fd, false);
    int result = next(fd);
    return error != 0 ? failed(error) : result;
}

int fclose(FILE* stream) {
    static auto next = next_in_library<int (*)(FILE*)>("fclose");
    int fd = stream != nullptr ? fileno(stream) : -1;
    int error = ours(fd) ? fault_for("fclose", false) : 0;
    mark(fd, false);
    int result = next(stream);
    if (error == 0)
        return result;
    errno = error;
    return EOF;
}

int rename(const char* from, const char* to) {
    static auto next = next_in_library<int (*)(const char*, const char*)>("rename");
    if (under_folder(from) || under_folder(to)) {
        if (int error = fault_for("rename", false))
            return failed(error);
    }
    return next(from, to);
}

int mkdir(const char* path, mode_t mode) {
    static auto next = next_in_library<int (*)(const char*, mode_t)>("mkdir");
    if (under_folder(path)) {
        if (int error = fault_for("mkdir", true))
            return failed(error);
    }
    return next(path, mode);
}

}  // extern "C"
