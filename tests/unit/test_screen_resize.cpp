// The extended terminal's screen as the window resizes it: rows leave
// through the top into the history and come back from it, the cursor's row
// stays, rows are cut or padded; the host hears of each new size through
// NAWS; the history follows the scrollback setting and the cell limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/engine/headless_terminal.h"

namespace quill::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct ResizeTest : ::testing::Test {
    ResizeTest() { terminal.Options().SetExtended(true); }

    void Feed(const std::string& bytes) { terminal.Feed(bytes, kReceiveChunk); }
    // Lines "L<first>" to "L<last>", the cursor left after the last one.
    void FeedLines(int first, int last) {
        std::string text;
        for (int i = first; i <= last; ++i) text += "\r\nL" + std::to_string(i);
        Feed(text.substr(2));
    }
    void Resize(int columns, int rows) { terminal.terminal().Resize(columns, rows); }
    const ScreenModel& Screen() const { return terminal.Screen(); }
    // Screen row `row`, or the history row `-row` rows above the screen.
    std::string Row(int row) const {
        std::string text;
        for (const Cell& cell : Screen().Row(Screen().FirstScreenRow() + row)) {
            text += static_cast<char>(cell.Character());
        }
        return text.substr(0, text.find_last_not_of(' ') + 1);
    }
    Bytes Sent() {
        const Bytes sent = terminal.Send().Sent();
        terminal.Send().replies.clear();
        return sent;
    }

    HeadlessTerminal terminal;
};

TEST_F(ResizeTest, RowsLeaveThroughTheTopAndComeBackKeepingTheCursorRow) {
    FeedLines(1, 30);  // L1-L6 in the history, L7-L30 on the screen
    ASSERT_EQ(Screen().HistoryDepth(), 6);

    Resize(80, 10);
    EXPECT_EQ(Screen().HistoryDepth(), 20);
    EXPECT_EQ(Row(-1) + Row(0) + Row(9), "L20L21L30");
    EXPECT_EQ(Screen().CursorRow(), 9);

    Resize(80, 33);  // all twenty come back, then blank rows below
    EXPECT_EQ(Screen().HistoryDepth(), 0);
    EXPECT_EQ(Row(0) + Row(29) + Row(30), "L1L30");
    EXPECT_EQ(Screen().CursorRow(), 29);
}

// Rows below the cursor go before any row leaves through the top.
TEST_F(ResizeTest, ShrinkingDropsRowsBelowTheCursorFirst) {
    FeedLines(1, 24);
    Feed("\x1b[3;1H");
    Resize(80, 5);
    EXPECT_EQ(Screen().HistoryDepth(), 0);
    EXPECT_EQ(Row(0) + Row(4), "L1L5");
    Resize(80, 24);
    Feed("\x1b[7;1H");
    Resize(80, 5);  // after the blank rows below the cursor, two leave through the top
    EXPECT_EQ(Row(-1) + Row(0) + Row(2), "L2L3L5");
    EXPECT_EQ(Screen().CursorRow(), 4);
}

// No reflow: narrowing cuts every row, the history too, and widening brings
// blank cells, not the cut text. The cursor is clamped and the region reset.
TEST_F(ResizeTest, WidthCutsAndPadsRowsClampsTheCursorAndResetsTheRegion) {
    FeedLines(1, 24);
    Feed("\r\n" + std::string(30, 'a') + "\x1b[2;10r\x1b[24;30H");
    Resize(20, 24);
    EXPECT_EQ(Row(-1), "L1");
    EXPECT_EQ(Screen().CursorColumn(), 19);
    EXPECT_EQ(Screen().RegionTop() + Screen().RegionBottom(), 23);
    Resize(40, 24);
    EXPECT_EQ(Row(23), std::string(20, 'a'));
    Resize(3, 1);
    EXPECT_EQ(Screen().Geometry().columns, Terminal::kMinColumns);
    EXPECT_EQ(Screen().Geometry().screenRows, Terminal::kMinRows);
}

// NAWS carries the size with 255 doubled, once per change, only while on;
// the plain terminal stays 80 x 24 and the host hears so at the switch.
TEST_F(ResizeTest, NawsReportsEachNewSizeOnceWhileOn) {
    Resize(100, 30);
    Feed("x");
    EXPECT_EQ(Sent(), Bytes{}) << "NAWS is off";
    Feed("\xff\xfd\x1f");
    EXPECT_EQ(Sent(), (Bytes{255, 251, 31, 255, 250, 31, 0, 100, 0, 30, 255, 240}));
    Resize(100, 30);
    EXPECT_EQ(Sent(), Bytes{});
    Resize(511, 255);
    EXPECT_EQ(Sent(), (Bytes{255, 250, 31, 1, 255, 255, 0, 255, 255, 255, 240}));
    terminal.Options().SetExtended(false);
    Resize(120, 50);
    EXPECT_EQ(Screen().Geometry(), ScreenGeometry{});
    EXPECT_EQ(Sent(), (Bytes{255, 250, 31, 0, 80, 0, 24, 255, 240}));
    terminal.Options().SetExtended(true);
    Feed("x");  // the switch happens at the next block, at the size last asked for
    EXPECT_EQ(Screen().Geometry(), (ScreenGeometry{120, 50, kDefaultScrollback}));
    EXPECT_EQ(Sent(), (Bytes{255, 250, 31, 0, 120, 0, 50, 255, 240}));
}

