// The program's entry: the process start-up that comes before the window
// (fault handler, instance handle, start-up show value, the out-of-memory
// failure, the locale's date and time settings), then the main window.
#include <windows.h>

#include "catalogue/directory_walk.h"
#include "shell/failure_report.h"
#include "shell/main_window.h"

namespace {

// A walk keeps the window from answering for as long as it lasts. Without
// this, Windows would put a frozen "not responding" copy over the window after
// a few seconds and the status bar's progress would no longer be seen. Looked
// up by name so that the program still starts where user32 lacks it.
void KeepWindowVisibleWhileBusy() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (user32 == nullptr) return;
    using DisableGhosting = void(WINAPI *)();
    auto disable = reinterpret_cast<DisableGhosting>(
        reinterpret_cast<void *>(GetProcAddress(user32, "DisableProcessWindowsGhosting")));
    if (disable != nullptr) disable();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    InstallFaultHandler();

    HINSTANCE instance = GetModuleHandleA(nullptr);
    // Taken whether or not STARTF_USESHOWWINDOW is set: start-up shows the
    // window a second time with SW_SHOW anyway.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int startupShowValue = startup.wShowWindow;

    PrepareOutOfMemory();
    ReadDateTimeSettings();
    KeepWindowVisibleWhileBusy();

    RunProgram(instance, startupShowValue);
}
