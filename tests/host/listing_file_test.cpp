// The drive command: the listing file created, then appended to; files that
// cannot be opened reported as "File not open" at the first check; a disk
// that fills up mid-walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "catalogue/directory_walk.h"
#include "catalogue/drive_table.h"
#include "catalogue/listing_file.h"
#include "catalogue/text_file.h"
#include "platform/sim/sim.h"

namespace {

uint64_t May17() { return sim::Utc(2003, 5, 17, 14, 32, 10); }

class ListingFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::Reset();
        QueryResult();
        ReadDateTimeSettings();
    }

    // Drive C: holds the listing file; D: labelled DATA and E: labelled MUSIC hold files.
    static void MachineWithDrivesCDE() {
        sim::AddVolume('C', "SYSTEM", 0x43000000);
        sim::AddVolume('D', "DATA", 0x1234ABCD);
        sim::AddFile("D:\\a.txt", 1536, May17());
        sim::AddFile("D:\\docs\\b.txt", 0, May17());
        sim::AddVolume('E', "MUSIC", 0x0000BEEF);
        sim::AddFile("E:\\song.mp3", 3584, May17());
    }

    static constexpr const char *kLinesOfD = "D:;DATA;1234ABCD;\\;a.txt;txt;2;kB;05/17/2003 14:32\r\n"
                                             "D:;DATA;1234ABCD;\\docs\\;b.txt;txt;0;kB;05/17/2003 14:32\r\n";
    static constexpr const char *kLinesOfE = "E:;MUSIC;0000BEEF;\\;song.mp3;mp3;4;kB;05/17/2003 14:32\r\n";

    // The drive command for the item of that letter; the exit code when the process ended.
    static std::optional<uint32_t> ChooseDrive(char letter) {
        ScanDrives();
        try {
            WriteDriveListing(100 + (letter - 'A' + 1));
        } catch (const sim::ProcessExit &exit) {
            return exit.exitCode;
        }
        return std::nullopt;
    }

    static std::string Listing() { return sim::FileBytes(kListingFilePath); }

    // The failure report's message: the second line of its first box.
    static std::string ReportedMessage() {
        if (sim::Boxes().empty()) return "(no box)";
        const sim::BoxRecord &box = sim::Boxes().front();
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.text.rfind("An unhandled exception occurred at 0x", 0), 0u) << box.text;
        size_t start = box.text.find("\r\n") + 2;
        return box.text.substr(start, box.text.find("\r\n", start) - start);
    }
};

TEST_F(ListingFileTest, FirstRunCreatesTheFileWithTheDrivesLines) {
    MachineWithDrivesCDE();
    EXPECT_EQ(ChooseDrive('D'), std::nullopt);
    EXPECT_EQ(Listing(), kLinesOfD);
    EXPECT_EQ(sim::OpenFileCount(), 0);
    EXPECT_TRUE(sim::Boxes().empty());
}

TEST_F(ListingFileTest, LaterRunsAppendAfterTheLastByte) {
    MachineWithDrivesCDE();
    ChooseDrive('D');
    ChooseDrive('E');
    EXPECT_EQ(Listing(), std::string(kLinesOfD) + kLinesOfE);
    ChooseDrive('D');
    EXPECT_EQ(Listing(), std::string(kLinesOfD) + kLinesOfE + kLinesOfD);
}

// A listing cut off inside a line (a full disk, a crash, a power cut) gets the
// rest of its line end before the next drive's lines, and nothing else: its
// bytes stay as they are.
TEST_F(ListingFileTest, EarlierContentIsKeptAndACutLineEnded) {
    const struct {
        const char *earlier;
        const char *between;
    } cases[] = {
        {"", ""},
        {"kept\r\n", ""},
        {"kept\r\nno line end", "\r\n"},
        {"kept\r\ncut after its CR\r", "\n"},
        {"\r", "\n"},
        {"x", "\r\n"},
        {"a unix line end\n", "\r\n"},
        {"\r\n\r\n", ""},
    };
    for (const auto &c : cases) {
        SetUp();
        MachineWithDrivesCDE();
        sim::PutFile(kListingFilePath, c.earlier);
        ChooseDrive('E');
        EXPECT_EQ(Listing(), std::string(c.earlier) + c.between + kLinesOfE) << "after \"" << c.earlier << "\"";
    }
}

