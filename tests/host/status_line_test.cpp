// The status text buffer and what SetStatusText sends.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim.h"
#include "shell/status_line.h"

namespace {

std::string Composed(uint32_t part, const String255 &text) {
    char buffer[256];
    int length = ComposeStatusText(part, text, buffer);
    EXPECT_EQ(buffer[length], '\0');
    return std::string(buffer, static_cast<size_t>(length));
}

TEST(StatusLine, PartZeroGetsASpaceOtherPartsATab) {
    EXPECT_EQ(Composed(0, "26"), " 26");
    EXPECT_EQ(Composed(1, "26"), "\t26");
    EXPECT_EQ(Composed(0xFFFFFFFF, "x"), "\tx");
}

TEST(StatusLine, EmptyTextShowsASingleSpace) { EXPECT_EQ(Composed(0, ""), " "); }

TEST(StatusLine, LongTextsFitTheBuffer) {
    std::string text254(254, 'p');
    EXPECT_EQ(Composed(0, String255(text254)), " " + text254);
    std::string text255 = std::string(254, 'p') + "Q";
    EXPECT_EQ(Composed(0, String255(text255)), " " + text254);
}

TEST(StatusLine, SetStatusTextSendsToTheStatusBar) {
    sim::Reset();
    int window = 0;
    StatusBar = &window;
    SetStatusText(0, "D:\\Songs\\song.mp3");
    ASSERT_EQ(sim::StatusTexts().size(), 1u);
    EXPECT_EQ(sim::StatusTexts()[0].window, &window);
    EXPECT_EQ(sim::StatusTexts()[0].part, 0u);
    EXPECT_EQ(sim::StatusTexts()[0].text, " D:\\Songs\\song.mp3");
    StatusBar = nullptr;
}

} // namespace

namespace {

TEST(StatusLine, ProgressRepaintsAtMostTwentyTimesASecondAndAlwaysAtTheEnd) {
    sim::Reset();
    sim::SetTickStep(10); // every file takes 10 ms
    for (int i = 0; i < 100; ++i) ShowProgress(String255("D:\\file" + std::to_string(i)));
    EXPECT_EQ(sim::StatusTexts().size(), 100u);
    EXPECT_LE(sim::RepaintCount(), 21);
    EXPECT_GE(sim::RepaintCount(), 19);
    int before = sim::RepaintCount();
    EndProgress();
    EXPECT_EQ(sim::RepaintCount(), before + 1);
    EXPECT_EQ(sim::StatusTexts().back().text, " D:\\file99");
}

TEST(StatusLine, EndProgressDoesNotRepaintTwice) {
    sim::Reset();
    sim::SetTickStep(1000); // every path is repainted as it comes
    ShowProgress("D:\\a");
    ShowProgress("D:\\b");
    int before = sim::RepaintCount();
    EndProgress();
    EXPECT_EQ(sim::RepaintCount(), before);
}

} // namespace
