// Runs a program, answers every message box it shows and records the boxes
// and the program's exit code, for tests of what a program shows on its way
// out. Any test that needs a program's boxes answered can use it.
//
//   box_driver [--button ID] [--timeout SECONDS] RECORD-DIR PROGRAM [ARGS...]
//
// RECORD-DIR (made if missing) receives, for the N-th box (from 1):
//   boxN.caption   its caption (GetWindowTextA), bytes as they are
//   boxN.text      its text (GetDlgItemTextA(box, 0xFFFF)), bytes as they are
// and at the end:
//   boxes          the number of boxes, in decimal, and a line feed
//   exit           the program's exit code in decimal and a line feed, or
//                  "timeout" when it was still running after the timeout
//                  (it is then ended with exit code 1)
// Each box is answered with PostMessageA(box, WM_COMMAND, ID, 0); ID is IDOK
// (1) unless --button says otherwise. The timeout defaults to 60 seconds.
// A box is a visible top-level window of class #32770 belonging to the
// program's process; each one is answered once, also when boxes are nested.
// The driver exits with 0 when it recorded the program's end, 1 when the
// program timed out, 2 when it could not start or record.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Driver {
    DWORD processId = 0;
    WPARAM button = IDOK;
    std::string recordDir;
    HWND answered[1024] = {};
    int boxCount = 0;
    bool failed = false;
};

bool WriteWholeFile(const std::string &path, const char *bytes, size_t size) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    bool ok = std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && ok;
}

bool WriteWholeFile(const std::string &path, const std::string &text) {
    return WriteWholeFile(path, text.data(), text.size());
}

bool AlreadyAnswered(const Driver &driver, HWND window) {
    for (int i = 0; i < driver.boxCount && i < 1024; ++i)
        if (driver.answered[i] == window) return true;
    return false;
}

void Record(Driver &driver, HWND box) {
    int number = ++driver.boxCount;
    if (number <= 1024) driver.answered[number - 1] = box;
    char caption[1024] = {};
    int captionLength = GetWindowTextA(box, caption, sizeof caption);
    static char text[65536];
    UINT textLength = GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::string base = driver.recordDir + "\\box" + std::to_string(number);
    if (!WriteWholeFile(base + ".caption", caption, static_cast<size_t>(captionLength < 0 ? 0 : captionLength)) ||
        !WriteWholeFile(base + ".text", text, textLength))
        driver.failed = true;
    PostMessageA(box, WM_COMMAND, driver.button, 0);
}

BOOL CALLBACK VisitWindow(HWND window, LPARAM parameter) {
    Driver &driver = *reinterpret_cast<Driver *>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != driver.processId || !IsWindowVisible(window)) return TRUE;
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0 || AlreadyAnswered(driver, window)) return TRUE;
    Record(driver, window);
    return TRUE;
}

// An argument as the C runtime of the started program will split it again.
std::string Quoted(const char *argument) {
    if (*argument != '\0' && std::strpbrk(argument, " \t\"") == nullptr) return argument;
    std::string quoted = "\"";
    int backslashes = 0;
    for (const char *c = argument; *c != '\0'; ++c) {
        if (*c == '\\') {
            ++backslashes;
            continue;
        }
        if (*c == '"') quoted.append(static_cast<size_t>(backslashes) * 2 + 1, '\\');
        else quoted.append(static_cast<size_t>(backslashes), '\\');
        backslashes = 0;
        quoted += *c;
    }
    quoted.append(static_cast<size_t>(backslashes) * 2, '\\');
    return quoted + "\"";
}

int Usage() {
    std::fprintf(stderr, "usage: box_driver [--button ID] [--timeout SECONDS] RECORD-DIR PROGRAM [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    static Driver driver;
    DWORD timeoutMilliseconds = 60000;
    int next = 1;
    while (next < argc && std::strncmp(argv[next], "--", 2) == 0) {
        if (next + 1 >= argc) return Usage();
        if (std::strcmp(argv[next], "--button") == 0) driver.button = std::strtoul(argv[next + 1], nullptr, 0);
        else if (std::strcmp(argv[next], "--timeout") == 0)
            timeoutMilliseconds = static_cast<DWORD>(std::strtoul(argv[next + 1], nullptr, 10) * 1000);
        else return Usage();
        next += 2;
    }
    if (argc - next < 2) return Usage();
    driver.recordDir = argv[next];
    CreateDirectoryA(driver.recordDir.c_str(), nullptr);

    std::string commandLine;
    for (int i = next + 1; i < argc; ++i) {
        if (!commandLine.empty()) commandLine += ' ';
        commandLine += Quoted(argv[i]);
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::fprintf(stderr, "box_driver: cannot start %s (error %lu)\n", commandLine.c_str(), GetLastError());
        return 2;
    }
    CloseHandle(process.hThread);
    driver.processId = process.dwProcessId;

    DWORD started = GetTickCount();
    bool timedOut = false;
    for (;;) {
        EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&driver));
        if (WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0) break;
        if (GetTickCount() - started > timeoutMilliseconds) {
            TerminateProcess(process.hProcess, 1);
            WaitForSingleObject(process.hProcess, 5000);
            timedOut = true;
            break;
        }
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);

    if (!WriteWholeFile(driver.recordDir + "\\boxes", std::to_string(driver.boxCount) + "\n") ||
        !WriteWholeFile(driver.recordDir + "\\exit", timedOut ? std::string("timeout\n") : std::to_string(exitCode) + "\n"))
        driver.failed = true;
    if (driver.failed) {
        std::fprintf(stderr, "box_driver: cannot write the record in %s\n", driver.recordDir.c_str());
        return 2;
    }
    return timedOut ? 1 : 0;
}
