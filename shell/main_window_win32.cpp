// The main window on Win32: class registration, the window with its menus and
// status bar, the window procedure and the message loop.
#include "shell/main_window.h"

#include <windows.h>

#include <new>

#include "catalogue/drive_table.h"
#include "shell/failure_report.h"
#include "shell/status_line.h"

namespace {

HMENU BuildDropDown(const std::vector<MenuEntry> &entries) {
    HMENU menu = CreatePopupMenu();
    for (const MenuEntry &entry : entries) {
        if (entry.text == nullptr)
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING, entry.id, entry.text);
    }
    return menu;
}

HMENU BuildMenuBar() {
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildDropDown(ComposeFilesMenu())), "&Files");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildDropDown(ComposeHelpMenu())), "&Help");
    return bar;
}

void RunCommand(HWND window, uint16_t commandId) {
    switch (ActionForCommand(commandId)) {
    case CommandAction::CloseWindow:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case CommandAction::ListDrive:
        RunDriveCommand(commandId);
        break;
    case CommandAction::ShowIndex:
        MessageBoxA(window, kIndexText, kIndexCaption, MB_ICONEXCLAMATION | MB_OK);
        break;
    case CommandAction::ShowAbout:
        MessageBoxA(window, kAboutText, kAboutCaption, MB_OK);
        break;
    case CommandAction::Nothing:
        break;
    }
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        // Sizes that arrive while the window is being created and first shown
        // come before the status bar exists.
        if (StatusBar != nullptr) PlaceStatusBar(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_PAINT: {
        // Nothing is drawn: the class's grey background is the whole picture.
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_COMMAND:
        RunCommand(window, LOWORD(wParam));
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // An exception cannot unwind through user32's frames (the i686 program
    // would end without a word). None is expected: our code throws none, and
    // a failed allocation raises the failure report through the new handler.
    // Anything the library still throws is about memory, and is reported so.
    try {
        return HandleMessage(window, message, wParam, lParam);
    } catch (...) {
        RaiseFailure("Out of memory", reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
    }
}

} // namespace

void QuietCriticalErrors() {
    // SetErrorMode returns the mode it replaces; GetErrorMode is missing
    // before Windows Vista.
    SetErrorMode(SetErrorMode(0) | SEM_FAILCRITICALERRORS);
}

void RunProgram(void *instance, int startupShowValue) {
    HINSTANCE module = static_cast<HINSTANCE>(instance);

    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProcedure;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = module;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszMenuName = kMenuName;
    windowClass.lpszClassName = kClassName;
    if (static_cast<uint16_t>(RegisterClassA(&windowClass)) == 0) {
        MessageBoxA(nullptr, kRegisterFailedText, nullptr, MB_OK);
        EndProcess(0);
    }

    QuietCriticalErrors();
    // The "&Files" menu is built from the drive table, so it is filled before the window exists.
    ScanDrives();

    HWND window = CreateWindowExA(0, kClassName, kWindowTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, module, nullptr);
    MainWindow = window;
    if (window == nullptr) {
        MessageBoxA(nullptr, kCreateFailedText, nullptr, MB_OK);
        EndProcess(0);
    }

    SetMenu(window, BuildMenuBar());
    // The start-up value may hide the window (a starter asking for SW_HIDE);
    // the second call shows it all the same.
    ShowWindow(window, startupShowValue);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    StatusBar = CreateStatusBar(window);

    MSG message{};
    // GetMessageA's -1 (an invalid window) is not told apart: only the quit message ends the loop.
    while (GetMessageA(&message, nullptr, 0, 0) != 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    EndProcess(static_cast<uint8_t>(message.wParam));
}