// Windows will not move a file's position past 4 GiB without the high word:
// a listing file that large would have its oldest lines overwritten.
TEST_F(ListingFileTest, AFileOfMoreThan4GiBIsAppendedToAtItsEnd) {
    constexpr uint64_t k4GiB = 4ULL << 30;
    const std::string head = "first line\r\n";
    for (const char *tail : {"last line\r\n", "cut li"}) {
        SetUp();
        MachineWithDrivesCDE();
        sim::PutSparseFile(kListingFilePath, head, k4GiB, tail);
        uint64_t size = sim::FileSize(kListingFilePath);
        ChooseDrive('E');
        std::string between = std::string_view(tail).ends_with("\r\n") ? "" : "\r\n";
        EXPECT_EQ(sim::FileRange(kListingFilePath, 0, head.size()), head);
        EXPECT_EQ(sim::FileRange(kListingFilePath, size - strlen(tail), 100), tail + between + kLinesOfE);
        EXPECT_EQ(sim::FileSize(kListingFilePath), size + between.size() + strlen(kLinesOfE));
        EXPECT_TRUE(sim::Boxes().empty());
    }
}

TEST_F(ListingFileTest, AbsentOrEmptyDrivesCreateAnEmptyFile) {
    MachineWithDrivesCDE();
    sim::AddVolume('F', "EMPTY", 0x00000001);
    EXPECT_EQ(ChooseDrive('G'), std::nullopt); // no volume: its item reads "\"
    EXPECT_TRUE(sim::FileExists(kListingFilePath));
    EXPECT_EQ(Listing(), "");
    EXPECT_EQ(ChooseDrive('F'), std::nullopt);
    EXPECT_EQ(Listing(), "");
    EXPECT_EQ(sim::OpenFileCount(), 0);
    EXPECT_TRUE(sim::Boxes().empty());
}

TEST_F(ListingFileTest, AbsentDriveWithFilesBehindItListsNothing) {
    MachineWithDrivesCDE();
    sim::FailVolumeProbe('D');
    EXPECT_EQ(ChooseDrive('D'), std::nullopt);
    EXPECT_EQ(Listing(), "");
    EXPECT_EQ(CurrentDrive[0], '\\');
}

// Three ways the listing file cannot be opened for writing.
enum class Unopenable { NoDriveC, ReadOnly, Locked };

class UnopenableListingFileTest : public ListingFileTest, public ::testing::WithParamInterface<Unopenable> {
protected:
    void SetUp() override {
        ListingFileTest::SetUp();
        MachineWithDrivesCDE();
        sim::AddVolume('F', "EMPTY", 0x00000001);
        switch (GetParam()) {
        case Unopenable::NoDriveC:
            sim::Reset();
            sim::AddVolume('D', "DATA", 0x1234ABCD);
            sim::AddFile("D:\\a.txt", 1536, May17());
            sim::AddVolume('F', "EMPTY", 0x00000001);
            break;
        case Unopenable::ReadOnly:
            sim::PutFile(kListingFilePath, "old\r\n");
            sim::MakeReadOnly(kListingFilePath);
            break;
        case Unopenable::Locked:
            sim::PutFile(kListingFilePath, "old\r\n");
            sim::LockFile(kListingFilePath);
            break;
        }
    }
};

TEST_P(UnopenableListingFileTest, DriveWithFilesEndsAtTheFirstLine) {
    EXPECT_EQ(ChooseDrive('D'), 217u);
    EXPECT_EQ(ReportedMessage(), "File not open");
    // The first file's path was shown; the walk ended at its line.
    ASSERT_EQ(sim::StatusTexts().size(), 1u);
    EXPECT_EQ(sim::StatusTexts()[0].text, " D:\\a.txt");
    EXPECT_TRUE(sim::Writes().empty());
    if (GetParam() != Unopenable::NoDriveC) {
        EXPECT_EQ(Listing(), "old\r\n");
    }
}