// DECCOLM changes nothing at all until the host allows it with ?40, as in
// xterm; then 132 or 80 columns with the rows as they were, the screen
// erased, the margins reset and the cursor home (also at the width it has),
// and the host hears of each new width. RIS goes back to 80 and keeps ?40.
TEST_F(ResizeTest, ColumnModeSwitchesTheWidthOnlyWhileTheHostMay) {
    Resize(100, 30);
    Feed("\xff\xfd\x1f");
    Sent();
    Feed("abc\e[5;10r\e[7;4H\e[?3h");
    EXPECT_EQ(Screen().Geometry().columns, 100);
    EXPECT_EQ(Row(0), "abc");
    EXPECT_EQ(Screen().CursorRow(), 6);
    EXPECT_EQ(Sent(), Bytes{});

    Feed("\e[?40h\e[?3h");
    EXPECT_EQ(Screen().Geometry(), (ScreenGeometry{kWideColumns, 30, kDefaultScrollback}));
    EXPECT_EQ(Row(0), "");
    EXPECT_EQ(Screen().CursorRow(), 0);
    EXPECT_EQ(Screen().CursorColumn(), 0);
    EXPECT_EQ(Sent(), (Bytes{255, 250, 31, 0, 132, 0, 30, 255, 240}));
    Feed("abc\e[5;10r\e[7;4H\e[?3h");
    EXPECT_EQ(Row(0), "");
    EXPECT_EQ(Screen().RegionTop(), 0);
    EXPECT_EQ(Screen().RegionBottom(), 29);
    EXPECT_EQ(Screen().CursorRow(), 0);
    EXPECT_EQ(Sent(), Bytes{}) << "the width did not change";

    Feed("\e[?3l");
    EXPECT_EQ(Screen().Geometry().columns, kColumns);
    EXPECT_EQ(Sent(), (Bytes{255, 250, 31, 0, 80, 0, 30, 255, 240}));
    Feed("\e[?3h\ec");
    EXPECT_EQ(Screen().Geometry().columns, kColumns) << "a reset goes back to 80";
    Feed("\e[?3h");
    EXPECT_EQ(Screen().Geometry().columns, kWideColumns) << "a reset keeps ?40";
    Feed("\e[?40l\e[?3l");
    EXPECT_EQ(Screen().Geometry().columns, kWideColumns);
}

// The history has the rows the setting asks for, never more than the cell
// limit allows, and keeps its order past 65,536 rows.
TEST_F(ResizeTest, HistoryFollowsTheSettingAndTheCellLimit) {
    terminal.Options().SetScrollback(0);
    Resize(80, 24);
    FeedLines(1, 30);
    EXPECT_EQ(Screen().FirstScreenRow() + Screen().HistoryDepth(), 0);

    terminal.Options().SetScrollback(kScrollbackLimit);
    Resize(400, 24);
    EXPECT_EQ(Screen().Geometry().historyRows, kHistoryCellLimit / 400);
    Resize(80, 24);
    EXPECT_EQ(Screen().Geometry().historyRows, kScrollbackLimit);
    Feed("\x1b[2J\x1b[H");
    FeedLines(1, 70'024);
    EXPECT_EQ(Screen().HistoryDepth(), 70'000);
    EXPECT_EQ(Row(-70'000) + Row(-1) + Row(0), "L1L70000L70001");

    terminal.Options().SetExtended(false);  // the plain terminal keeps the newest 275
    Resize(80, 24);
    EXPECT_EQ(Row(-kHistoryRows) + Row(-1), "L69726L70000");
}

// A row's line (the rows scrolled so far plus its buffer row), which a
// selection holds, stays with its text whatever the resize does to the
// history: rows through the top, a new depth, rows back from the history.
TEST_F(ResizeTest, ARowKeepsItsLineAcrossResizes) {
    FeedLines(1, 40);  // L10 in the history
    const std::int64_t line = Screen().LinesScrolled() + Screen().FirstScreenRow() - 7;
    const auto textOnLine = [&] {
        std::string text;
        const int row = static_cast<int>(line - Screen().LinesScrolled());
        for (const Cell& cell : Screen().Row(row)) text += static_cast<char>(cell.Character());
        return text.substr(0, text.find_last_not_of(' ') + 1);
    };
    ASSERT_EQ(textOnLine(), "L10");
    Resize(80, 10);
    EXPECT_EQ(textOnLine(), "L10");
    terminal.Options().SetScrollback(500);
    Resize(100, 10);
    EXPECT_EQ(textOnLine(), "L10");
    Resize(100, 40);
    EXPECT_EQ(textOnLine(), "L10");
}

}  // namespace
}  // namespace quill::test
