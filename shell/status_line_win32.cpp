// The status bar as a common-controls status window: its creation and its
// placement along the main window's bottom edge.
#include "shell/status_line.h"

#include <windows.h>
#include <commctrl.h>

platform::WindowHandle CreateStatusBar(platform::WindowHandle parentWindow) {
    return CreateStatusWindowA(WS_CHILD | WS_VISIBLE, "Ready...", static_cast<HWND>(parentWindow), 0x7712);
}

void PlaceStatusBar(platform::WindowHandle mainWindow) {
    HWND status = static_cast<HWND>(StatusBar);
    RECT own;
    GetClientRect(status, &own);
    uint16_t height = static_cast<uint16_t>(own.bottom - own.top);
    RECT client;
    GetClientRect(static_cast<HWND>(mainWindow), &client);
    // The width is the client area's right edge, which is its width since left is 0.
    MoveWindow(status, client.left, client.bottom - height, client.right, height, TRUE);
}
