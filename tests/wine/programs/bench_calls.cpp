// What each platform call the drive command makes per file costs where it
// runs, for the benchmark's account of where the time goes. Makes a window
// with a status bar like the program's and times each call many times over.
//
//   bench_calls [COUNT]      (default 20000)
//
// Prints "CALL microseconds-per-call M" per line.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1e6 / static_cast<double>(frequency.QuadPart);
}

void Report(const char *call, double started, int count) {
    std::printf("%s microseconds-per-call %.3f\n", call, (Now() - started) / count);
    std::fflush(stdout);
}

// A different path each time, as the walk's status texts are.
void PathText(char (&text)[256], int i) {
    std::snprintf(text, sizeof text, " D:\\holiday photos 2019\\summer\\report draft %d.docx", i);
}

} // namespace

int main(int argc, char **argv) {
    int count = argc > 1 ? std::atoi(argv[1]) : 20000;
    if (count < 1) count = 1;

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = "BenchCalls";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "BenchCalls", "bench", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    HWND status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Ready...", window, 0x7712);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);

    char text[256];
    double started = Now();
    for (int i = 0; i < count; ++i) {
        PathText(text, i);
        SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    }
    Report("SendMessageA(SB_SETTEXTA)", started, count);

    started = Now();
    for (int i = 0; i < count; ++i) {
        PathText(text, i);
        SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        UpdateWindow(status);
    }
    Report("SendMessageA(SB_SETTEXTA)+UpdateWindow", started, count);

    started = Now();
    for (int i = 0; i < count; ++i) {
        PathText(text, i);
        SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
        UpdateWindow(status);
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    Report("SendMessageA(SB_SETTEXTA)+messages", started, count);

    // Redrawing switched off: the text is kept, nothing is painted.
    SendMessageA(status, WM_SETREDRAW, FALSE, 0);
    started = Now();
    for (int i = 0; i < count; ++i) {
        PathText(text, i);
        SendMessageA(status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    }
    Report("SendMessageA(SB_SETTEXTA),WM_SETREDRAW-off", started, count);
    SendMessageA(status, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(status, nullptr, TRUE);
    UpdateWindow(status);

    started = Now();
    for (int i = 0; i < count; ++i) {
        PathText(text, i);
        SendMessageA(window, WM_NULL, 0, reinterpret_cast<LPARAM>(text));
    }
    Report("SendMessageA(WM_NULL)", started, count);

    started = Now();
    for (int i = 0; i < count; ++i) UpdateWindow(status);
    Report("UpdateWindow(nothing-invalid)", started, count);

    started = Now();
    for (int i = 0; i < count / 10 + 1; ++i) {
        InvalidateRect(status, nullptr, FALSE);
        UpdateWindow(status);
    }
    Report("InvalidateRect+UpdateWindow(status-bar-paint)", started, count / 10 + 1);

    volatile DWORD sink = 0;
    started = Now();
    for (int i = 0; i < count; ++i) sink = sink + GetTickCount();
    Report("GetTickCount", started, count);

    // The status bar's fine clock, read twice around each status text.
    LARGE_INTEGER counter;
    started = Now();
    for (int i = 0; i < count; ++i) {
        QueryPerformanceCounter(&counter);
        sink = sink + counter.LowPart;
    }
    Report("QueryPerformanceCounter", started, count);

    FILETIME utc{0xD53E8000u, 0x01C3D9A0u}, local;
    started = Now();
    for (int i = 0; i < count; ++i) {
        utc.dwLowDateTime += 20000000;
        FileTimeToLocalFileTime(&utc, &local);
    }
    Report("FileTimeToLocalFileTime", started, count);

    WORD date, time;
    started = Now();
    for (int i = 0; i < count; ++i) {
        local.dwLowDateTime += 20000000;
        FileTimeToDosDateTime(&local, &date, &time);
    }
    Report("FileTimeToDosDateTime", started, count);

    HANDLE file = CreateFileA("c:\\bench_calls.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    char buffer[256];
    std::memset(buffer, 'x', sizeof buffer);
    DWORD written = 0;
    started = Now();
    for (int i = 0; i < count; ++i) WriteFile(file, buffer, sizeof buffer, &written, nullptr);
    Report("WriteFile(256-bytes)", started, count);
    CloseHandle(file);

    file = CreateFileA("c:\\bench_calls.tmp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    static char big[65536];
    std::memset(big, 'x', sizeof big);
    started = Now();
    for (int i = 0; i < count / 64 + 1; ++i) WriteFile(file, big, sizeof big, &written, nullptr);
    Report("WriteFile(64-KiB)", started, count / 64 + 1);
    CloseHandle(file);
    DeleteFileA("c:\\bench_calls.tmp");

    WIN32_FIND_DATAA data;
    started = Now();
    for (int i = 0; i < count / 10 + 1; ++i) {
        HANDLE search = FindFirstFileA("c:\\windows\\system32\\kernel32.dll", &data);
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
    }
    Report("FindFirstFileA(exact-path)+FindClose", started, count / 10 + 1);

    DestroyWindow(window);
    return 0;
}
