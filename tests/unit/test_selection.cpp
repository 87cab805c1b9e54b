// The selection rectangle: snapping to cell edges, and the text a rectangle
// copies from the rows on display.
#include <gtest/gtest.h>

#include "core/terminal/selection.h"
#include "replay_session.h"

namespace quill::test {
namespace {

TEST(SelectionRect, SnapsToCellEdgesAndCopiesRowsWithLineEnds) {
    EXPECT_EQ(SnapToCell(20, 8), 16);
    EXPECT_EQ(SnapToCell(23, 8), 24);
    ReplaySession session(false, false);
    const ScreenModel& screen = session.terminal().Screen();
    session.Feed("abcdefgh\r\nijklmnop\r\nqrstuvwx", 100);
    Selection selection(8, 16);

    selection.SelectionPress(3, 3);
    selection.SelectionRelease();
    EXPECT_TRUE(selection.Rect().Empty());
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "");

    selection.SelectionPress(8, 0);
    selection.SelectionDrag(30, 20);  // row 1; column 3 under x = 30 is not reached
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "bc\r\njk\r\n");
    selection.SelectionDrag(31, 20);  // its last pixel column includes it
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "bcd\r\njkl\r\n");
    selection.SelectionRelease();
    selection.SelectionDrag(70, 40);  // released: moves change nothing
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "bcd\r\njkl\r\n");
}

TEST(SelectionRect, BackwardRectanglesSelectNoCells) {
    ReplaySession session(false, false);
    const ScreenModel& screen = session.terminal().Screen();
    Selection selection(8, 16);
    selection.SelectionPress(40, 40);
    selection.SelectionDrag(10, 40);  // left of the press: one line end per row
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "\r\n");
    selection.SelectionDrag(60, 0);  // above the press row: no rows
    EXPECT_EQ(selection.Rect().bottom, 16);
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "");
}

}  // namespace
}  // namespace quill::test
