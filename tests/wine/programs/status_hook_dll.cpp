// Loaded into the program by the system when status_watch hooks the
// program's thread (WH_CALLWNDPROC): copies every text the program puts into
// the first part of its status bar into memory shared with status_watch.
// A cross-process WM_GETTEXT cannot read it during a walk, which dispatches
// no message until it ends; the hook runs inside the program's own
// SB_SETTEXTA call instead.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "status_shared.h"

namespace {

StatusShared *shared = nullptr;

bool IsStatusBar(HWND window) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    return std::strcmp(name, STATUSCLASSNAMEA) == 0;
}

void Store(const char *text) {
    if (shared == nullptr) {
        HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kStatusSharedName);
        if (mapping == nullptr) return;
        shared = static_cast<StatusShared *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(StatusShared)));
        if (shared == nullptr) return;
    }
    // An odd sequence number tells the reader that a copy is under way.
    InterlockedIncrement(&shared->sequence);
    size_t length = text != nullptr ? strnlen(text, sizeof shared->text - 1) : 0;
    std::memcpy(shared->text, text, length);
    shared->text[length] = '\0';
    InterlockedIncrement(&shared->sequence);
    InterlockedIncrement(&shared->texts);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK StatusHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
        if (call->message == SB_SETTEXTA && LOBYTE(call->wParam) == 0 && IsStatusBar(call->hwnd))
            Store(reinterpret_cast<const char *>(call->lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
