// Unicode in the extended terminal, as the cells keep it: malformed UTF-8,
// wide characters and combining marks.
#include <gtest/gtest.h>

#include <string>

#include "core/terminal/grid_character.h"
#include "replay_session.h"

namespace quill::test {
namespace {

struct UnicodeTest : ::testing::Test {
    ReplaySession session{true, false};
    const ScreenModel& screen = session.Screen();

    UnicodeTest() { session.Options().SetExtended(true); }
    void Feed(const std::string& bytes, int chunk = kReceiveChunk) { session.Feed(bytes, chunk); }
    // The first `count` cells of screen row `row`: each character with its
    // marks after it, '~' for the right half of a wide character.
    std::u32string Cells(int row, int count) const {
        std::u32string text;
        const auto cells = screen.Row(screen.FirstScreenRow() + row);
        for (int c = 0; c < count; ++c) {
            text += cells[c].Has(cell_flags::kWideRight) ? U'~' : cells[c].Character();
            text += screen.Marks(cells[c]);
        }
        return text;
    }
};

// One U+FFFD per maximal subpart: the Unicode standard's examples, bytes
// that are never UTF-8, and sequences cut short by a control byte, an escape
// sequence, a byte 0xFF or the end of the input, in blocks of any size.
TEST_F(UnicodeTest, MalformedSequencesBecomeOneReplacementEachMaximalSubpart) {
    const std::string table38 =
        "a\xF1\x80\x80\xE1\x80\xC2"
        "b\x80"
        "c\x80\xBF"
        "d";
    Feed(table38, 1);
    EXPECT_EQ(Cells(0, 10), U"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd");
    Feed("\r\n\xC0\xAF|\xED\xA0\x80|\xF4\x90\x80\x80|\xE0\x80\xAF|\xFE\xF5|\xF0\x9F\x98");
    EXPECT_EQ(Cells(1, 19),
              U"\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD\uFFFD\uFFFD|"
              U"\uFFFD\uFFFD\uFFFD|\uFFFD\uFFFD|");
    session.terminal().EndInput();
    EXPECT_EQ(Cells(1, 21).substr(19), U"\uFFFD ");
    Feed("\r\n\xE2\x82\r\xE2\x82\x1b[7mX\xF0\x9F\x98\x80");
    EXPECT_EQ(Cells(2, 4), U"\uFFFDX\U0001F600~");
    EXPECT_TRUE(screen.Row(screen.FirstScreenRow() + 2)[1].Has(cell_flags::kReverse));
    // Telnet commands inside a sequence leave it open; a doubled IAC is the byte 0xFF.
    Feed(
        "\r\n\xC3\xFF\xFD\x18\xA9\xC3\xFF\xFD\x18"
        "A\xC3\xFF\xF1"
        "B\xC3\xFF\xFF",
        2);
    EXPECT_EQ(Cells(3, 7), U"\u00E9\uFFFDA\uFFFDB\uFFFD\uFFFD");
}

// A wide character that does not fit wraps first and leaves the last column
// blank; without wrap it takes the last two columns.
TEST_F(UnicodeTest, WideCharacterAtTheLastColumn) {
    Feed("\x1b[1;80Hx\r\x1b[79C\xE4\xB8\xAD");
    EXPECT_EQ(Cells(0, 80).substr(78), U"  ");
    EXPECT_EQ(Cells(1, 3), U"\u4E2D~ ");
    EXPECT_EQ(screen.CursorColumn(), 2);
    Feed("\x1b[?7l");  // the host turns auto-wrap off
    Feed("\x1b[3;80H\xE4\xB8\xAD");
    EXPECT_EQ(Cells(2, 80).substr(78), U"\u4E2D~");
    EXPECT_EQ(screen.CursorColumn(), 79);
}

// Writing over either half of a wide character, by text, another wide
// character, erasing or deleting, blanks its other half.
TEST_F(UnicodeTest, OverwritingHalfAWideCharacterBlanksTheOtherHalf) {
    const std::string two = "\xE4\xB8\xAD\xE6\x96\x87";  // two wide characters, four cells
    Feed(two + "\r\x1b[Cx\r\n" + two + "\r\x1b[2Cy\r\n" + two + "\r\x1b[C\xE5\xAD\x97\r\n" + two +
         "\r\x1b[2C\x1b[1K");
    EXPECT_EQ(Cells(0, 5), U" x\u6587~ ");
    EXPECT_EQ(Cells(1, 5), U"\u4E2D~y  ");
    EXPECT_EQ(Cells(2, 5), U" \u5B57~  ");
    EXPECT_EQ(Cells(3, 5), U"     ");
    Feed("\r\n" + two + "\r\x1b[P");  // deleting a left half
    EXPECT_EQ(Cells(4, 5), U" \u6587~  ");
}

// A wide character across a side margin (or in the screen's last two
// columns), on each of the first three rows, and one inside the margins on
// the second row; then an operation that moves or cuts cells there. Every
// wide character left keeps both halves: the one inside moves whole, those
// across a margin are blanked or kept.
TEST(WideCharactersAtMargins, MovingOrCuttingCellsNeverLeavesHalfAWideCharacter) {
    const std::string wide = "\xE4\xB8\xAD";
    const std::string inside = "\x1b[2;11H\xE6\x96\x87";
    // Across the left margin (columns 1-2, margins 2-80) or the right one
    // (columns 79-80, margins 1-79).
    const std::string left = wide + "\r\n" + wide + "\r\n" + wide + inside + "\x1b[?69h\x1b[2;80s";
    const std::string right = "\x1b[1;79H" + wide + "\x1b[2;79H" + wide + "\x1b[3;79H" + wide +
                              inside + "\x1b[?69h\x1b[1;79s";
    // In the last two columns, without margins.
    const std::string edge = "\x1b[1;79H" + wide + inside;
    struct Variant {
        const char* name;
        std::string margins;
        std::string operation;
    };
    const Variant variants[] = {
        {"SU, left", left, "\x1b[S"},
        {"SU, right", right, "\x1b[S"},
        {"SD, left", left, "\x1b[T"},
        {"SD, right", right, "\x1b[T"},
        {"IL, left", left, "\x1b[1;5H\x1b[L"},
        {"IL, right", right, "\x1b[1;5H\x1b[L"},
        {"DL, left", left, "\x1b[1;5H\x1b[M"},
        {"DL, right", right, "\x1b[1;5H\x1b[M"},
        {"IND, left", left,
         "\x1b[24;5H\x1b"
         "D"},
        {"IND, right", right,
         "\x1b[24;5H\x1b"
         "D"},
        {"RI, left", left, "\x1b[1;5H\x1bM"},
        {"RI, right", right, "\x1b[1;5H\x1bM"},
        {"ICH, right", right, "\x1b[1;5H\x1b[@"},
        {"DCH, right", right, "\x1b[1;5H\x1b[P"},
        {"insert mode, right", right, "\x1b[4h\x1b[1;5Hx"},
        {"DCH, the screen's edge", edge, "\x1b[1;5H\x1b[P"},
    };
    for (const Variant& variant : variants) {
        ReplaySession session(false, false);
        session.Options().SetExtended(true);
        session.Feed(variant.margins + variant.operation, kReceiveChunk);
        const ScreenModel& screen = session.Screen();
        int whole = 0;
        std::string broken;  // where the first half without its other half is
        for (int r = 0; r < screen.Geometry().screenRows; ++r) {
            bool afterLeftHalf = false;
            int c = 0;
            for (const Cell& cell : screen.Row(screen.FirstScreenRow() + r)) {
                const bool rightHalf = cell.Has(cell_flags::kWideRight);
                if (rightHalf != afterLeftHalf && broken.empty()) {
                    broken = "row " + std::to_string(r) + " column " + std::to_string(c);
                }
                afterLeftHalf = !rightHalf && GridWidthOf(cell.Character()) == GridWidth::kWide;
                whole += cell.Character() == U'\u6587' ? 1 : 0;
                ++c;
            }
            if (afterLeftHalf && broken.empty()) broken = "row " + std::to_string(r) + " end";
        }
        EXPECT_EQ(broken, "") << variant.name;
        EXPECT_EQ(whole, 1) << variant.name << ": the wide character inside the margins";
    }
}

// Marks join the character before the cursor, the left half of a wide one,
// the last column while a wrap waits; at the start of a row they are dropped.
TEST_F(UnicodeTest, CombiningMarksJoinTheCellBefore) {
    Feed(
        "e\xCC\x81\xCC\xA3"
        "\xE4\xB8\xAD\xCC\x81"
        "\r\xCC\x81\x1b[1;80Ho\xCC\x88",
        1);
    EXPECT_EQ(Cells(0, 4), U"e\u0301\u0323\u4E2D\u0301~ ");
    EXPECT_EQ(Cells(0, 80).substr(Cells(0, 79).size()), U"o\u0308");
    std::string tooMany = "\r\na";
    for (std::size_t i = 0; i <= CombiningMarks::kMarksPerCell; ++i) tooMany += "\xCC\x81";
    Feed(tooMany);
    EXPECT_EQ(Cells(1, 1), U"a" + std::u32string(CombiningMarks::kMarksPerCell, U'\u0301'));
}

// REP repeats the character placed last as xterm does: a wide one whole,
// a base character without the marks joined to it.
TEST_F(UnicodeTest, RepeatTakesAWideCharacterWholeAndABaseWithoutItsMarks) {
    Feed("A\xE4\xB8\xAD\x1b[2bB\xCC\x81\x1b[2bZ");
    EXPECT_EQ(Cells(0, 11), U"A\u4E2D~\u4E2D~\u4E2D~B\u0301BBZ");
}

// More different runs of marks than the table holds: entries of cells gone
// from the screen and the history are reused, so new marks still show.
TEST_F(UnicodeTest, MarksOfCellsGoneAreReclaimed) {
    session.Options().SetScrollback(0);  // rows leaving the screen are gone
    std::string flood;
    const int kinds = static_cast<int>(CombiningMarks::kMaxEntries) + 2000;
    for (int i = 0; i < kinds; ++i) {
        flood += 'a';
        for (const int mark : {0x300 + i % 64, 0x300 + i / 64 % 64, 0x340 + i / 4096}) {
            flood += static_cast<char>(0xC0 | (mark >> 6));
            flood += static_cast<char>(0x80 | (mark & 0x3F));
        }
    }
    Feed(flood);
    const auto last = static_cast<char32_t>(kinds - 1);
    const Cell& cell =
        screen.Row(screen.FirstScreenRow() + screen.CursorRow())[screen.CursorColumn() - 1];
    EXPECT_EQ(screen.Marks(cell),
              (std::u32string{0x300 + last % 64, 0x300 + last / 64 % 64, 0x340 + last / 4096}));
}

}  // namespace
}  // namespace quill::test
