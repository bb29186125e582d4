// Drives the real program from outside, as a user would, and writes what it
// sees to stdout so that a case file can compare the transcript word for
// word. The arguments are steps, run in order:
//
//   start [hidden]    start volume-tarrow.exe from this program's directory
//                     (hidden: STARTF_USESHOWWINDOW with SW_HIDE) and wait
//                     until its window and status bar exist
//   window            class, title, style, visibility, status bar identity
//   inspect           class fields and both menus, read from inside the
//                     program by menu_reader.dll
//   error-mode        the program's error mode, read from inside it by
//                     error_mode.dll
//   status            the status bar's text
//   send ID           WM_COMMAND ID, waiting until the command has run
//   took-at-least MS  whether the last send took at least MS milliseconds
//   post ID           WM_COMMAND ID, not waiting (for commands that open a box)
//   box               wait for a message box of the program, print its
//                     caption and text, press OK
//   box-head N        the same, with only the first N lines of the text and
//                     code addresses shown as 0x########
//   close-box         the window's close box (WM_SYSCOMMAND SC_CLOSE)
//   resize W H        resize the window from here; report where the status bar lies
//   alive             whether the window still exists
//   wait-exit         wait for the program to end and print its exit code
//   entries PATTERN   the names FindFirstFileA/FindNextFileA return, in their
//                     order (so that a case can check the order it expects)
//
// A step that cannot be done (no window, a timeout) ends the driver with exit
// code 1 and ends the program too.
#include <windows.h>
#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kWaitMilliseconds = 30000;
// A drive command sleeps a second and then walks a whole drive.
constexpr UINT kCommandMilliseconds = 120000;

PROCESS_INFORMATION program{};
HWND mainWindow = nullptr;
HWND statusWindow = nullptr;
std::string directory; // this driver's directory, with a trailing backslash
DWORD lastSendMilliseconds = 0;

[[noreturn]] void Fail(const char *format, const char *detail = "") {
    std::fprintf(stdout, "driver: ");
    std::fprintf(stdout, format, detail);
    std::fprintf(stdout, "\n");
    std::fflush(stdout);
    if (program.hProcess != nullptr) TerminateProcess(program.hProcess, 99);
    std::exit(1);
}

std::string OwnDirectory() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    return text.substr(0, text.rfind('\\') + 1);
}

// Control characters written as \r, \n and \t so that a box's line breaks show.
std::string Visible(const std::string &text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return out;
}

bool ProgramEnded() { return WaitForSingleObject(program.hProcess, 0) == WAIT_OBJECT_0; }

HWND FindProgramWindow() {
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "Tarrow", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == program.dwProcessId) return window;
    }
    return nullptr;
}

void Start(bool hidden) {
    std::string exe = directory + "volume-tarrow.exe";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (hidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    if (!CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &program))
        Fail("cannot start %s", exe.c_str());
    // The status bar is made last, after the window has been shown twice.
    DWORD started = GetTickCount();
    while (GetTickCount() - started < kWaitMilliseconds) {
        if (ProgramEnded()) Fail("the program ended during start-up");
        mainWindow = FindProgramWindow();
        // A program started earlier by this driver may have left its handles here.
        statusWindow = mainWindow != nullptr ? FindWindowExA(mainWindow, nullptr, STATUSCLASSNAMEA, nullptr) : nullptr;
        if (statusWindow != nullptr) {
            // The status bar exists before it has sized itself; once the
            // program answers a message, start-up is over and the loop runs.
            DWORD_PTR result = 0;
            SendMessageTimeoutA(mainWindow, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMilliseconds, &result);
            return;
        }
        Sleep(20);
    }
    Fail("no window with a status bar after start-up");
}

void RequireWindow() {
    if (mainWindow == nullptr) Fail("no program started");
}

