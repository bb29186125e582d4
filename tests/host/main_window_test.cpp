// The main window's portable half: the menus built from the drive table, what
// each command identifier does, the about text, and the drive command.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/directory_walk.h"
#include "catalogue/drive_table.h"
#include "platform/sim/sim.h"
#include "shell/main_window.h"
#include "shell/status_line.h"

namespace {

constexpr char kListingPath[] = "C:\\Volume Dateienverzeichnis.txt";

std::string Text(const MenuEntry &entry) { return entry.text == nullptr ? "<separator>" : entry.text; }

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::Reset();
        StatusBar = &statusWindow;
    }
    void TearDown() override { StatusBar = nullptr; }

    // A machine with drives C: and D: only, D: labelled DATA and holding song.mp3.
    static void MachineWithDrivesCAndD() {
        sim::AddVolume('C', "SYSTEM", 0x43000000);
        sim::AddVolume('D', "DATA", 0x1234ABCD);
        sim::AddFile("D:\\song.mp3", 1536, sim::Utc(2003, 5, 17, 14, 32, 10));
        ReadDateTimeSettings();
        ScanDrives();
    }

    static std::vector<std::string> StatusTexts() {
        std::vector<std::string> texts;
        for (const sim::StatusRecord &record : sim::StatusTexts()) texts.push_back(record.text);
        return texts;
    }

    int statusWindow = 0;
};

TEST_F(MainWindowTest, FilesMenuHasOneItemPerDrivePositionThenExit) {
    MachineWithDrivesCAndD();
    std::vector<MenuEntry> files = ComposeFilesMenu();
    ASSERT_EQ(files.size(), 28u);
    for (int p = 1; p <= 26; ++p) {
        const MenuEntry &item = files[static_cast<size_t>(p - 1)];
        EXPECT_EQ(item.id, 100 + p) << p;
        std::string expected = p == 3 ? "C" : p == 4 ? "D" : "\\";
        EXPECT_EQ(Text(item), expected) << p;
    }
    EXPECT_EQ(files[26].id, 0);
    EXPECT_EQ(Text(files[26]), "<separator>");
    EXPECT_EQ(files[27].id, 100);
    EXPECT_EQ(Text(files[27]), "E&xit");
}

TEST_F(MainWindowTest, FilesMenuOnAMachineWithoutDrivesStillHas26Items) {
    ScanDrives();
    std::vector<MenuEntry> files = ComposeFilesMenu();
    ASSERT_EQ(files.size(), 28u);
    for (size_t i = 0; i < 26; ++i) EXPECT_EQ(Text(files[i]), "\\") << i;
}

TEST_F(MainWindowTest, FilesMenuItemTextsAreCopiesThatOutliveTheTable) {
    MachineWithDrivesCAndD();
    std::vector<MenuEntry> files = ComposeFilesMenu();
    DriveTable[3].Letter = "Q";
    EXPECT_EQ(Text(files[2]), "C");
    EXPECT_NE(files[2].text, DriveTable[3].Letter.c_str());
}

TEST_F(MainWindowTest, HelpMenuHasIndexSeparatorAbout) {
    std::vector<MenuEntry> help = ComposeHelpMenu();
    ASSERT_EQ(help.size(), 3u);
    EXPECT_EQ(help[0].id, 901);
    EXPECT_EQ(Text(help[0]), "&Index");
    EXPECT_EQ(Text(help[1]), "<separator>");
    EXPECT_EQ(help[2].id, 904);
    EXPECT_EQ(Text(help[2]), "&about...");
}

TEST_F(MainWindowTest, OnlyTheFirstTenDriveItemsList) {
    EXPECT_EQ(ActionForCommand(100), CommandAction::CloseWindow);
    for (uint16_t id = 101; id <= 110; ++id) EXPECT_EQ(ActionForCommand(id), CommandAction::ListDrive) << id;
    for (uint16_t id = 111; id <= 126; ++id) EXPECT_EQ(ActionForCommand(id), CommandAction::Nothing) << id;
    EXPECT_EQ(ActionForCommand(901), CommandAction::ShowIndex);
    EXPECT_EQ(ActionForCommand(904), CommandAction::ShowAbout);
    for (uint16_t id : {0, 99, 127, 900, 902, 903, 905, 0x7712, 0xFFFF})
        EXPECT_EQ(ActionForCommand(id), CommandAction::Nothing) << id;
}

TEST_F(MainWindowTest, WindowAndBoxTexts) {
    EXPECT_EQ(std::string(kWindowTitle), "Volume Tarrowv1.0");
    EXPECT_EQ(std::string(kClassName), "Tarrow");
    EXPECT_EQ(std::string(kIndexText), "Index");
    EXPECT_EQ(std::string(kIndexCaption), "Edit operation not implemented");
    EXPECT_EQ(std::string(kAboutCaption), "about Brindlecast ...");
    EXPECT_EQ(std::string(kAboutText),
              "Volume Tarrow\n\r\rv1.0\n\r"
              "Volume Tarrow developers, 2026\n\r"
              "https://volume-tarrow.example/\n\r\r\r");
}

TEST_F(MainWindowTest, DriveCommandShowsTheCountWaitsASecondThenListsTheDrive) {
    MachineWithDrivesCAndD();
    RunDriveCommand(104);
    std::vector<std::string> texts = StatusTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], " 26");
    EXPECT_EQ(texts[1], " D:\\song.mp3");
    EXPECT_EQ(sim::SleptMilliseconds(), 1000u);
    EXPECT_EQ(sim::FileBytes(kListingPath), "D:;DATA;1234ABCD;\\;song.mp3;mp3;2;kB;05/17/2003 14:32\r\n");
}

TEST_F(MainWindowTest, AbsentDriveAmongTheFirstTenShowsTheCountAndListsNothing) {
    MachineWithDrivesCAndD();
    sim::PutFile(kListingPath, "earlier line\r\n");
    RunDriveCommand(105); // E: is absent
    EXPECT_EQ(StatusTexts(), std::vector<std::string>{" 26"});
    EXPECT_EQ(sim::SleptMilliseconds(), 1000u);
    EXPECT_EQ(sim::FileBytes(kListingPath), "earlier line\r\n");
}

} // namespace
