// Injected into the running program by the end-to-end driver (LoadLibraryA
// in a remote thread): writes the process's error mode, as the program set
// it during start-up, to error_mode.txt beside this DLL.
#include <windows.h>

#include <cstdio>
#include <cstring>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    char *dot = std::strrchr(path, '.');
    if (length == 0 || dot == nullptr) return TRUE;
    std::strcpy(dot, ".txt");
    FILE *out = std::fopen(path, "wb");
    if (out == nullptr) return TRUE;
    std::fprintf(out, "error mode: 0x%04X\n", GetErrorMode());
    std::fclose(out);
    return TRUE;
}
