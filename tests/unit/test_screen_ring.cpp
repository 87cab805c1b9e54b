// The rows of the screen and the history in their ring, read as the window
// reads them (window row r shows buffer row viewTop + r, 25 rows with the
// spare row below the screen): wrap-around, the spare row, erasing the
// history, and a scrolled-back view.
#include <gtest/gtest.h>

#include <string>

#include "core/view/row_text.h"
#include "replay_session.h"

namespace quill::test {
namespace {

constexpr int kWindowRows = kScreenRows + 1;

struct RingTest : ::testing::Test {
    ReplaySession session{false, false};
    const ScreenView& screen = session.terminal().View();

    void Feed(const std::string& bytes) { session.Feed(bytes, kReceiveChunk); }
    // Lines "L<first>" to "L<last>", each ending in CR LF.
    void FeedLines(int first, int last) {
        for (int i = first; i <= last; ++i) Feed("L" + std::to_string(i) + "\r\n");
    }
    // Text of window row `row` with the view top at `viewTop`, as copy takes it.
    std::string WindowRow(int viewTop, int row) const {
        return RowText(screen.Row(viewTop + row), &screen);
    }
};

// 1000 lines go round the ring of 299 rows more than three times; the
// history still holds the last 275 rows that left the screen, in order.
// A region from the top row to above the bottom one then scrolls the history
// with it but leaves the rows below the region where they are.
TEST_F(RingTest, HistoryStaysInOrderAcrossWrapAroundAndPartialRegions) {
    Feed("\x1b[24;1H");
    FeedLines(1, 1000);
    EXPECT_EQ(WindowRow(0, 0), "L703");
    EXPECT_EQ(WindowRow(kLiveViewTop, -1), "L977");
    EXPECT_EQ(WindowRow(kLiveViewTop, 0), "L978");
    EXPECT_EQ(WindowRow(kLiveViewTop, 22), "L1000");

    Feed("\x1b[1;20r");  // the cursor goes to row 19
    FeedLines(1001, 1400);
    EXPECT_EQ(WindowRow(kLiveViewTop, 18), "L1400");
    EXPECT_EQ(WindowRow(kLiveViewTop, 19), "");
    for (int r = 20; r < 23; ++r)
        EXPECT_EQ(WindowRow(kLiveViewTop, r), "L" + std::to_string(978 + r));
    EXPECT_EQ(WindowRow(kLiveViewTop, 23), "");
    EXPECT_EQ(WindowRow(kLiveViewTop, -1), "L1381");
    EXPECT_EQ(WindowRow(0, 0), "L1107");
}

// Only the alignment fill and erasing from the cursor write the spare row;
// scrolling never moves it. The window shows it as its 25th row.
TEST_F(RingTest, SpareRowBelowTheScreenIsShownAsTheWindowsLastRow) {
    Feed("\x1b#8");
    EXPECT_EQ(WindowRow(kLiveViewTop, kScreenRows), std::string(kColumns, 'E'));
    Feed("\x1b[24;1H");
    FeedLines(1, 400);
    EXPECT_EQ(WindowRow(kLiveViewTop, kScreenRows), std::string(kColumns, 'E'));
    Feed("\x1b[J");
    EXPECT_EQ(WindowRow(kLiveViewTop, kScreenRows), "");
    EXPECT_EQ(kLiveViewTop + kWindowRows, screen.BufferRows());
}

// Erasing to the cursor and erasing everything blank the history as well.
TEST_F(RingTest, ErasingInDisplayBlanksTheHistory) {
    FeedLines(1, 100);
    Feed("\x1b[5;1H\x1b[1J");
    for (int top : {1, 200, kLiveViewTop - 1}) EXPECT_EQ(WindowRow(top, 0), "") << top;
    EXPECT_EQ(WindowRow(kLiveViewTop, 3), "");
    EXPECT_EQ(WindowRow(kLiveViewTop, 4), "L82");
    FeedLines(101, 400);
    Feed("\x1b[2J");
    for (int top : {1, 137, kLiveViewTop}) {
        for (int r = 0; r < kWindowRows; ++r) EXPECT_EQ(WindowRow(top, r), "") << top << " " << r;
    }
}

// A view scrolled back keeps its buffer rows, counted from the top of the
// history, so its text moves on as lines arrive.
TEST_F(RingTest, ScrolledBackViewKeepsItsBufferRowsWhileTextMovesOn) {
    FeedLines(1, 400);
    const int viewTop = 200;
    EXPECT_EQ(WindowRow(viewTop, 0), "L303");
    FeedLines(401, 403);
    EXPECT_EQ(WindowRow(viewTop, 0), "L306");
    EXPECT_EQ(WindowRow(viewTop, 24), "L330");
}

}  // namespace
}  // namespace quill::test
