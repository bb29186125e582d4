// A large simulated drive walked end to end, twice: every walk node made on
// the way down is released on the way back, whatever the tree holds (deep
// chains, links, unreadable directories, directories past the path limits).
// tests/fuzz/run also builds this file with LeakSanitizer, which then checks
// that nothing else the walk took from the heap is left behind either.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "catalogue/directory_walk.h"
#include "catalogue/drive_table.h"
#include "catalogue/listing_file.h"
#include "catalogue/text_file.h"
#include "platform/sim/sim.h"

namespace {

// Drive D: with `files` files spread over a breadth-first tree of
// directories (eight under each), two chains 40 levels deep whose far ends
// lie past the 255-character directory limit, and directories the walk must
// pass over. Returns how many files the walk lists.
int LargeTree(int files) {
    sim::AddVolume('D', "DATA", 0x1234ABCD);
    const int directories = files / 10;
    std::vector<std::string> path(directories + 1, "D:\\");
    for (int d = 1; d <= directories; ++d)
        path[d] = path[(d - 1) / 8] + "folder " + std::to_string(d) + "\\";
    for (int f = 0; f < files; ++f)
        sim::AddFile(path[f % (directories + 1)] + "file number " + std::to_string(f) + ".dat",
                     static_cast<uint64_t>(f) * 977, sim::Utc(2003, 5, 17, f % 24, f % 60, 0));
    int listed = files;

    for (const char *chain : {"D:\\deep\\", "D:\\folder 1\\deeper\\"}) {
        std::string directory = chain;
        for (int level = 0; level < 40; ++level) {
            directory += "level" + std::to_string(level) + "\\";
            sim::AddFile(directory + "x.txt", 1, sim::Utc(2010, 1, 2));
            // "D:" + CurrentDir must stay within 2 + 255 characters to be entered.
            if (directory.size() <= 2 + 255) listed++;
        }
    }

    sim::AddDirectory("D:\\link to root", 0x10 | 0x400, 0);
    sim::AddFile("D:\\link to root\\never.txt", 1, sim::Utc(2010, 1, 2));
    sim::AddDirectory("D:\\mount", 0x10 | 0x400, 0xA0000003);
    sim::AddFile("D:\\mount\\never.txt", 1, sim::Utc(2010, 1, 2));
    sim::AddFile("D:\\locked\\never.txt", 1, sim::Utc(2010, 1, 2));
    sim::MakeUnreadable("D:\\locked");
    sim::AddFile("D:\\folder 2\\.git\\never.txt", 1, sim::Utc(2010, 1, 2));
    sim::AddFile("D:\\folder 3\\Recycled\\never.txt", 1, sim::Utc(2010, 1, 2));
    return listed;
}

size_t Lines(const std::string &text) {
    size_t lines = 0;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2)) lines++;
    return lines;
}

TEST(ReliabilityLeaks, ALargeWalkReleasesEveryNodeEveryTime) {
    sim::Reset();
    QueryResult();
    ReadDateTimeSettings();
    sim::AddVolume('C', "SYSTEM", 0x43000000);
    int listed = LargeTree(20000);
    ScanDrives();

    int nodesBefore = LiveWalkNodes();
    WriteDriveListing(104);
    EXPECT_EQ(LiveWalkNodes(), nodesBefore);
    EXPECT_EQ(CurrentDir.view(), "\\");
    std::string first = sim::FileBytes(kListingFilePath);
    EXPECT_EQ(Lines(first), static_cast<size_t>(listed));
    EXPECT_EQ(first.find("never.txt"), std::string::npos);

    WriteDriveListing(104);
    EXPECT_EQ(LiveWalkNodes(), nodesBefore);
    EXPECT_EQ(sim::FileBytes(kListingFilePath), first + first);
    EXPECT_EQ(sim::OpenFileCount(), 0);
}

} // namespace
