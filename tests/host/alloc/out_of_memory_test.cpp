// A failed allocation ends the process with "Out of memory" once the failure
// has been made ready, wherever the allocation happens.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/sim/sim.h"
#include "shell/failure_report.h"

namespace {

std::string SecondLine(const std::string &text) {
    size_t first = text.find("\r\n");
    return text.substr(first + 2, text.find("\r\n", first + 2) - first - 2);
}

TEST(OutOfMemory, AFailedAllocationIsReportedAndEndsTheProcess) {
    sim::Reset();
    PrepareOutOfMemory();
    sim::SetCallChain({0x00401111, 0x00402222});
    sim::FailAllocation(2);
    auto first = std::make_unique<int>(1); // the first allocation still succeeds
    uint32_t exitCode = 0;
    try {
        std::string text(100, 'x'); // a heap text, as the walk's line tails are
        ADD_FAILURE() << "the allocation succeeded";
    } catch (const sim::ProcessExit &exit) {
        exitCode = exit.exitCode;
    }
    EXPECT_EQ(exitCode, 217u);
    ASSERT_EQ(sim::Boxes().size(), 1u);
    EXPECT_EQ(sim::Boxes()[0].caption, "Error");
    const std::string &text = sim::Boxes()[0].text;
    EXPECT_EQ(text.rfind("An unhandled exception occurred at 0x", 0), 0u);
    EXPECT_EQ(SecondLine(text), "Out of memory");
    EXPECT_EQ(text.substr(text.size() - 30), "  0x00401111\r\n  0x00402222\r\n\r\n");
}

TEST(OutOfMemory, ArrayAllocationsToo) {
    sim::Reset();
    PrepareOutOfMemory();
    sim::FailAllocation(1);
    uint32_t exitCode = 0;
    try {
        std::unique_ptr<char[]> block(new char[16]);
        ADD_FAILURE() << "the allocation succeeded";
    } catch (const sim::ProcessExit &exit) {
        exitCode = exit.exitCode;
    }
    EXPECT_EQ(exitCode, 217u);
    ASSERT_EQ(sim::Boxes().size(), 1u);
    EXPECT_EQ(SecondLine(sim::Boxes()[0].text), "Out of memory");
}

} // namespace