void PrintWindow() {
    RequireWindow();
    char text[256] = {};
    GetClassNameA(mainWindow, text, sizeof text);
    std::printf("class: %s\n", text);
    GetWindowTextA(mainWindow, text, sizeof text);
    std::printf("title: \"%s\"\n", text);
    HWND byTitle = FindWindowA("Tarrow", "Volume Tarrowv1.0");
    std::printf("found by class and title: %s\n", byTitle == mainWindow ? "yes" : "no");
    LONG style = GetWindowLongA(mainWindow, GWL_STYLE);
    std::printf("overlapped window: %s\n", (style & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW ? "yes" : "no");
    std::printf("visible: %s\n", IsWindowVisible(mainWindow) ? "yes" : "no");
    GetClassNameA(statusWindow, text, sizeof text);
    std::printf("status bar: %s, child id 0x%X, %s\n", text, GetDlgCtrlID(statusWindow),
                IsWindowVisible(statusWindow) ? "visible" : "hidden");
}

// Loads NAME.dll into the program, which writes NAME.txt beside itself, and
// copies that report to stdout.
void ReportFromInside(const char *name) {
    RequireWindow();
    std::string dll = directory + name + ".dll";
    std::string report = directory + name + ".txt";
    DeleteFileA(report.c_str());
    void *remotePath = VirtualAllocEx(program.hProcess, nullptr, dll.size() + 1, MEM_COMMIT | MEM_RESERVE,
                                      PAGE_READWRITE);
    if (remotePath == nullptr || !WriteProcessMemory(program.hProcess, remotePath, dll.c_str(), dll.size() + 1, nullptr))
        Fail("cannot write the DLL path into the program");
    // kernel32 lies at the same address in every process of the prefix.
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void *>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    HANDLE thread = CreateRemoteThread(program.hProcess, nullptr, 0, loadLibrary, remotePath, 0, nullptr);
    if (thread == nullptr) Fail("cannot start a thread in the program");
    if (WaitForSingleObject(thread, kWaitMilliseconds) != WAIT_OBJECT_0) Fail("%s.dll did not finish", name);
    CloseHandle(thread);
    VirtualFreeEx(program.hProcess, remotePath, 0, MEM_RELEASE);
    FILE *in = std::fopen(report.c_str(), "rb");
    if (in == nullptr) Fail("%s.dll wrote no report", name);
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) std::fwrite(buffer, 1, n, stdout);
    std::fclose(in);
}

std::string StatusText() {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(statusWindow, SB_GETTEXTLENGTHA, 0, 0, SMTO_NORMAL, kWaitMilliseconds, &length))
        Fail("the status bar does not answer");
    std::vector<char> text(LOWORD(length) + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(statusWindow, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_NORMAL, kWaitMilliseconds, &copied))
        Fail("the status bar does not answer");
    return std::string(text.data());
}

void PrintStatus() {
    RequireWindow();
    std::printf("status: \"%s\"\n", StatusText().c_str());
}

WPARAM CommandId(const char *text) {
    char *end = nullptr;
    unsigned long id = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0') Fail("not a command identifier: %s", text);
    return id;
}

void Send(const char *id) {
    RequireWindow();
    DWORD_PTR result = 0;
    DWORD started = GetTickCount();
    if (!SendMessageTimeoutA(mainWindow, WM_COMMAND, CommandId(id), 0, SMTO_NORMAL, kCommandMilliseconds, &result))
        Fail("command %s did not return", id);
    lastSendMilliseconds = GetTickCount() - started;
}

void TookAtLeast(const char *milliseconds) {
    DWORD least = static_cast<DWORD>(std::strtoul(milliseconds, nullptr, 10));
    std::printf("took at least %lu ms: %s\n", least, lastSendMilliseconds >= least ? "yes" : "no");
}

void Post(const char *id) {
    RequireWindow();
    if (!PostMessageA(mainWindow, WM_COMMAND, CommandId(id), 0)) Fail("cannot post command %s", id);
}

struct BoxSearch {
    DWORD processId;
    HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    auto *search = reinterpret_cast<BoxSearch *>(parameter);
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && std::strcmp(name, "#32770") == 0 && IsWindowVisible(window)) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

// Code addresses differ from build to build.
std::string MaskAddresses(const std::string &text) {
    std::string out = text;
    for (size_t at = out.find("0x"); at != std::string::npos; at = out.find("0x", at + 2)) {
        size_t digits = 0;
        while (at + 2 + digits < out.size() && std::isxdigit(static_cast<unsigned char>(out[at + 2 + digits])))
            ++digits;
        if (digits == 8) out.replace(at + 2, 8, "########");
    }
    return out;
}

// The first n lines of a text whose lines end in CR LF, each with its line end.
std::string FirstLines(const std::string &text, int n) {
    size_t end = 0;
    for (int i = 0; i < n && end != std::string::npos; ++i) {
        end = text.find("\r\n", end);
        if (end != std::string::npos) end += 2;
    }
    return end == std::string::npos ? text : text.substr(0, end);
}

