# Sourced by the scripts that need to know how 32-bit programs run here.
#
# Some machines boot with the kernel's 32-bit support switched off: every i386
# program fails with "Exec format error". There, qemu's user-mode emulator is
# registered for i386 programs, and 32-bit Wine gets a small preloaded library
# (scripts/emulation/wine_qemu_fixes.c) that mends what the emulator gets wrong.

emulation_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/emulation"
native_probe="${emulation_dir}/i386-probe-native"
emulated_probe="${emulation_dir}/i386-probe"
wine_fixes_source="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/emulation/wine_qemu_fixes.c"
wine_fixes_name="libwine-qemu-fixes.so"
# The dynamic loader reads $LIB as lib/i386-linux-gnu in 32-bit programs and as
# lib/x86_64-linux-gnu in 64-bit ones, so only 32-bit Wine gets the fixes.
wine_fixes_preload="${emulation_dir}/\$LIB/${wine_fixes_name}"

# A static i386 program of 96 bytes that exits with 42. The last padding byte
# of the identification is the only thing the two forms differ in: the kernel
# ignores it, the emulator's binfmt_misc entry (which wants it 0) does not, so
# the native form runs only where the kernel itself runs i386 programs.
write_i386_probe() {
    local path="$1" last_padding_byte="$2"
    mkdir -p "$(dirname "$path")"
    {
        printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00'
        printf "\\x${last_padding_byte}"
        printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
        printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'
        printf '\x00\x00\x00\x00'
        # one loadable segment: the whole file at 0x08048000, readable and executable
        printf '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
        printf '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
        # mov ebx, 42; mov eax, 1 (exit); int 0x80
        printf '\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80'
    } >"$path"
    chmod +x "$path"
}

probe_exits_42() {
    local status=0
    "$1" 2>/dev/null || status=$?
    [ "$status" -eq 42 ]
}

i386_runs_natively() {
    [ -x "$native_probe" ] || write_i386_probe "$native_probe" 01
    probe_exits_42 "$native_probe"
}

i386_runs_emulated() {
    [ -x "$emulated_probe" ] || write_i386_probe "$emulated_probe" 00
    probe_exits_42 "$emulated_probe"
}
