// The portable half of the main window: the menu layout built from the drive
// table, the meaning of each command identifier and the drive command.
#include "shell/main_window.h"

#include <cstring>

#include "catalogue/drive_table.h"
#include "catalogue/listing_file.h"
#include "common/number_text.h"
#include "shell/status_line.h"

platform::WindowHandle MainWindow = nullptr;

std::vector<MenuEntry> ComposeFilesMenu() {
    std::vector<MenuEntry> entries;
    // DriveCount counts probed positions and is read as an 8-bit count; the
    // table has no more than 26 of them whatever the count says.
    int count = static_cast<uint8_t>(DriveCount);
    if (count > kDrivePositions) count = kDrivePositions;
    for (int p = 1; p <= count; ++p) {
        const String255 &letter = DriveTable[p].Letter;
        char *text = new char[letter.length + 1];
        std::memcpy(text, letter.chars, letter.length);
        text[letter.length] = '\0';
        entries.push_back({static_cast<uint16_t>(kCommandDriveBase + p), text});
    }
    entries.push_back({0, nullptr});
    entries.push_back({kCommandExit, "E&xit"});
    return entries;
}

std::vector<MenuEntry> ComposeHelpMenu() {
    return {{kCommandIndex, "&Index"}, {0, nullptr}, {kCommandAbout, "&about..."}};
}

CommandAction ActionForCommand(uint16_t commandId) {
    if (commandId == kCommandExit) return CommandAction::CloseWindow;
    if (commandId >= kCommandFirstListedDrive && commandId <= kCommandLastListedDrive)
        return CommandAction::ListDrive;
    if (commandId == kCommandIndex) return CommandAction::ShowIndex;
    if (commandId == kCommandAbout) return CommandAction::ShowAbout;
    return CommandAction::Nothing;
}

void RunDriveCommand(uint16_t commandId) {
    SetStatusText(0, DecimalText(DriveCount));
    platform::Sleep(1000);
    WriteDriveListing(commandId);
}