void AnswerBox(int headLines) {
    RequireWindow();
    BoxSearch search{program.dwProcessId, nullptr};
    DWORD started = GetTickCount();
    while (search.box == nullptr) {
        if (GetTickCount() - started > kWaitMilliseconds) Fail("no message box appeared");
        if (ProgramEnded()) Fail("the program ended without a message box");
        Sleep(20);
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
    }
    char caption[256] = {};
    GetWindowTextA(search.box, caption, sizeof caption);
    std::vector<char> text(4096, '\0');
    GetDlgItemTextA(search.box, 0xFFFF, text.data(), static_cast<int>(text.size()));
    std::string body(text.data());
    if (headLines > 0) body = MaskAddresses(FirstLines(body, headLines));
    HWND owner = GetWindow(search.box, GW_OWNER);
    std::printf("box caption: \"%s\"\n", caption);
    std::printf("box text: \"%s\"\n", Visible(body).c_str());
    std::printf("box owner: %s\n", owner == mainWindow ? "the main window" : owner == nullptr ? "none" : "other");
    PostMessageA(search.box, WM_COMMAND, IDOK, 0);
    // Gone when the box's modal loop has ended.
    started = GetTickCount();
    while (IsWindow(search.box)) {
        if (GetTickCount() - started > kWaitMilliseconds) Fail("the message box did not close");
        Sleep(20);
    }
}

void CloseBox() {
    RequireWindow();
    if (!PostMessageA(mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0)) Fail("cannot post SC_CLOSE");
}

RECT ClientRectOf(HWND window, HWND in) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, in, reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

void Resize(const char *widthText, const char *heightText) {
    RequireWindow();
    int width = std::atoi(widthText), height = std::atoi(heightText);
    RECT before = ClientRectOf(statusWindow, mainWindow);
    if (!SetWindowPos(mainWindow, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
        Fail("SetWindowPos failed");
    // The program has handled WM_SIZE once it answers a later message.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(mainWindow, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMilliseconds, &result);
    RECT window, client;
    GetWindowRect(mainWindow, &window);
    GetClientRect(mainWindow, &client);
    RECT status = ClientRectOf(statusWindow, mainWindow);
    bool along = status.left == 0 && status.right == client.right && status.bottom == client.bottom &&
                 status.bottom - status.top == before.bottom - before.top;
    std::printf("resize %dx%d: window %ldx%ld, ", width, height, window.right - window.left, window.bottom - window.top);
    if (along)
        std::printf("status bar along the client area's bottom edge at full width\n");
    else
        std::printf("status bar at (%ld,%ld)-(%ld,%ld), client area %ldx%ld, height was %ld\n", status.left,
                    status.top, status.right, status.bottom, client.right, client.bottom,
                    before.bottom - before.top);
}

void PrintAlive() {
    RequireWindow();
    std::printf("window: %s\n", IsWindow(mainWindow) && !ProgramEnded() ? "open" : "gone");
}

void WaitExit() {
    RequireWindow();
    if (WaitForSingleObject(program.hProcess, kWaitMilliseconds) != WAIT_OBJECT_0) Fail("the program did not end");
    DWORD code = 0;
    GetExitCodeProcess(program.hProcess, &code);
    std::printf("exit code: %lu\n", code);
}

void PrintEntries(const char *pattern) {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA(pattern, &data);
    std::printf("entries of %s:", pattern);
    if (search != INVALID_HANDLE_VALUE) {
        do std::printf(" %s", data.cFileName);
        while (FindNextFileA(search, &data));
        FindClose(search);
    }
    std::printf("\n");
}

} // namespace

int main(int argc, char **argv) {
    // The transcript is compared byte for byte: no CR before each LF.
    _setmode(_fileno(stdout), _O_BINARY);
    directory = OwnDirectory();
    for (int i = 1; i < argc; ++i) {
        std::string step = argv[i];
        auto argument = [&]() -> const char * {
            if (i + 1 >= argc) Fail("step %s needs an argument", step.c_str());
            return argv[++i];
        };
        if (step == "start") {
            bool hidden = i + 1 < argc && std::strcmp(argv[i + 1], "hidden") == 0;
            if (hidden) ++i;
            Start(hidden);
        } else if (step == "window") {
            PrintWindow();
        } else if (step == "inspect") {
            ReportFromInside("menu_reader");
        } else if (step == "error-mode") {
            ReportFromInside("error_mode");
        } else if (step == "status") {
            PrintStatus();
        } else if (step == "send") {
            Send(argument());
        } else if (step == "took-at-least") {
            TookAtLeast(argument());
        } else if (step == "entries") {
            PrintEntries(argument());
        } else if (step == "post") {
            Post(argument());
        } else if (step == "box") {
            AnswerBox(0);
        } else if (step == "box-head") {
            AnswerBox(std::atoi(argument()));
        } else if (step == "close-box") {
            CloseBox();
        } else if (step == "resize") {
            const char *width = argument();
            Resize(width, argument());
        } else if (step == "alive") {
            PrintAlive();
        } else if (step == "wait-exit") {
            WaitExit();
        } else {
            Fail("unknown step %s", step.c_str());
        }
        std::fflush(stdout);
    }
    return 0;
}
