// The failure report on the simulated machine: its text byte for byte, how it
// is cut into boxes, the processor faults it takes, and the process end.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim.h"
#include "shell/failure_report.h"

namespace {

// Raises a failure on the simulated machine; the exit code it ended with.
uint32_t ExitCodeOfFailure(const char *message, uintptr_t address) {
    try {
        RaiseFailure(message, address);
    } catch (const sim::ProcessExit &exit) {
        return exit.exitCode;
    }
}

uint32_t ExitCodeOfFault(uint32_t exceptionCode, uintptr_t address, bool &taken) {
    taken = true;
    try {
        taken = sim::RaiseProcessorFault(exceptionCode, address);
    } catch (const sim::ProcessExit &exit) {
        return exit.exitCode;
    }
    return 0;
}

std::vector<uintptr_t> Callers(int count) {
    std::vector<uintptr_t> chain;
    for (int i = 0; i < count; ++i) chain.push_back(0x00402000 + 0x10 * static_cast<uintptr_t>(i));
    return chain;
}

std::string CallerLines(int count) {
    std::string lines;
    for (uintptr_t address : Callers(count)) {
        static const char digits[] = "0123456789ABCDEF";
        std::string hex(8, '0');
        for (int i = 7; i >= 0; --i, address >>= 4) hex[static_cast<size_t>(i)] = digits[address & 0xF];
        lines += "  0x" + hex + "\r\n";
    }
    return lines;
}

std::string AllBoxTexts() {
    std::string all;
    for (const sim::BoxRecord &box : sim::Boxes()) all += box.text;
    return all;
}

TEST(FailureReportText, HeadMessageAddressCallersAndAnEmptyLine) {
    sim::Reset();
    sim::SetCallChain({0x00401A2B, 0x0040FFF0, 0x7B00C3D4});
    EXPECT_EQ(ExitCodeOfFailure("Disk Full", 0x0041BEEF), 217u);
    ASSERT_EQ(sim::Boxes().size(), 1u);
    EXPECT_EQ(sim::Boxes()[0].caption, "Error");
    EXPECT_EQ(sim::Boxes()[0].text,
              "An unhandled exception occurred at 0x0041BEEF :\r\n"
              "Disk Full\r\n"
              "  0x0041BEEF\r\n"
              "  0x00401A2B\r\n"
              "  0x0040FFF0\r\n"
              "  0x7B00C3D4\r\n"
              "\r\n");
}

TEST(FailureReportText, NoCallersAtAll) {
    sim::Reset();
    ExitCodeOfFailure("File not open", 0x0000000A);
    ASSERT_EQ(sim::Boxes().size(), 1u);
    EXPECT_EQ(sim::Boxes()[0].text,
              "An unhandled exception occurred at 0x0000000A :\r\n"
              "File not open\r\n"
              "  0x0000000A\r\n"
              "\r\n");
}

TEST(FailureReportText, CallersStartBeyondTheRaisingFrameAndEndAtANull) {
    sim::Reset();
    // The frames of the report itself and of a check come before the
    // address the failure was raised at; nothing after the null is a caller.
    sim::SetCallChain({0x00405555, 0x00406666, 0x00401234, 0x00407777, 0x00408888, 0, 0x00409999});
    ExitCodeOfFailure("Disk Full", 0x00401234);
    ASSERT_EQ(sim::Boxes().size(), 1u);
    EXPECT_EQ(sim::Boxes()[0].text,
              "An unhandled exception occurred at 0x00401234 :\r\n"
              "Disk Full\r\n"
              "  0x00401234\r\n"
              "  0x00407777\r\n"
              "  0x00408888\r\n"
              "\r\n");
}

TEST(FailureReportBoxes, FileNotOpenWith67CallersFitsOneBox) {
    sim::Reset();
    sim::SetCallChain(Callers(67));
    ExitCodeOfFailure("File not open", 0x00401000);
    ASSERT_EQ(sim::Boxes().size(), 1u);
    EXPECT_EQ(sim::Boxes()[0].text.size(), 1018u);
    EXPECT_EQ(sim::Boxes()[0].text, "An unhandled exception occurred at 0x00401000 :\r\nFile not open\r\n"
                                    "  0x00401000\r\n" + CallerLines(67) + "\r\n");
}

TEST(FailureReportBoxes, FileNotOpenWith68CallersTakesTwo) {
    sim::Reset();
    sim::SetCallChain(Callers(68));
    EXPECT_EQ(ExitCodeOfFailure("File not open", 0x00401000), 217u);
    ASSERT_EQ(sim::Boxes().size(), 2u);
    // The last caller line is cut where the buffer fills; the empty line is
    // shown at the process end.
    std::string whole = "An unhandled exception occurred at 0x00401000 :\r\nFile not open\r\n"
                        "  0x00401000\r\n" + CallerLines(68);
    EXPECT_EQ(sim::Boxes()[0].text, whole.substr(0, 1024));
    EXPECT_EQ(sim::Boxes()[1].text, "\r\n");
    EXPECT_EQ(sim::Boxes()[1].caption, "Error");
}

TEST(FailureReportBoxes, OutOfMemoryAlsoSplitsFrom68Callers) {
    sim::Reset();
    sim::SetCallChain(Callers(67));
    ExitCodeOfFailure("Out of memory", 0x00401000);
    EXPECT_EQ(sim::Boxes().size(), 1u);
    sim::Reset();
    sim::SetCallChain(Callers(68));
    ExitCodeOfFailure("Out of memory", 0x00401000);
    EXPECT_EQ(sim::Boxes().size(), 2u);
}

TEST(FailureReportBoxes, AtMost257CallerLinesInSeveralBoxes) {
    sim::Reset();
    sim::SetCallChain(Callers(300));
    ExitCodeOfFailure("Disk Full", 0x00401000);
    // 47 + 11 + 14 bytes of head, 257 lines of 14, 2 of the empty line: the
    // boxes take 1024 bytes each and every line cut at a box's end loses its rest.
    ASSERT_EQ(sim::Boxes().size(), 4u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(sim::Boxes()[i].text.size(), 1024u) << "box " << i;
    std::string lines = "  0x00401000\r\n" + CallerLines(257);
    EXPECT_EQ(sim::Boxes()[0].text.substr(0, 49), "An unhandled exception occurred at 0x00401000 :\r\n");
    EXPECT_EQ(sim::Boxes()[0].text.substr(49, 11), "Disk Full\r\n");
    EXPECT_EQ(sim::Boxes()[0].text.substr(60), lines.substr(0, 964));
    // 964 = 68 lines and 12 bytes of the 69th, whose last 2 bytes are dropped.
    EXPECT_EQ(sim::Boxes()[1].text, lines.substr(966, 1024));
    EXPECT_EQ(sim::Boxes()[3].text.substr(sim::Boxes()[3].text.size() - 16), "  0x00403000\r\n\r\n");
    EXPECT_EQ(AllBoxTexts().find("  0x00403010"), std::string::npos);
}

TEST(FailureReportEnd, EndProcessShowsNothingWhenNothingIsGathered) {
    sim::Reset();
    InstallFaultHandler();
    try {
        EndProcess(0);
    } catch (const sim::ProcessExit &exit) {
        EXPECT_EQ(exit.exitCode, 0u);
    }
    EXPECT_TRUE(sim::Boxes().empty());
    EXPECT_FALSE(sim::FaultHandlerInstalled());
}

TEST(FailureReportEnd, AReportRemovesTheFaultHandler) {
    sim::Reset();
    InstallFaultHandler();
    EXPECT_TRUE(sim::FaultHandlerInstalled());
    ExitCodeOfFailure("Disk Full", 0x00401000);
    EXPECT_FALSE(sim::FaultHandlerInstalled());
}

struct FaultCase {
    uint32_t code;
    const char *message;
};

constexpr FaultCase kFaultTable[] = {
    {0xC0000005, "Access violation"},
    {0xC000008D, "Access violation"},
    {0xC0000094, "Division by zero"},
    {0xC000008E, "Division by zero"},
    {0xC0000095, "Arithmetic overflow"},
    {0xC000008C, "Range check error"},
    {0xC0000090, "Invalid floating point operation"},
    {0xC0000092, "Invalid floating point operation"},
    {0xC0000091, "Floating point overflow"},
    {0xC0000093, "Floating point underflow"},
    {0xC00000FD, "Unknown Run-Time error : 202"},
    {0x80000004, "Unknown Run-Time error : 217"},
    {0xC0000006, "Unknown Run-Time error : 217"},
    {0xC000001D, "Unknown Run-Time error : 217"},
    {0xC0000096, "Unknown Run-Time error : 217"},
};

TEST(FailureReportFaults, EveryListedFaultIsReportedAtItsOwnAddress) {
    for (const FaultCase &fault : kFaultTable) {
        sim::Reset();
        InstallFaultHandler();
        bool taken = false;
        EXPECT_EQ(ExitCodeOfFault(fault.code, 0x00403A5C, taken), 217u) << std::hex << fault.code;
        EXPECT_TRUE(taken);
        ASSERT_EQ(sim::Boxes().size(), 1u) << std::hex << fault.code;
        EXPECT_EQ(sim::Boxes()[0].text, std::string("An unhandled exception occurred at 0x00403A5C :\r\n") +
                                            fault.message + "\r\n  0x00403A5C\r\n\r\n");
    }
}

TEST(FailureReportFaults, OtherFaultsAreLeftToThePlatform) {
    const uint32_t others[] = {0xC0000008, 0xC0000017, 0xC0000025, 0xC000008F, 0x80000003, 0xE06D7363, 0};
    for (uint32_t code : others) {
        sim::Reset();
        InstallFaultHandler();
        bool taken = true;
        ExitCodeOfFault(code, 0x00401000, taken);
        EXPECT_FALSE(taken) << std::hex << code;
        EXPECT_TRUE(sim::Boxes().empty());
        EXPECT_TRUE(sim::FaultHandlerInstalled());
    }
}

// While a report's box is up, the window's messages run and fault again.
int nestedFaults = 0;
bool lastNestedFaultTaken = true;
void FaultAgainWhileTheBoxIsUp() {
    if (nestedFaults == 20) return;
    ++nestedFaults;
    lastNestedFaultTaken = sim::RaiseProcessorFault(0xC0000094, 0x00401000 + static_cast<uintptr_t>(nestedFaults));
}

TEST(FailureReportFaults, TheSeventeenthFaultInFlightIsLeftToThePlatform) {
    sim::Reset();
    InstallFaultHandler();
    nestedFaults = 0;
    sim::SetBoxShownAction(FaultAgainWhileTheBoxIsUp);
    bool taken = false;
    EXPECT_EQ(ExitCodeOfFault(0xC0000005, 0x00401000, taken), 217u);
    EXPECT_TRUE(taken);
    // The first fault and 15 nested ones were reported; the 16th nested one
    // (17th in flight) went back to the platform.
    EXPECT_EQ(nestedFaults, 16);
    EXPECT_FALSE(lastNestedFaultTaken);
    ASSERT_EQ(sim::Boxes().size(), 16u);
    EXPECT_EQ(sim::Boxes()[0].text, "An unhandled exception occurred at 0x00401000 :\r\n"
                                    "Access violation\r\n  0x00401000\r\n\r\n");
    EXPECT_EQ(sim::Boxes()[15].text, "An unhandled exception occurred at 0x0040100F :\r\n"
                                     "Division by zero\r\n  0x0040100F\r\n\r\n");
    sim::SetBoxShownAction(nullptr);
}

TEST(FailureReportFaults, AFreshInstallCountsFromNothing) {
    sim::Reset();
    InstallFaultHandler();
    nestedFaults = 0;
    sim::SetBoxShownAction(FaultAgainWhileTheBoxIsUp);
    bool taken = false;
    ExitCodeOfFault(0xC0000005, 0x00401000, taken);
    sim::Reset();
    InstallFaultHandler();
    ExitCodeOfFault(0xC0000005, 0x00401000, taken);
    EXPECT_TRUE(taken);
    EXPECT_EQ(sim::Boxes().size(), 1u);
}

} // namespace
