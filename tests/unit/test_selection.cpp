// The selection rectangle in cells: from the cell pressed to the cell
// dragged to, and the text a rectangle copies from the rows on display.
#include <gtest/gtest.h>

#include "core/terminal/selection.h"
#include "replay_session.h"

namespace quill::test {
namespace {

TEST(SelectionRect, MarksFromThePressedCellToTheDraggedOneAndCopiesRowsWithLineEnds) {
    ReplaySession session(false, false);
    const ScreenModel& screen = session.terminal().Screen();
    session.Feed("abcdefgh\r\nijklmnop\r\nqrstuvwx", 100);
    Selection selection;

    selection.SelectionPress({0, 3});
    selection.SelectionRelease();
    EXPECT_FALSE(selection.Rect().MarksCells());
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "");

    selection.SelectionPress({0, 1});
    selection.SelectionDrag({1, 1});  // the cell dragged to is taken
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "b\r\nj\r\n");
    selection.SelectionDrag({1, 3});
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "bcd\r\njkl\r\n");
    selection.SelectionRelease();
    selection.SelectionDrag({2, 6});  // released: moves change nothing
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "bcd\r\njkl\r\n");

    // The window holds a drag past the grid at its last column.
    selection.SelectionPress({2, 4});
    selection.SelectionDrag({2, kColumns - 1});
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "uvwx" + std::string(72, ' ') + "\r\n");
}

TEST(SelectionRect, BackwardRectanglesSelectNoCells) {
    ReplaySession session(false, false);
    const ScreenModel& screen = session.terminal().Screen();
    Selection selection;
    selection.SelectionPress({2, 5});
    selection.SelectionDrag({2, 1});  // left of the press: one line end per row
    EXPECT_FALSE(selection.Rect().MarksCells());
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "\r\n");
    selection.SelectionDrag({0, 7});  // above the press row: no rows
    EXPECT_EQ(selection.Rect().bottom, 1);
    EXPECT_EQ(selection.CopyText(screen, kLiveViewTop), "");
}

}  // namespace
}  // namespace quill::test
