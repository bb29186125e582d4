// Times the program's drive command from outside, as the benchmark needs it:
// starts volume-tarrow.exe, sends the drive item's WM_COMMAND and measures
// until the call returns; also reads the program's memory counters and times
// other commands (cmd's dir) the same way. Steps run in order:
//
//   start            start volume-tarrow.exe from this program's directory
//                    and wait until its window and status bar exist
//   list ID          SendMessageTimeoutA(WM_COMMAND, ID); prints
//                    "list ID milliseconds T" (T includes the command's
//                    one-second wait)
//   memory LABEL     prints "memory LABEL working-set K peak-working-set K
//                    private K peak-private K" (KiB) of the program
//   quit             "E&xit" (WM_COMMAND 100); waits for the program to end
//   run COMMAND-LINE runs a command line to its end; prints
//                    "run milliseconds T exit C"
//
// A step that cannot be done ends the driver with exit code 1.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kWaitMilliseconds = 30000;
constexpr UINT kCommandMilliseconds = 600000;

PROCESS_INFORMATION program{};
HWND mainWindow = nullptr;

[[noreturn]] void Fail(const char *format, const char *detail = "") {
    std::printf("bench_driver: ");
    std::printf(format, detail);
    std::printf("\n");
    std::fflush(stdout);
    if (program.hProcess != nullptr) TerminateProcess(program.hProcess, 99);
    std::exit(1);
}

double Milliseconds(const LARGE_INTEGER &from, const LARGE_INTEGER &to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

HWND FindProgramWindow() {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "Tarrow", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == program.dwProcessId) return window;
    }
    return nullptr;
}

void Start() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string exe(path, length);
    exe = exe.substr(0, exe.rfind('\\') + 1) + "volume-tarrow.exe";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &program))
        Fail("cannot start %s", exe.c_str());
    DWORD started = GetTickCount();
    while (GetTickCount() - started < kWaitMilliseconds) {
        if (WaitForSingleObject(program.hProcess, 0) == WAIT_OBJECT_0) Fail("the program ended during start-up");
        mainWindow = FindProgramWindow();
        if (mainWindow != nullptr && FindWindowExA(mainWindow, nullptr, STATUSCLASSNAMEA, nullptr) != nullptr) return;
        Sleep(20);
    }
    Fail("no window with a status bar after start-up");
}

void List(const char *id) {
    if (mainWindow == nullptr) Fail("no program started");
    DWORD_PTR result = 0;
    LARGE_INTEGER started, ended;
    QueryPerformanceCounter(&started);
    if (!SendMessageTimeoutA(mainWindow, WM_COMMAND, std::strtoul(id, nullptr, 10), 0, SMTO_NORMAL,
                             kCommandMilliseconds, &result))
        Fail("command %s did not return", id);
    QueryPerformanceCounter(&ended);
    std::printf("list %s milliseconds %.3f\n", id, Milliseconds(started, ended));
}

void Memory(const char *label) {
    if (program.hProcess == nullptr) Fail("no program started");
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!K32GetProcessMemoryInfo(program.hProcess, &counters, sizeof counters)) Fail("no memory counters");
    std::printf("memory %s working-set %llu peak-working-set %llu private %llu peak-private %llu\n", label,
                static_cast<unsigned long long>(counters.WorkingSetSize / 1024),
                static_cast<unsigned long long>(counters.PeakWorkingSetSize / 1024),
                static_cast<unsigned long long>(counters.PagefileUsage / 1024),
                static_cast<unsigned long long>(counters.PeakPagefileUsage / 1024));
}

void Quit() {
    if (mainWindow == nullptr) Fail("no program started");
    PostMessageA(mainWindow, WM_COMMAND, 100, 0);
    if (WaitForSingleObject(program.hProcess, kWaitMilliseconds) != WAIT_OBJECT_0) Fail("the program did not end");
    CloseHandle(program.hProcess);
    CloseHandle(program.hThread);
    program = PROCESS_INFORMATION{};
    mainWindow = nullptr;
}

void Run(const char *commandLine) {
    std::string line = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER started, ended;
    QueryPerformanceCounter(&started);
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        Fail("cannot run %s", commandLine);
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&ended);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    std::printf("run milliseconds %.3f exit %lu\n", Milliseconds(started, ended), code);
}

} // namespace

int main(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        std::string step = argv[i];
        auto argument = [&]() -> const char * {
            if (i + 1 >= argc) Fail("step %s needs an argument", step.c_str());
            return argv[++i];
        };
        if (step == "start") Start();
        else if (step == "list") List(argument());
        else if (step == "memory") Memory(argument());
        else if (step == "quit") Quit();
        else if (step == "run") Run(argument());
        else Fail("unknown step %s", step.c_str());
        std::fflush(stdout);
    }
    return 0;
}
