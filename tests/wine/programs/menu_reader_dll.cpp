// Injected into the running program by the end-to-end driver (LoadLibraryA
// in a remote thread): Wine lets no other process read a window's menus, so
// this reads the main window's menu bar, both drop-downs and the window
// class from inside and writes them to menu_reader.txt beside this DLL.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

void WriteDropDown(FILE *out, HMENU menu) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = sizeof text;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &item)) {
            std::fprintf(out, "  item %d unreadable\n", i);
        } else if (item.fType & MFT_SEPARATOR) {
            std::fprintf(out, "  separator\n");
        } else {
            std::fprintf(out, "  %u %s%s\n", item.wID, text, item.hSubMenu ? " (pop-up)" : "");
        }
    }
}

void WriteMenus(FILE *out, HWND window) {
    HMENU bar = GetMenu(window);
    int count = GetMenuItemCount(bar);
    std::fprintf(out, "menu bar: %d pop-ups\n", count);
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        GetMenuStringA(bar, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        HMENU dropDown = GetSubMenu(bar, i);
        std::fprintf(out, "%s: %d items\n", text, dropDown ? GetMenuItemCount(dropDown) : -1);
        if (dropDown) WriteDropDown(out, dropDown);
    }
}

void WriteClass(FILE *out, HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    WNDCLASSA windowClass{};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), name, &windowClass)) {
        std::fprintf(out, "class %s: no class information\n", name);
        return;
    }
    std::fprintf(out, "class %s\n", name);
    std::fprintf(out, "  style 0x%X\n", windowClass.style);
    std::fprintf(out, "  extra bytes %d class, %d window\n", windowClass.cbClsExtra, windowClass.cbWndExtra);
    std::fprintf(out, "  icon %s\n",
                 windowClass.hIcon == LoadIconA(nullptr, IDI_APPLICATION) ? "IDI_APPLICATION" : "other");
    std::fprintf(out, "  cursor %s\n",
                 windowClass.hCursor == LoadCursorA(nullptr, IDC_ARROW) ? "IDC_ARROW" : "other");
    std::fprintf(out, "  background %s\n",
                 windowClass.hbrBackground == GetStockObject(GRAY_BRUSH) ? "GRAY_BRUSH" : "other");
    std::fprintf(out, "  menu name %s\n", windowClass.lpszMenuName ? windowClass.lpszMenuName : "(none)");
    std::fprintf(out, "  instance %s\n",
                 windowClass.hInstance == GetModuleHandleA(nullptr) ? "the program's module" : "other");
}

void Report(HMODULE self) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
    char *dot = std::strrchr(path, '.');
    if (length == 0 || dot == nullptr) return;
    std::strcpy(dot, ".txt");
    FILE *out = std::fopen(path, "wb");
    if (out == nullptr) return;
    HWND window = FindWindowA("Tarrow", nullptr);
    if (window == nullptr) {
        std::fprintf(out, "no window of class Tarrow\n");
    } else {
        WriteClass(out, window);
        WriteMenus(out, window);
    }
    std::fclose(out);
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    // The program's user32 is long loaded, so reading menus here under the
    // loader lock needs nothing new to be loaded.
    if (reason == DLL_PROCESS_ATTACH) Report(instance);
    return TRUE;
}