TEST_P(UnopenableListingFileTest, DriveWithoutFilesEndsAtTheFinalCheck) {
    int before = LiveWalkNodes();
    EXPECT_EQ(ChooseDrive('F'), 217u);
    EXPECT_EQ(ReportedMessage(), "File not open");
    EXPECT_TRUE(sim::StatusTexts().empty());
    // The walk itself finished: its nodes were released before the check.
    EXPECT_EQ(LiveWalkNodes(), before);
}

INSTANTIATE_TEST_SUITE_P(ListingFile, UnopenableListingFileTest,
                         ::testing::Values(Unopenable::NoDriveC, Unopenable::ReadOnly, Unopenable::Locked),
                         [](const auto &info) {
                             switch (info.param) {
                             case Unopenable::NoDriveC: return "NoDriveC";
                             case Unopenable::ReadOnly: return "ReadOnly";
                             case Unopenable::Locked: return "Locked";
                             }
                             return "Unknown";
                         });

TEST_F(ListingFileTest, DiskFullMidWalkEndsAfterTheLineWhoseBufferFailed) {
    sim::AddVolume('C', "SYSTEM", 0x43000000);
    sim::AddVolume('D', "DATA", 0x1234ABCD);
    // Lines of 70 bytes each with their line end: the first buffer goes out
    // during line 4 (280 > 256), the second during line 8 (560 > 512), which
    // lies three levels down.
    std::string expected;
    std::string directory = "\\";
    for (int i = 1; i <= 12; ++i) {
        if (i == 3 || i == 5 || i == 7) directory += "d" + std::to_string(i) + "\\";
        std::string name = (i < 10 ? "0" : "") + std::to_string(i) + std::string(18 - directory.size(), 'f') + ".txt";
        sim::AddFile("D:" + directory + name, 1536, May17());
        expected += "D:;DATA;1234ABCD;" + directory + ";" + name + ";txt;2;kB;05/17/2003 14:32\r\n";
    }
    ASSERT_EQ(expected.size(), 12u * 70);

    int before = LiveWalkNodes();
    sim::FailWrite(2);
    EXPECT_EQ(ChooseDrive('D'), 217u);
    EXPECT_EQ(ReportedMessage(), "Disk Full");
    EXPECT_EQ(sim::StatusTexts().size(), 8u);
    EXPECT_EQ(sim::StatusTexts().back().text, " D:\\d3\\d5\\d7\\08ffffffff.txt");
    // Only the whole buffer written before the failure reached the file.
    EXPECT_EQ(Listing(), expected.substr(0, 256));
    // The failure ends the process on the spot: the four levels' nodes are never released.
    EXPECT_EQ(LiveWalkNodes(), before + 4);
}

TEST_F(ListingFileTest, DiskFullAtTheCloseEndsAtTheFinalCheck) {
    MachineWithDrivesCDE();
    sim::FailWrite(1);
    EXPECT_EQ(ChooseDrive('E'), 217u);
    EXPECT_EQ(ReportedMessage(), "Disk Full");
    EXPECT_EQ(Listing(), "");
}

} // namespace

namespace {

TEST_F(ListingFileTest, OnAFastMachineTheStatusBarShowsTheFirstPathAndEndsOnTheLast) {
    MachineWithDrivesCDE();
    for (int i = 0; i < 500; ++i) sim::AddFile("D:\\many\\f" + std::to_string(i) + ".txt", 1, May17());
    sim::SetTickStep(0);
    ChooseDrive('D');
    ASSERT_EQ(sim::StatusTexts().size(), 2u);
    EXPECT_EQ(sim::StatusTexts()[0].text, " D:\\a.txt");
    EXPECT_EQ(sim::StatusTexts()[1].text, " D:\\many\\f499.txt");
    // The throttle leaves the listing alone: every file has its line.
    std::string listing = Listing();
    EXPECT_EQ(listing.rfind(kLinesOfD, 0), 0u);
    EXPECT_EQ(std::count(listing.begin(), listing.end(), '\n'), 502);
}

} // namespace
