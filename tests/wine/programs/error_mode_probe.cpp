// The program's start-up step that quiets critical-error boxes, on a process
// whose error mode already holds other bits: for each hexadecimal mode on
// the command line, sets it, runs QuietCriticalErrors and prints the mode
// the process then has.
//
//   error_mode_probe MODE...
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>

#include "shell/main_window.h"

int main(int argc, char **argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    for (int i = 1; i < argc; ++i) {
        UINT before = static_cast<UINT>(std::strtoul(argv[i], nullptr, 16));
        SetErrorMode(before);
        QuietCriticalErrors();
        std::printf("0x%04X becomes 0x%04X\n", before, GetErrorMode());
    }
    return 0;
}
