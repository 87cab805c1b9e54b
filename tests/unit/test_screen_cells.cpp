// quillterm-replay --cells: one cell as CP,FG,BG,FLAGS.
#include <gtest/gtest.h>

#include "screen_cells.h"

namespace quill {
namespace {

TEST(ScreenCells, CharacterColoursAndFlagsInTheirFixedForm) {
    Cell cell;
    EXPECT_EQ(CellText(cell, {}), "20,d,d,-");  // a blank cell

    cell.character = U'A';
    cell.foreground = CellColour::Palette(1);
    cell.flags = cell_flags::kBold;
    EXPECT_EQ(CellText(cell, {}), "41,1,d,b");

    // Lowercase hex beyond two digits; palette indices in decimal; RGB with
    // leading zeros; every flag, in the order b f i u k r h s.
    cell.character = U'\u4E2D';
    cell.foreground = CellColour::Palette(200);
    cell.background = CellColour::Direct(0x0A, 0xBC, 0x01);
    cell.flags = 0xFF;
    EXPECT_EQ(CellText(cell, {}), "4e2d,200,#0abc01,bfiukrhs");
    cell.flags = cell_flags::kStrike | cell_flags::kFaint | cell_flags::kReverse;
    EXPECT_EQ(CellText(cell, {}), "4e2d,200,#0abc01,frs");
}

TEST(ScreenCells, MarksFollowTheCharacterAndTheRightHalfOfAWideOneIsADash) {
    Cell cell;
    cell.character = U'e';
    EXPECT_EQ(CellText(cell, U"\u0301\u0323"), "65+301+323,d,d,-");

    Cell right;
    right.character = U'\u4E2D';
    right.flags = cell_flags::kWideRight | cell_flags::kUnderline;
    right.background = CellColour::Palette(4);
    EXPECT_EQ(CellText(right, {}), "-,d,4,u");
}

}  // namespace
}  // namespace quill
