// The program's one window: its class and title, the "&Files" and "&Help"
// menus, what each menu command does, and the start-up and message loop that
// lead to them. The texts, the menu layout and the drive command are portable;
// the window itself, its procedure and the loop are Win32 (main_window_win32.cpp).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

// Menu command identifiers, as they arrive in the low 16 bits of WM_COMMAND's
// first parameter. The drive at table position p has identifier 100 + p.
constexpr uint16_t kCommandExit = 100;
constexpr uint16_t kCommandDriveBase = 100;
constexpr uint16_t kCommandFirstListedDrive = 101; // A
constexpr uint16_t kCommandLastListedDrive = 110;  // J: later drives are shown but not listed
constexpr uint16_t kCommandIndex = 901;
constexpr uint16_t kCommandAbout = 904;

constexpr char kClassName[] = "Tarrow";
constexpr char kMenuName[] = "Files"; // no such menu resource: the class brings no menu
constexpr char kWindowTitle[] = "Volume Tarrowv1.0";
constexpr char kStatusGreeting[] = "Ready...";

constexpr char kRegisterFailedText[] = "Register failed";
constexpr char kCreateFailedText[] = "WinCreate failed";

// The index box names the command in its text; its caption says why nothing
// more happens.
constexpr char kIndexText[] = "Index";
constexpr char kIndexCaption[] = "Edit operation not implemented";

// The about box's line breaks are deliberately irregular (LF CR CR, LF CR):
// the box shows them as they are.
constexpr char kAboutText[] =
    "Volume Tarrow\n\r\rv1.0\n\r"
    "Volume Tarrow developers, 2026\n\r"
    "https://volume-tarrow.example/\n\r\r\r";
constexpr char kAboutCaption[] = "about Brindlecast ...";

// Zero until the main window exists (and when creating it failed).
extern platform::WindowHandle MainWindow;

// One item of a drop-down menu; a separator has no text and identifier 0.
struct MenuEntry {
    uint16_t id;
    const char *text;
};

// The "&Files" drop-down: one item per drive-table position (the entry's
// Letter, "\" for an absent drive), a separator and "E&xit". The item texts
// are allocated here and kept for the life of the process; call it once.
std::vector<MenuEntry> ComposeFilesMenu();
// The "&Help" drop-down: "&Index", a separator, "&about...".
std::vector<MenuEntry> ComposeHelpMenu();

enum class CommandAction { Nothing, CloseWindow, ListDrive, ShowIndex, ShowAbout };
CommandAction ActionForCommand(uint16_t commandId);

// A drive item among the first ten: the drive count in the status bar, one
// second's pause, then the drive's whole listing appended to the listing file.
// Returns when the drive has been listed.
void RunDriveCommand(uint16_t commandId);

// Win32 only: probing an empty card reader or disc drive fails quietly, as
// for an absent drive, instead of raising the system's "There is no disk in
// the drive" box, which would hold start-up until someone answers it. The
// error-mode bits already set (by whoever started the program) are kept.
void QuietCriticalErrors();

// Win32 only: registers the class, probes the drives, shows the window with its
// menus and status bar and runs the message loop; ends the process with the
// low byte of the quit message's parameter (or 0 after a start-up failure).
[[noreturn]] void RunProgram(void *instance, int startupShowValue);
