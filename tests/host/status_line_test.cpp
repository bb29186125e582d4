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

TEST(StatusLine, ProgressShowsPathsAtMostTenTimesASecondAndAlwaysTheLast) {
    sim::Reset();
    sim::SetTickStep(10); // every file takes 10 ms
    BeginProgress();
    for (int i = 0; i < 100; ++i) ShowProgress(String255("D:\\file" + std::to_string(i)));
    // One second of walking: the first path, then one every 100 ms.
    EXPECT_EQ(sim::StatusTexts().front().text, " D:\\file0");
    EXPECT_GE(sim::StatusTexts().size(), 9u);
    EXPECT_LE(sim::StatusTexts().size(), 11u);
    EXPECT_EQ(sim::RepaintCount(), static_cast<int>(sim::StatusTexts().size()));
    EndProgress();
    EXPECT_EQ(sim::StatusTexts().back().text, " D:\\file99");
    EXPECT_EQ(sim::RepaintCount(), static_cast<int>(sim::StatusTexts().size()));
}

TEST(StatusLine, OnAFastMachineOnlyTheFirstAndTheLastPathShow) {
    sim::Reset();
    sim::SetTickStep(0);
    BeginProgress();
    for (int i = 0; i < 1000; ++i) ShowProgress(String255("D:\\file" + std::to_string(i)));
    EndProgress();
    ASSERT_EQ(sim::StatusTexts().size(), 2u);
    EXPECT_EQ(sim::StatusTexts()[0].text, " D:\\file0");
    EXPECT_EQ(sim::StatusTexts()[1].text, " D:\\file999");
    // The next walk's first path shows at once again.
    BeginProgress();
    ShowProgress("E:\\next");
    EXPECT_EQ(sim::StatusTexts().back().text, " E:\\next");
}

TEST(StatusLine, APathHeldBackIsForgottenOnceALaterOneShows) {
    sim::Reset();
    sim::SetTickStep(50);
    BeginProgress();
    ShowProgress("D:\\a"); // at 0 ms: shown
    ShowProgress("D:\\b"); // at 50 ms: held back
    ShowProgress("D:\\c"); // at 100 ms: shown, and the last
    EndProgress();
    ASSERT_EQ(sim::StatusTexts().size(), 2u);
    EXPECT_EQ(sim::StatusTexts()[0].text, " D:\\a");
    EXPECT_EQ(sim::StatusTexts()[1].text, " D:\\c");
}

TEST(StatusLine, EndProgressShowsNothingTwice) {
    sim::Reset();
    sim::SetTickStep(1000); // every path is shown as it comes
    BeginProgress();
    ShowProgress("D:\\a");
    ShowProgress("D:\\b");
    int before = sim::RepaintCount();
    EndProgress();
    EXPECT_EQ(sim::RepaintCount(), before);
    EXPECT_EQ(sim::StatusTexts().size(), 2u);
}

} // namespace
