// The extended terminal's cells, palette and modes after xterm's sequences:
// what the replay output does not show.

#include <gtest/gtest.h>

#include <string_view>

#include "core/engine/headless_terminal.h"

namespace quill {
namespace {

class XtermScreen : public ::testing::Test {
  protected:
    XtermScreen() { headless.Options().SetExtended(true); }

    void Feed(std::string_view bytes) { headless.Feed(bytes, 100); }
    const Cell& At(int row, int column) const {
        const ScreenModel& screen = headless.Screen();
        return screen.Row(screen.FirstScreenRow() + row)[static_cast<std::size_t>(column)];
    }
    const TerminalModes& Modes() const { return headless.Modes(); }

    HeadlessTerminal headless;
};

Cell Erased(CellColour background) {
    Cell cell;
    cell.background = background;
    return cell;
}

TEST_F(XtermScreen, ErasingAndScrollingFillWithThePensBackgroundOnly) {
    const CellColour blue = CellColour::Palette(4);
    Feed("xxxxxxxxxx\r\nyyyyyyyyyy\e[1;31;44;7m");
    Feed("\e[1;3H\e[K\e[2;2H\e[1K\e[2;6H\e[2X");
    EXPECT_EQ(At(0, 2), Erased(blue));
    EXPECT_EQ(At(0, 79), Erased(blue));
    EXPECT_EQ(At(1, 0), Erased(blue));
    EXPECT_EQ(At(1, 6), Erased(blue));
    EXPECT_EQ(At(1, 8).Character(), U'y');
    Feed("\e[24;1H\n\e[S");
    EXPECT_EQ(At(23, 40), Erased(blue));
    EXPECT_EQ(At(22, 40), Erased(blue));
    Feed("\e[5;1H\e[L");
    EXPECT_EQ(At(4, 0), Erased(blue));
}

// As in erasing; the plain terminal's own rule is in the data tests.
TEST_F(XtermScreen, DeletingCharactersLeavesCellsInThePensBackgroundInTheBbsTerminalToo) {
    const CellColour blue = CellColour::Palette(4);
    for (const DialectId dialect : {DialectId::kExtended, DialectId::kBbs}) {
        headless.Options().SetDialect(dialect);
        Feed("\e[m\e[2J\e[Habc\e[44m\e[H\e[2P");
        EXPECT_EQ(At(0, 0).Character(), U'c');
        EXPECT_EQ(At(0, 78), Erased(blue));
        EXPECT_EQ(At(0, 79), Erased(blue));
    }
}

TEST_F(XtermScreen, RenditionsTakeColonColoursWithOrWithoutAColourSpace) {
    Feed("\e[38:2::10:20:30;48:5:200mA\e[38:2:1:2:3mB\e[58:5:3;4mC");
    EXPECT_EQ(At(0, 0).foreground, CellColour::Direct(10, 20, 30));
    EXPECT_EQ(At(0, 0).background, CellColour::Palette(200));
    EXPECT_EQ(At(0, 1).foreground, CellColour::Direct(1, 2, 3));
    EXPECT_TRUE(At(0, 2).Has(cell_flags::kUnderline));
    EXPECT_EQ(At(0, 2).foreground, CellColour::Direct(1, 2, 3));
}

TEST_F(XtermScreen, SpecialGraphicsAreBoxDrawingAndG1StartsAsAscii) {
    Feed("\x0eq\x0f\e(0lqx~_\e(B\e)0\x0eq");
    EXPECT_EQ(At(0, 0).Character(), U'q');
    EXPECT_EQ(At(0, 1).Character(), U'\u250C');
    EXPECT_EQ(At(0, 2).Character(), U'\u2500');
    EXPECT_EQ(At(0, 3).Character(), U'\u2502');
    EXPECT_EQ(At(0, 4).Character(), U'\u00B7');
    EXPECT_EQ(At(0, 5).Character(), U' ');
    EXPECT_EQ(At(0, 6).Character(), U'\u2500');
}

TEST_F(XtermScreen, SavedCursorKeepsPenCharsetsOriginAndAWaitingWrap) {
    Feed("\e[3;10r\e[?6h\e(0\e[1;32m\e[1;80Hq\e7\e(B\e[0m\e[?6l\e[20;1H\e8x");
    EXPECT_TRUE(headless.Screen().OriginMode());
    EXPECT_EQ(At(3, 0).Character(), U'\u2502');
    EXPECT_EQ(At(3, 0).foreground, CellColour::Palette(2));
    EXPECT_TRUE(At(3, 0).Has(cell_flags::kBold));
}

TEST_F(XtermScreen, PaletteColoursAreSetInBothFormsAndReset) {
    Feed("\e]4;1;rgb:10/20/30;2;#405060;3;rgb:f/ffff/8\x07\e]4;300;#ffffff;4;nonsense\x07");
    const Palette& colours = Modes().Colours();
    EXPECT_EQ(colours.Colour(1), (Rgb{0x10, 0x20, 0x30}));
    EXPECT_EQ(colours.Colour(2), (Rgb{0x40, 0x50, 0x60}));
    EXPECT_EQ(colours.Colour(3), (Rgb{0xFF, 0xFF, 0x88}));
    EXPECT_EQ(colours.Colour(4), Palette::Default(4));
    Feed("\e]104;1\e\\");
    EXPECT_EQ(colours.Colour(1), Palette::Default(1));
    EXPECT_EQ(colours.Colour(2), (Rgb{0x40, 0x50, 0x60}));
    Feed("\e]104\x07");
    EXPECT_EQ(colours.Colour(2), Palette::Default(2));
}

TEST_F(XtermScreen, ModesAreSetForTheirReadersAndResetByDecstrAndRis) {
    Feed("\e[?1;5;2004;1002;1006h\e[?25l\e=");
    EXPECT_TRUE(Modes().ApplicationCursorKeys());
    EXPECT_TRUE(Modes().ReverseScreen());
    EXPECT_TRUE(Modes().BracketedPaste());
    EXPECT_EQ(Modes().Mouse(), MouseTracking::kDrags);
    EXPECT_TRUE(Modes().MouseSgr());
    EXPECT_FALSE(Modes().CursorVisible());
    EXPECT_TRUE(Modes().ApplicationKeypad());
    Feed("\e[?1000l");
    EXPECT_EQ(Modes().Mouse(), MouseTracking::kOff);
    Feed("\e[?9h\e[!p");
    EXPECT_FALSE(Modes().ApplicationCursorKeys());
    EXPECT_FALSE(Modes().ApplicationKeypad());
    EXPECT_TRUE(Modes().CursorVisible());
    EXPECT_EQ(Modes().Mouse(), MouseTracking::kPresses);
    Feed("\e]4;1;#010203\x07\ec");
    EXPECT_EQ(Modes().Mouse(), MouseTracking::kOff);
    EXPECT_FALSE(Modes().BracketedPaste());
    EXPECT_FALSE(Modes().ReverseScreen());
    EXPECT_EQ(Modes().Colours().Colour(1), Palette::Default(1));
}

// The window reads the look the host chose through the screen's view.
TEST_F(XtermScreen, TheViewGivesTheLookTheHostChose) {
    Feed("\e[?5h\e[?25l\e[5 q\e]4;1;#010203\x07");
    const ScreenView& view = headless.terminal().View();
    EXPECT_EQ(view.InForce(), DialectId::kExtended);
    EXPECT_TRUE(view.ReverseScreen());
    EXPECT_FALSE(view.CursorVisible());
    EXPECT_EQ(view.Cursor(), (CursorStyle{CursorShape::kBar, true}));
    EXPECT_EQ(view.Colours().Colour(1), (Rgb{1, 2, 3}));
    EXPECT_EQ(view.Colours().Colour(2), Palette::Default(2));
}

// DECSCUSR: each style in turn; 0 and RIS give the start's steady block,
// and a style beyond 6 or with a private marker changes nothing.
TEST_F(XtermScreen, CursorStylesFollowDecscusr) {
    using enum CursorShape;
    EXPECT_EQ(Modes().Cursor(), (CursorStyle{kBlock, false}));
    const struct {
        std::string_view bytes;
        CursorStyle style;
    } cases[] = {
        {"\e[1 q", {kBlock, true}},      {"\e[3 q", {kUnderline, true}},
        {"\e[4 q", {kUnderline, false}}, {"\e[5 q", {kBar, true}},
        {"\e[7 q", {kBar, true}},        {"\e[?2 q", {kBar, true}},
        {"\e[6 q", {kBar, false}},       {"\e[0 q", {kBlock, false}},
        {"\e[ q", {kBlock, false}},      {"\e[3 q\ec", {kBlock, false}},
    };
    for (const auto& c : cases) {
        Feed(c.bytes);
        EXPECT_EQ(Modes().Cursor(), c.style) << c.bytes.substr(1);
    }
}

TEST_F(XtermScreen, TitleStackKeepsTheTitleTheWindowShowsAndAnEmptyPopLeavesIt) {
    std::string& title = headless.Services().title;
    title = "host";  // the program's own
    Feed("\e[23t");
    EXPECT_EQ(title, "host");
    Feed("\e[22;0t\e]2;vim\x07\e[22;2t\e]0;help\x07\e[23;0t");
    EXPECT_EQ(title, "vim");
    Feed("\e[23;2t");
    EXPECT_EQ(title, "host");
    Feed("\e[23;0t");
    EXPECT_EQ(title, "host");
}

// Rows of double size: half the columns hold the cursor and the text, which
// wraps there; a cursor past the half when the size is set comes back to
// its last column; with the side margins on the size is not set, as in xterm.
TEST_F(XtermScreen, DoubleRowsHoldHalfTheColumns) {
    Feed("\e#6\e[1;38Habcd");
    const ScreenModel& screen = headless.Screen();
    const int first = screen.FirstScreenRow();
    EXPECT_EQ(screen.Row(first).size(), 40U);
    EXPECT_EQ(At(0, 39).Character(), U'c');
    EXPECT_EQ(At(1, 0).Character(), U'd');
    EXPECT_TRUE(screen.RowContinues(first + 1));
    Feed("\e[1;70H");
    EXPECT_EQ(screen.CursorColumn(), 39);
    Feed("\e[1;1H\e[99C\e[1;1H\e[9I");
    EXPECT_EQ(screen.CursorColumn(), 39);
    Feed("\e[3;61H\e#3");
    EXPECT_EQ(screen.RowLineSize(first + 2), LineSize::kDoubleTop);
    EXPECT_EQ(screen.CursorColumn(), 39);
    Feed("\e[4;61H\e[?69h\e#4");
    EXPECT_EQ(screen.RowLineSize(first + 3), LineSize::kSingle);
    EXPECT_EQ(screen.CursorColumn(), 60);
    // A double row scrolled under a cursor past its half: what is written
    // lands in the row's last shown cell, never in the hidden half.
    Feed("\e[?69l\e[8;1H\e#6dbl\e[7;61H\e[SX");
    EXPECT_EQ(At(6, 39).Character(), U'X');
    EXPECT_EQ(screen.CursorColumn(), 39);
}

// The size goes with its row as lines scroll, are inserted and deleted, and
// into the history; rows that come in, rows ED erases whole, DECALN and RIS
// are single again; erasing in the line keeps it.
TEST_F(XtermScreen, LineSizeMovesWithItsRowUntilTheRowIsErasedWhole) {
    const ScreenModel& screen = headless.Screen();
    const auto size = [&](int row) { return screen.RowLineSize(screen.FirstScreenRow() + row); };
    Feed("\e#6\e[2;1H\e#3\e[3;1H\e#4\e[24;1H\e#6\n");
    EXPECT_EQ(screen.RowLineSize(screen.FirstScreenRow() - 1), LineSize::kDoubleWidth);
    EXPECT_EQ(size(0), LineSize::kDoubleTop);
    EXPECT_EQ(size(1), LineSize::kDoubleBottom);
    EXPECT_EQ(size(22), LineSize::kDoubleWidth);
    EXPECT_EQ(size(23), LineSize::kSingle);
    Feed("\e[1;1H\e[L");
    EXPECT_EQ(size(0), LineSize::kSingle);
    EXPECT_EQ(size(1), LineSize::kDoubleTop);
    Feed("\e[M\e[M\e[2K");
    EXPECT_EQ(size(0), LineSize::kDoubleBottom);
    EXPECT_EQ(size(23), LineSize::kSingle) << "the row deleted lines bring in";
    Feed("\e[2;1H\e#6\e[3;1H\e#6\e[2;1H\e[J");
    EXPECT_EQ(size(0), LineSize::kDoubleBottom) << "above the cursor";
    EXPECT_EQ(size(1), LineSize::kDoubleWidth) << "the cursor's row, erased in part";
    EXPECT_EQ(size(2), LineSize::kSingle);
    Feed("\e[2J");
    EXPECT_EQ(size(0), LineSize::kSingle);
    EXPECT_EQ(size(1), LineSize::kSingle);
    Feed("\e#6\e#8");
    EXPECT_EQ(size(1), LineSize::kSingle);
    Feed("\e#6\ec");
    EXPECT_EQ(size(0), LineSize::kSingle);
}

}  // namespace
}  // namespace quill
