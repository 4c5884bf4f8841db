/* The host executable: its image section is where the stand-in lays out the
   game's code and data; everything else happens in hostsim.dll. */

#include <stdio.h>
#include <windows.h>

__asm__(".section .hostimg,\"bwx\"\n.space 0x1500000\n.text");

typedef int(__cdecl* HostsimMain)(int argc, char** argv);

int main(int argc, char** argv) {
    HMODULE dll = LoadLibraryA("hostsim.dll");
    if (dll == NULL) {
        fprintf(stderr, "hostsim: cannot load hostsim.dll (error %lu)\n", GetLastError());
        return 3;
    }
    HostsimMain entry = (HostsimMain)(void*)GetProcAddress(dll, "hostsim_main");
    if (entry == NULL) {
        fprintf(stderr, "hostsim: hostsim.dll has no hostsim_main\n");
        return 3;
    }
    return entry(argc, argv);
}
