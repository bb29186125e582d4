// The status text buffer and what SetStatusText sends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

// A walk of files that each take the same time, under status texts that
// each cost the same: how many paths show, and when.
struct ProgressCase {
    const char *what;
    uint32_t fileMilliseconds;
    uint32_t textMicroseconds;
    int files;
    double fewestPerSecond; // texts shown during the walk, per second of it
    double mostPerSecond;
};

const ProgressCase kProgressCases[] = {
    {"a text far below a millisecond, as on Windows: ten a second", 10, 200, 300, 9.5, 10.0},
    {"1 ms a text, 1 % of the walk: still ten a second", 10, 1000, 300, 9.5, 10.0},
    {"2.4 ms a text: the budget begins to bind", 10, 2400, 1000, 8.0, 8.4},
    {"7.5 ms a text, Wine on a slow display: a few a second", 10, 7500, 1000, 2.5, 2.8},
    {"40 ms a text: one every two seconds, still moving", 10, 40000, 3000, 0.45, 0.55},
};

int FileNumber(const std::string &text) { return std::stoi(text.substr(sizeof " D:\\file" - 1)); }

TEST(StatusLine, ProgressKeepsToTenTextsASecondAndTwoPercentOfTheWalk) {
    for (const ProgressCase &c : kProgressCases) {
        SCOPED_TRACE(c.what);
        sim::Reset();
        sim::SetTickStep(c.fileMilliseconds);
        sim::SetStatusTextMicroseconds(c.textMicroseconds);
        BeginProgress();
        for (int i = 0; i < c.files; ++i) ShowProgress(String255("D:\\file" + std::to_string(i)));
        double walkMicroseconds = static_cast<double>(platform::MicrosecondCount());
        size_t shown = sim::StatusTexts().size();
        EndProgress();

        const std::vector<sim::StatusRecord> &texts = sim::StatusTexts();
        EXPECT_EQ(texts.front().text, " D:\\file0");
        EXPECT_EQ(texts.back().text, " D:\\file" + std::to_string(c.files - 1));
        EXPECT_EQ(sim::RepaintCount(), static_cast<int>(texts.size()));
        for (size_t i = 1; i < shown; ++i)
            EXPECT_GE((FileNumber(texts[i].text) - FileNumber(texts[i - 1].text)) * c.fileMilliseconds,
                      kProgressRepaintMilliseconds);
        // Before each text, the texts before it had taken at most 2 % of the walk so far.
        double textMicroseconds = static_cast<double>(shown) * c.textMicroseconds;
        EXPECT_LE(textMicroseconds - c.textMicroseconds, walkMicroseconds / kProgressShareOfWalk);
        double perSecond = static_cast<double>(shown) / (walkMicroseconds / 1e6);
        EXPECT_GE(perSecond, c.fewestPerSecond);
        EXPECT_LE(perSecond, c.mostPerSecond);
    }
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
