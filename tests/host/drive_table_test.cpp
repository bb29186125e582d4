// The drive table over simulated volumes.
#include <gtest/gtest.h>

#include "catalogue/drive_table.h"
#include "platform/sim/sim.h"

namespace {

class DriveTableTest : public ::testing::Test {
protected:
    void SetUp() override { sim::Reset(); }

    static void ExpectAbsent(int position) {
        const DriveRecord &entry = DriveTable[position];
        EXPECT_EQ(entry.Letter.view(), "\\") << position;
        EXPECT_EQ(entry.Label.view(), "") << position;
        EXPECT_EQ(entry.Serial.view(), "") << position;
        EXPECT_EQ(entry.FileSystem.view(), "") << position;
    }
};

TEST_F(DriveTableTest, OneDriveMachineStillHas26Entries) {
    sim::AddVolume('C', "SYSTEM", 0x43000000);
    ScanDrives();
    EXPECT_EQ(DriveCount, 26);
    EXPECT_EQ(DriveTable[3].Letter.view(), "C");
    EXPECT_EQ(DriveTable[3].Label.view(), "SYSTEM");
    EXPECT_EQ(DriveTable[3].Serial.view(), "43000000");
    EXPECT_EQ(DriveTable[3].FileSystem.view(), "NTFS");
    for (int p = 1; p <= 26; ++p)
        if (p != 3) ExpectAbsent(p);
}

TEST_F(DriveTableTest, EmptyLabelAndShortSerialArePresent) {
    sim::AddVolume('D', "", 0x0000ABCD, "FAT32");
    ScanDrives();
    EXPECT_EQ(DriveTable[4].Letter.view(), "D");
    EXPECT_EQ(DriveTable[4].Label.view(), "");
    EXPECT_EQ(DriveTable[4].Serial.view(), "0000ABCD");
    EXPECT_EQ(DriveTable[4].FileSystem.view(), "FAT32");
}

TEST_F(DriveTableTest, LabelEqualToItsOwnSerialTextIsPresent) {
    sim::AddVolume('E', "1234ABCD", 0x1234ABCD);
    ScanDrives();
    EXPECT_EQ(DriveTable[5].Letter.view(), "E");
    EXPECT_EQ(DriveTable[5].Label.view(), "1234ABCD");
    EXPECT_EQ(DriveTable[5].Serial.view(), "1234ABCD");
}

TEST_F(DriveTableTest, FailingDrivesAfterPresentOnesTakeNothingFromThem) {
    // A: without a medium on a fresh start, then C: present, D: failing, E: present.
    sim::AddVolume('A', "FLOPPY", 0x11112222);
    sim::FailVolumeProbe('A');
    sim::AddVolume('C', "SYSTEM", 0xDEADBEEF);
    sim::AddVolume('D', "DVD", 0x01020304);
    sim::FailVolumeProbe('D');
    sim::AddVolume('E', "DATA", 0x0000ABCD);
    ScanDrives();
    ExpectAbsent(1);
    EXPECT_EQ(DriveTable[3].Serial.view(), "DEADBEEF");
    ExpectAbsent(4);
    EXPECT_EQ(DriveTable[5].Letter.view(), "E");
    EXPECT_EQ(DriveTable[5].Label.view(), "DATA");
    EXPECT_EQ(DriveTable[5].Serial.view(), "0000ABCD");
    ExpectAbsent(6);
}

TEST_F(DriveTableTest, ADriveThatAnswersOnlyOneOfItsProbesIsAbsent) {
    // Each letter is probed twice, its serial first and then its label.
    struct Row {
        const char *what;
        int failingProbe; // 0: none
        bool present;
    };
    const Row rows[] = {
        {"both probes answer", 0, true},
        {"the serial probe fails", 1, false},
        {"the label probe fails", 2, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        sim::Reset();
        sim::AddVolume('C', "SYSTEM", 0x43000000);
        sim::AddVolume('D', "DATA", 0x1234ABCD, "FAT32");
        sim::AddVolume('E', "SPARE", 0x0000ABCD);
        if (row.failingProbe != 0) sim::FailOneVolumeProbe('D', row.failingProbe);
        ScanDrives();
        if (row.present) {
            EXPECT_EQ(DriveTable[4].Letter.view(), "D");
            EXPECT_EQ(DriveTable[4].Label.view(), "DATA");
            EXPECT_EQ(DriveTable[4].Serial.view(), "1234ABCD");
            EXPECT_EQ(DriveTable[4].FileSystem.view(), "FAT32");
        } else {
            ExpectAbsent(4);
        }
        // Its neighbours keep their own answers.
        EXPECT_EQ(DriveTable[3].Serial.view(), "43000000");
        EXPECT_EQ(DriveTable[5].Letter.view(), "E");
        EXPECT_EQ(DriveTable[5].Label.view(), "SPARE");
        EXPECT_EQ(DriveTable[5].Serial.view(), "0000ABCD");
    }
}

TEST_F(DriveTableTest, AFailedProbeLeavesItsOutputsEmpty) {
    sim::AddVolume('C', "SYSTEM", 0x43000000);
    String255 serial = "stale", label = "stale", fileSystem = "stale";
    EXPECT_FALSE(ProbeVolumeSerial('D', serial));
    EXPECT_FALSE(ProbeVolumeLabel('D', label, fileSystem));
    EXPECT_EQ(serial.view(), "");
    EXPECT_EQ(label.view(), "");
    EXPECT_EQ(fileSystem.view(), "");
    EXPECT_TRUE(ProbeVolumeSerial('C', serial));
    EXPECT_TRUE(ProbeVolumeLabel('C', label, fileSystem));
    EXPECT_EQ(serial.view(), "43000000");
    EXPECT_EQ(label.view(), "SYSTEM");
    EXPECT_EQ(fileSystem.view(), "NTFS");
}

TEST_F(DriveTableTest, LabelsAreKeptWhole) {
    sim::AddVolume('F', std::string(32, 'L'), 0xFFFFFFFF);
    ScanDrives();
    EXPECT_EQ(DriveTable[6].Label.view(), std::string(32, 'L'));
    EXPECT_EQ(DriveTable[6].Serial.view(), "FFFFFFFF");
}

TEST_F(DriveTableTest, ASecondScanStartsAfresh) {
    sim::AddVolume('C', "SYSTEM", 1);
    ScanDrives();
    sim::Reset();
    ScanDrives();
    EXPECT_EQ(DriveCount, 26);
    ExpectAbsent(3);
}

} // namespace
