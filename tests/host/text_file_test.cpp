// The buffered text file on the simulated machine: how bytes reach the
// platform, the pending result code, and the checks that end the process.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/text_file.h"
#include "platform/sim/sim.h"

namespace {

constexpr const char *kListing = "C:\\Volume Dateienverzeichnis.txt";

// A bare machine with an empty C: and no result code left over from a test before.
void FreshMachine() {
    sim::Reset();
    sim::AddVolume('C', "", 0x43000000);
    QueryResult();
}

std::string WrittenSizes() {
    std::string sizes;
    for (const sim::WriteRecord &write : sim::Writes()) {
        if (!sizes.empty()) sizes += ' ';
        sizes += std::to_string(write.bytes.size());
    }
    return sizes;
}

// Ends the simulated process through Check; returns the exit code and the
// second line of the box shown.
struct CheckOutcome {
    uint32_t exitCode = 0;
    std::string message;
};

CheckOutcome CheckEndingTheProcess() {
    CheckOutcome outcome;
    try {
        Check();
        ADD_FAILURE() << "Check returned with a code pending";
    } catch (const sim::ProcessExit &exit) {
        outcome.exitCode = exit.exitCode;
    }
    if (sim::Boxes().empty()) return outcome;
    const std::string &text = sim::Boxes()[0].text;
    size_t first = text.find("\r\n");
    size_t second = text.find("\r\n", first + 2);
    outcome.message = text.substr(first + 2, second - first - 2);
    return outcome;
}

TEST(TextFileWriting, ThreeHundredBytesAndALineEndGoOutAs256Then46) {
    FreshMachine();
    TextFile file;
    Bind(file, kListing);
    Create(file);
    std::string text(300, 'x');
    WriteText(file, text);
    EndLine(file);
    EXPECT_EQ(WrittenSizes(), "256");
    Close(file);
    EXPECT_EQ(WrittenSizes(), "256 46");
    EXPECT_EQ(QueryResult(), 0);
    EXPECT_EQ(sim::FileBytes(kListing), text + "\r\n");
    EXPECT_EQ(sim::OpenFileCount(), 0);
}

TEST(TextFileWriting, ABufferFilledExactlyStaysInMemoryUntilMoreComes) {
    FreshMachine();
    TextFile file;
    Bind(file, kListing);
    Create(file);
    WriteText(file, std::string(254, 'a'));
    EndLine(file);
    EXPECT_EQ(WrittenSizes(), "");
    WriteText(file, "b");
    EXPECT_EQ(WrittenSizes(), "256");
    WriteText(file, std::string(255, 'c'));
    EXPECT_EQ(WrittenSizes(), "256");
    Close(file);
    EXPECT_EQ(WrittenSizes(), "256 256");
    EXPECT_EQ(sim::FileBytes(kListing), std::string(254, 'a') + "\r\nb" + std::string(255, 'c'));
}

TEST(TextFileWriting, ATextWhoseLastPieceFillsTheBufferExactlyLeavesItInMemory) {
    // A text bigger than the room left goes out in pieces: the first fills
    // what an earlier text left, each further one a whole buffer. When the
    // last piece fills the buffer exactly, that buffer waits for more.
    struct Row {
        size_t before, text;
        const char *whileWriting, *afterClose;
    };
    const Row rows[] = {
        {100, 156, "", "256"},              // one piece, for comparison
        {100, 156 + 256, "256", "256 256"}, // two pieces
        {100, 156 + 512, "256 256", "256 256 256"},
        {255, 1 + 256, "256", "256 256"},
        {1, 255 + 256, "256", "256 256"},
        {100, 156 + 255, "256", "256 255"}, // one byte short of full
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(std::to_string(row.before) + " bytes, then " + std::to_string(row.text));
        FreshMachine();
        TextFile file;
        Bind(file, kListing);
        Create(file);
        std::string before(row.before, 'a'), text;
        for (size_t i = 0; i < row.text; ++i) text += static_cast<char>('0' + i % 10);
        WriteText(file, before);
        WriteText(file, text);
        EXPECT_EQ(WrittenSizes(), row.whileWriting);
        Close(file);
        EXPECT_EQ(WrittenSizes(), row.afterClose);
        EXPECT_EQ(QueryResult(), 0);
        EXPECT_EQ(sim::FileBytes(kListing), before + text);
    }
}

TEST(TextFileWriting, ALongTextIsSplitIntoWholeBuffers) {
    FreshMachine();
    TextFile file;
    Bind(file, kListing);
    Create(file);
    WriteText(file, "head;");
    std::string text;
    for (int i = 0; i < 700; ++i) text += static_cast<char>('0' + i % 10);
    WriteText(file, text);
    EXPECT_EQ(WrittenSizes(), "256 256");
    Close(file);
    EXPECT_EQ(WrittenSizes(), "256 256 193");
    EXPECT_EQ(sim::FileBytes(kListing), "head;" + text);
}

// Appends "new line" and a line end to the listing through a variable of its own.
void AppendNewLine(TextFile &file) {
    Bind(file, kListing);
    OpenForAppending(file);
    WriteText(file, "new line");
    EndLine(file);
    Close(file);
}

TEST(TextFileWriting, AppendingGoesAfterTheLastByteAndCreatingEmpties) {
    FreshMachine();
    sim::PutFile(kListing, "old line\r\n");
    TextFile file;
    AppendNewLine(file);
    EXPECT_EQ(sim::FileBytes(kListing), "old line\r\nnew line\r\n");

    Create(file);
    WriteText(file, "only");
    Close(file);
    EXPECT_EQ(QueryResult(), 0);
    EXPECT_EQ(sim::FileBytes(kListing), "only");
}

// A listing file grows for years. Windows moves a position past 4 GiB only
// when asked with the high word: without it the position stays at the start
// and the first write overwrites the oldest lines.
TEST(TextFileAppending, AFileOf4GiBAndMoreTakesTheTextAfterItsLastByte) {
    constexpr uint64_t k4GiB = 4ULL << 30;
    FreshMachine();
    sim::PutSparseFile(kListing, "first line\r\n", k4GiB, "last line\r\n");
    uint64_t size = sim::FileSize(kListing);

    uint32_t error = 0, written = 0;
    uint64_t position = 0;
    platform::FileHandle handle = platform::OpenFile(kListing, platform::OpenMode::Append, error);
    EXPECT_FALSE(platform::SetFilePointer(handle, 0, nullptr, platform::SeekOrigin::End, position, error));
    platform::WriteFile(handle, "LOST", 4, written);
    platform::CloseFile(handle);
    EXPECT_EQ(sim::FileRange(kListing, 0, 12), "LOSTt line\r\n") << "the seek without its high word";

    sim::PutSparseFile(kListing, "first line\r\n", k4GiB, "last line\r\n");
    TextFile file;
    AppendNewLine(file);
    EXPECT_EQ(QueryResult(), 0);
    EXPECT_EQ(sim::FileRange(kListing, 0, 12), "first line\r\n");
    EXPECT_EQ(sim::FileRange(kListing, size - 11, 100), "last line\r\nnew line\r\n");
    EXPECT_EQ(sim::FileSize(kListing), size + 10);
}

// An end that cannot be reached is a failed open: nothing may be written
// anywhere else.
TEST(TextFileAppending, AFailedSeekIsAFailedOpen) {
    FreshMachine();
    sim::PutFile(kListing, "old\r\n");
    sim::FailSeek(kListing, 87);
    TextFile file;
    Bind(file, kListing);
    OpenForAppending(file);
    EXPECT_EQ(QueryResult(), 87);
    WriteText(file, "lost");
    EXPECT_EQ(QueryResult(), kResultFileNotOpen);
    EXPECT_EQ(sim::OpenFileCount(), 0);
    EXPECT_TRUE(sim::Writes().empty());
    EXPECT_EQ(sim::FileBytes(kListing), "old\r\n");
}

TEST(TextFileReading, TheLastBytesOfAFileOpenForReading) {
    const struct {
        const char *content;
        const char *last;
    } cases[] = {{"", ""}, {"x", "x"}, {"ab", "ab"}, {"line\r\n", "\r\n"}};
    for (const auto &c : cases) {
        FreshMachine();
        sim::PutFile(kListing, c.content);
        TextFile file;
        Bind(file, kListing);
        char last[2] = {};
        EXPECT_EQ(ReadLastBytes(file, last, 2), 0) << "closed";
        OpenForReading(file);
        int count = ReadLastBytes(file, last, 2);
        EXPECT_EQ(std::string(last, static_cast<size_t>(count)), c.last);
        Close(file);
        EXPECT_EQ(QueryResult(), 0);
    }
    FreshMachine();
    sim::PutSparseFile(kListing, "a", 5ULL << 30, "yz");
    TextFile file;
    Bind(file, kListing);
    OpenForReading(file);
    char last[2];
    EXPECT_EQ(ReadLastBytes(file, last, 2), 2);
    EXPECT_EQ(std::string(last, 2), "yz");
    Close(file);
}

TEST(TextFileWriting, OpeningAnOpenVariableClosesItFirst) {
    FreshMachine();
    TextFile file;
    Bind(file, kListing);
    Create(file);
    WriteText(file, "first");
    OpenForAppending(file);
    WriteText(file, " second");
    Close(file);
    EXPECT_EQ(QueryResult(), 0);
    EXPECT_EQ(WrittenSizes(), "5 7");
    EXPECT_EQ(sim::FileBytes(kListing), "first second");
    EXPECT_EQ(sim::OpenFileCount(), 0);
}

TEST(TextFileWriting, AFileOpenForReadingTakesNoText) {
    FreshMachine();
    sim::PutFile(kListing, "kept");
    TextFile file;
    Bind(file, kListing);
    OpenForReading(file);
    EXPECT_EQ(QueryResult(), 0);
    WriteText(file, "lost");
    EXPECT_EQ(QueryResult(), kResultFileNotOpen);
    Close(file);
    EXPECT_EQ(QueryResult(), 0);
    EXPECT_TRUE(sim::Writes().empty());
    EXPECT_EQ(sim::FileBytes(kListing), "kept");
}

TEST(TextFileResultCode, CloseOnANeverOpenedVariableBlocksEverythingUntilQueried) {
    FreshMachine();
    TextFile file;
    Bind(file, kListing);
    Close(file);
    OpenForAppending(file); // would fail with 2 if it ran
    Create(file);
    WriteText(file, "lost");
    EndLine(file);
    Close(file);
    EXPECT_FALSE(sim::FileExists(kListing));
    EXPECT_EQ(QueryResult(), kResultFileNotOpen);
    EXPECT_EQ(QueryResult(), 0);
    Create(file);
    EXPECT_EQ(QueryResult(), 0);
    EXPECT_TRUE(sim::FileExists(kListing));
    Close(file);
}

TEST(TextFileResultCode, AMissingFileGivesTwoOnceThenZero) {
    FreshMachine();
    TextFile file;
    Bind(file, "C:\\missing.txt");
    OpenForReading(file);
    EXPECT_EQ(QueryResult(), 2);
    EXPECT_EQ(QueryResult(), 0);
    Close(file); // the failed open left it closed
    EXPECT_EQ(QueryResult(), kResultFileNotOpen);
    Bind(file, "C:\\no such dir\\x.txt");
    Create(file);
    EXPECT_EQ(QueryResult(), 3);
}

TEST(TextFileResultCode, OpenErrorsAreMapped) {
    FreshMachine();
    TextFile file;
    Bind(file, kListing);
    for (uint32_t platformCode = 19; platformCode <= 31; ++platformCode) {
        sim::FailOpen(kListing, platformCode);
        OpenForAppending(file);
        EXPECT_EQ(QueryResult(), platformCode + 131) << "platform code " << platformCode;
    }
    sim::FailOpen(kListing, 32);
    Create(file);
    EXPECT_EQ(QueryResult(), 5);
    sim::FailOpen(kListing, 18);
    Create(file);
    EXPECT_EQ(QueryResult(), 18);
    sim::FailOpen(kListing, 0x12345); // only the low 16 bits are kept
    Create(file);
    EXPECT_EQ(QueryResult(), 0x2345);
}

TEST(TextFileResultCode, AFileHeldOpenHereCannotBeOpenedAgain) {
    FreshMachine();
    TextFile first, second;
    Bind(first, kListing);
    Bind(second, kListing);
    Create(first);
    OpenForAppending(second); // sharing violation, reported as access denied
    EXPECT_EQ(QueryResult(), 5);
    Close(first);
    OpenForAppending(second);
    EXPECT_EQ(QueryResult(), 0);
    Close(second);
}

TEST(TextFileResultCode, AFailedWriteSetsDiskFullAndStopsWriting) {
    FreshMachine();
    TextFile file;
    Bind(file, kListing);
    Create(file);
    sim::FailWrite(1);
    WriteText(file, std::string(600, 'y'));
    EXPECT_EQ(WrittenSizes(), "256"); // copying stops at the failed write
    Close(file);
    EXPECT_EQ(QueryResult(), kResultDiskFull);
    EXPECT_EQ(sim::OpenFileCount(), 1); // the pending code kept Close from running
    Close(file);
    EXPECT_EQ(QueryResult(), 0);
}

TEST(TextFileCheck, NothingPendingDoesNothing) {
    FreshMachine();
    Check();
    EXPECT_TRUE(sim::Boxes().empty());
}

TEST(TextFileCheck, AShortWriteIsDiskFull) {
    FreshMachine();
    TextFile file;
    Bind(file, kListing);
    Create(file);
    sim::ShortWrite(1, 100);
    WriteText(file, std::string(256, 'z'));
    EndLine(file);
    CheckOutcome outcome = CheckEndingTheProcess();
    EXPECT_EQ(outcome.exitCode, 217u);
    EXPECT_EQ(outcome.message, "Disk Full");
    ASSERT_EQ(sim::Boxes().size(), 1u);
    EXPECT_EQ(sim::Boxes()[0].caption, "Error");
    EXPECT_EQ(QueryResult(), 0); // Check cleared the code before raising
}

TEST(TextFileCheck, WritingToAClosedFileIsFileNotOpen) {
    FreshMachine();
    TextFile file;
    Bind(file, kListing);
    EndLine(file);
    CheckOutcome outcome = CheckEndingTheProcess();
    EXPECT_EQ(outcome.exitCode, 217u);
    EXPECT_EQ(outcome.message, "File not open");
}

TEST(TextFileCheck, AFailureLeavesTheBufferedBytesUnwritten) {
    FreshMachine();
    TextFile listing, neverOpened;
    Bind(listing, kListing);
    Create(listing);
    std::string line = std::string(100, 'L') + "\r\n";
    for (int i = 0; i < 6; ++i) WriteText(listing, line); // 612 bytes
    Bind(neverOpened, "C:\\other.txt");
    Close(neverOpened);
    CheckOutcome outcome = CheckEndingTheProcess();
    EXPECT_EQ(outcome.message, "File not open");
    // Only the two whole buffers reached the file, ending mid-line.
    std::string all;
    for (int i = 0; i < 6; ++i) all += line;
    EXPECT_EQ(sim::FileBytes(kListing), all.substr(0, 512));
    EXPECT_EQ(sim::OpenFileCount(), 1);
}

} // namespace
