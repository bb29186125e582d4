// Faults swept over a whole drive command: the platform write failing, or
// writing short, at every call in turn, and the listing file's opens failing
// with every error code. Each run must end with the right report at the right
// check, and the file must hold a prefix of the true listing made of what the
// platform really wrote, never anything else. Every file of the drive lies in
// a directory of its own, so where the walk stood when the process ended
// (CurrentDir and the walk nodes still held) tells which line's check raised.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "catalogue/directory_walk.h"
#include "catalogue/drive_table.h"
#include "catalogue/listing_file.h"
#include "catalogue/text_file.h"
#include "platform/sim/sim.h"

namespace {

constexpr size_t kBufferSize = 256;

struct CommandOutcome {
    std::optional<uint32_t> exitCode; // none: the command returned
    std::string message;              // the report's second line
    std::string currentDir;           // where the walk stood at the end
    std::string listing;
    std::vector<std::string> writes;  // what each platform write to the listing file was asked to write
    int nodesLeft = 0;                // walk nodes the run left unreleased
};

// Drive C: holds the listing file (with `earlier` in it unless that is
// empty); D: labelled DATA holds 52 files, each in a directory of its own,
// nested up to six levels, with names short and long, some needing quotes
// (so does every fifth directory).
void MachineWithFiftyFiles(const std::string &earlier) {
    sim::Reset();
    QueryResult();
    ReadDateTimeSettings();
    sim::AddVolume('C', "SYSTEM", 0x43000000);
    sim::AddVolume('D', "DATA", 0x1234ABCD);
    if (!earlier.empty()) sim::PutFile(kListingFilePath, earlier);
    const char *const names[] = {"song.mp3", "archive.tar.gz", "README", "notes \"draft\".txt",
                                 "a;b.txt", ".profile", "trailing dot.", "x"};
    // Directory n lies in directory n / 2; directory 1 is the root.
    std::vector<std::string> directories = {"", "\\"};
    for (int n = 2; n <= 52; ++n) {
        std::string name = (n % 5 == 0 ? "docs;" : n % 7 == 0 ? "x.y " : "folder ") + std::to_string(n);
        directories.push_back(directories[n / 2] + name + "\\");
    }
    for (int n = 1; n <= 52; ++n) {
        std::string path = "D:" + directories[n] + std::to_string(n) + " " + names[n % 8];
        sim::AddFile(path, static_cast<uint64_t>(n) * 777, sim::Utc(2003, 5, 17, n % 24, n, 10));
    }
}

CommandOutcome ListDriveD() {
    CommandOutcome run;
    int nodesBefore = LiveWalkNodes();
    ScanDrives();
    try {
        WriteDriveListing(104);
    } catch (const sim::ProcessExit &exit) {
        run.exitCode = exit.exitCode;
    }
    run.nodesLeft = LiveWalkNodes() - nodesBefore;
    if (!sim::Boxes().empty()) {
        const std::string &text = sim::Boxes().front().text;
        size_t start = text.find("\r\n") + 2;
        run.message = text.substr(start, text.find("\r\n", start) - start);
    }
    run.currentDir = std::string(CurrentDir.view());
    run.listing = sim::FileBytes(kListingFilePath);
    for (const sim::WriteRecord &write : sim::Writes()) run.writes.push_back(write.bytes);
    return run;
}

// The fourth field of a listing line, the directory, with quotes undone.
std::string DirectoryOfLine(std::string_view line) {
    std::string field;
    int index = 0;
    bool quoted = false;
    for (size_t at = 0; at < line.size(); ++at) {
        char c = line[at];
        if (quoted) {
            if (c != '"') field += c;
            else if (at + 1 < line.size() && line[at + 1] == '"') field += line[++at];
            else quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ';') {
            if (index == 3) return field;
            index++;
            field.clear();
        } else {
            field += c;
        }
    }
    return field;
}

// The true listing of D: and the buffers it goes out in.
struct Baseline {
    std::string lines;
    std::vector<std::string> writes;
    std::vector<size_t> lineEnds;           // offset just past each line's CR LF
    std::vector<std::string> lineDirectory; // each line's directory
};

Baseline CleanRun() {
    MachineWithFiftyFiles("");
    CommandOutcome run = ListDriveD();
    EXPECT_EQ(run.exitCode, std::nullopt);
    Baseline baseline{run.listing, run.writes, {}, {}};
    size_t start = 0;
    for (size_t at = run.listing.find("\r\n"); at != std::string::npos; at = run.listing.find("\r\n", at + 2)) {
        baseline.lineEnds.push_back(at + 2);
        baseline.lineDirectory.push_back(DirectoryOfLine(std::string_view(run.listing).substr(start, at - start)));
        start = at + 2;
    }
    return baseline;
}

// Where the walk stands at a check: its directory and the nodes it holds
// (one per level, none after the walk).
struct CheckPlace {
    std::string directory;
    int nodes;
};

CheckPlace AtTheLine(const Baseline &baseline, size_t line) {
    const std::string &directory = baseline.lineDirectory[line];
    int levels = 0;
    for (char c : directory) levels += c == '\\';
    return {directory, levels};
}

// The check that finds the write of buffer k (from 1) failed: a full buffer
// goes out while the line holding its next byte is written, and that line's
// check follows; the last, partial buffer goes out at the close, and the
// final check follows it.
CheckPlace CheckAfterWrite(const Baseline &baseline, size_t k) {
    if (k == baseline.writes.size() && baseline.lines.size() % kBufferSize != 0) return {"\\", 0};
    size_t nextByte = k * kBufferSize;
    size_t line = 0;
    while (baseline.lineEnds[line] <= nextByte) ++line;
    return AtTheLine(baseline, line);
}

void ExpectEndedAt(const CommandOutcome &run, const CheckPlace &place) {
    EXPECT_EQ(run.currentDir, place.directory);
    EXPECT_EQ(run.nodesLeft, place.nodes);
}

TEST(ReliabilityFaultSweep, TheCleanListingGoesOutInWholeBuffersAndOneRest) {
    Baseline baseline = CleanRun();
    ASSERT_EQ(baseline.lineEnds.size(), 52u);
    // Enough buffers for a failure in the middle of a line, at a line end and at the close.
    ASSERT_GE(baseline.writes.size(), 10u);
    std::string joined;
    for (size_t k = 0; k < baseline.writes.size(); ++k) {
        if (k + 1 < baseline.writes.size()) {
            EXPECT_EQ(baseline.writes[k].size(), kBufferSize) << "write " << k + 1;
        }
        joined += baseline.writes[k];
    }
    EXPECT_EQ(joined, baseline.lines);
}

TEST(ReliabilityFaultSweep, AFailedWriteAtEveryCallEndsWithDiskFullAndOnlyTheBuffersBefore) {
    Baseline baseline = CleanRun();
    for (bool persist : {false, true}) {
        for (const std::string earlier : {"", "earlier line\r\n"}) {
            for (size_t k = 1; k <= baseline.writes.size(); ++k) {
                SCOPED_TRACE("write " + std::to_string(k) + (persist ? ", failing from then on" : "") +
                             (earlier.empty() ? "" : ", appending"));
                MachineWithFiftyFiles(earlier);
                sim::FailWrite(static_cast<int>(k), persist);
                CommandOutcome run = ListDriveD();
                EXPECT_EQ(run.exitCode, 217u);
                EXPECT_EQ(run.message, "Disk Full");
                ExpectEndedAt(run, CheckAfterWrite(baseline, k));
                EXPECT_EQ(run.listing, earlier + baseline.lines.substr(0, (k - 1) * kBufferSize));
                // Nothing was attempted after the failed write.
                EXPECT_EQ(run.writes.size(), k);
            }
        }
    }
}

TEST(ReliabilityFaultSweep, AShortWriteAtEveryCallEndsWithDiskFullAndOnlyWhatWasWritten) {
    Baseline baseline = CleanRun();
    for (size_t k = 1; k <= baseline.writes.size(); ++k) {
        uint32_t size = static_cast<uint32_t>(baseline.writes[k - 1].size());
        for (uint32_t written : {0u, 1u, size / 2, size - 1}) {
            SCOPED_TRACE("write " + std::to_string(k) + " of " + std::to_string(size) + " bytes writing " +
                         std::to_string(written));
            MachineWithFiftyFiles("");
            sim::ShortWrite(static_cast<int>(k), written);
            CommandOutcome run = ListDriveD();
            EXPECT_EQ(run.exitCode, 217u);
            EXPECT_EQ(run.message, "Disk Full");
            ExpectEndedAt(run, CheckAfterWrite(baseline, k));
            // The whole buffers before, then the bytes the short write did put down.
            EXPECT_EQ(run.listing, baseline.lines.substr(0, (k - 1) * kBufferSize + written));
            EXPECT_EQ(run.writes.size(), k);
        }
    }
}

TEST(ReliabilityFaultSweep, AWriteFailingAfterTheListingDoesNotTouchIt) {
    Baseline baseline = CleanRun();
    MachineWithFiftyFiles("");
    sim::FailWrite(static_cast<int>(baseline.writes.size()) + 1, true);
    CommandOutcome run = ListDriveD();
    EXPECT_EQ(run.exitCode, std::nullopt);
    EXPECT_EQ(run.listing, baseline.lines);
    EXPECT_EQ(run.nodesLeft, 0);
}

// Error codes a failed open can give: the common ones, the device errors 19
// to 31 (kept apart as 150 to 162), the sharing violation 32, and some that
// only odd media give.
std::vector<uint32_t> OpenErrorCodes() {
    std::vector<uint32_t> codes = {1, 2, 3, 4, 5, 6, 12, 15, 16, 17, 18};
    for (uint32_t code = 19; code <= 32; ++code) codes.push_back(code);
    for (uint32_t code : {33u, 53u, 67u, 80u, 87u, 110u, 112u, 123u, 161u, 206u, 1392u, 65535u, 65536u + 5})
        codes.push_back(code);
    return codes;
}

TEST(ReliabilityOpenFailures, EveryCodeEndsWithFileNotOpenAtTheFirstLine) {
    Baseline baseline = CleanRun();
    for (const std::string earlier : {"", "earlier line\r\n"}) {
        for (uint32_t code : OpenErrorCodes()) {
            SCOPED_TRACE("open error " + std::to_string(code) + (earlier.empty() ? ", no file" : ", a file"));
            MachineWithFiftyFiles(earlier);
            sim::FailOpen(kListingFilePath, code);
            CommandOutcome run = ListDriveD();
            EXPECT_EQ(run.exitCode, 217u);
            EXPECT_EQ(run.message, "File not open");
            ExpectEndedAt(run, AtTheLine(baseline, 0));
            EXPECT_TRUE(run.writes.empty());
            EXPECT_EQ(run.listing, earlier);
        }
    }
}

TEST(ReliabilityOpenFailures, EveryCodeOnADriveWithoutFilesEndsAtTheFinalCheck) {
    for (uint32_t code : OpenErrorCodes()) {
        SCOPED_TRACE("open error " + std::to_string(code));
        MachineWithFiftyFiles("earlier line\r\n");
        sim::AddVolume('E', "EMPTY", 0x0000BEEF);
        sim::AddDirectory("E:\\nothing\\here");
        sim::FailOpen(kListingFilePath, code);
        int nodesBefore = LiveWalkNodes();
        ScanDrives();
        std::optional<uint32_t> exitCode;
        try {
            WriteDriveListing(105);
        } catch (const sim::ProcessExit &exit) {
            exitCode = exit.exitCode;
        }
        EXPECT_EQ(exitCode, 217u);
        ASSERT_FALSE(sim::Boxes().empty());
        EXPECT_NE(sim::Boxes().front().text.find("\r\nFile not open\r\n"), std::string::npos);
        // The walk went through all three levels and released them before the check.
        EXPECT_EQ(LiveWalkNodes(), nodesBefore);
        EXPECT_EQ(CurrentDir.view(), "\\");
        EXPECT_EQ(sim::FileBytes(kListingFilePath), "earlier line\r\n");
    }
}

} // namespace
