#!/usr/bin/env bash
# Installs what the builds and tests need on a Debian 12 machine, and makes
# sure 32-bit programs can run: natively where the kernel runs them, otherwise
# through qemu's user-mode emulator. When everything is present it only
# checks, which takes a moment. With --fuzz it also installs what make fuzz
# needs.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/emulation.sh

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

missing_packages() {
    local package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
            echo "$package"
        fi
    done
}

install_packages() {
    local missing
    mapfile -t missing < <(missing_packages "$@")
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "setup: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    export DEBIAN_FRONTEND=noninteractive
    if [ -z "${apt_updated:-}" ]; then
        $sudo apt-get update -qq
        apt_updated=1
    fi
    $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

# binfmt_misc hands every i386 program (and every program it starts) to the
# emulator; the kernel forgets the entry at reboot, so it is checked each time.
register_i386_emulator() {
    local binfmt=/proc/sys/fs/binfmt_misc
    if [ ! -e "$binfmt/register" ]; then
        $sudo mount -t binfmt_misc binfmt_misc "$binfmt"
    fi
    if [ -e "$binfmt/qemu-i386" ]; then
        echo 1 | $sudo tee "$binfmt/qemu-i386" >/dev/null
        return
    fi
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
        $sudo tee "$binfmt/register" >/dev/null
}

# The fixes for 32-bit Wine, and an empty 64-bit twin, so that the 64-bit
# programs Wine's scripts start find something to preload too.
build_wine_fixes() {
    local i386_library="${emulation_dir}/lib/i386-linux-gnu/${wine_fixes_name}"
    local amd64_library="${emulation_dir}/lib/x86_64-linux-gnu/${wine_fixes_name}"
    if [ "$i386_library" -nt "$wine_fixes_source" ] && [ -f "$amd64_library" ]; then
        return
    fi
    mkdir -p "$(dirname "$i386_library")" "$(dirname "$amd64_library")"
    gcc -m32 -O2 -Wall -Wextra -shared -fPIC "$wine_fixes_source" -o "$i386_library" -ldl -lpthread
    gcc -O2 -shared -fPIC -x c /dev/null -o "$amd64_library"
}

install_packages \
    cmake make gcc g++ g++-multilib \
    g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 \
    googletest \
    libstb-dev fonts-dejavu-core libbenchmark-dev:i386 \
    zip unzip \
    wine wine32:i386

# make fuzz alone needs clang with its 32-bit libFuzzer and sanitizer run times.
if [ "${1:-}" = "--fuzz" ]; then
    install_packages clang libclang-rt-14-dev
fi

if i386_runs_natively; then
    echo "setup: 32-bit programs run natively"
    exit 0
fi
# Wine under the emulator needs Wine's own preloader to find its memory.
install_packages qemu-user-static wine32-preloader:i386
register_i386_emulator
if ! i386_runs_emulated; then
    echo "setup: this kernel runs no 32-bit programs and the emulator could not be registered" >&2
    exit 1
fi
build_wine_fixes
echo "setup: 32-bit programs run through qemu user-mode emulation (the kernel's 32-bit support is off)"
