// The terminal as a whole, at what no replay of one stream shows: the user
// switching between the plain and the extended terminal in mid-stream, and
// the text the terminal reports as printed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "replay_session.h"

namespace quill::test {
namespace {

struct TerminalTest : ::testing::Test {
    ReplaySession session{false, false};
    const ScreenModel& screen = session.Screen();

    void Feed(const std::string& bytes) { session.Feed(bytes, kReceiveChunk); }
    std::u32string Row0() const {
        std::u32string text;
        const int row = screen.FirstScreenRow();
        for (int c = 0; c < 6; ++c) text += screen.CharAt(row, c);
        return text;
    }
    void Extended(bool on) { session.Options().SetExtended(on); }
};

// A sequence open when the user switches is abandoned as an invalid one is:
// a UTF-8 sequence leaves its mark, an escape sequence leaves nothing, and the
// next byte is read afresh.
TEST_F(TerminalTest, SwitchAbandonsAnOpenSequenceAtTheNextBlock) {
    Extended(true);
    Feed("\xc3");
    Extended(false);
    Feed(
        "\xa9"
        "A\x1b[2");
    Extended(true);
    Feed("J\xc3\xa9");
    EXPECT_EQ(Row0(), U"\uFFFDAJ\u00e9  ");
    EXPECT_EQ(screen.CursorColumn(), 4);
}

// The dialect decides how renditions count and how keys beyond ASCII go out.
TEST_F(TerminalTest, SwitchChangesRenditionsAndCharactersFromThenOn) {
    Feed("\x1b[1;7m");
    EXPECT_EQ(screen.CurrentAttribute(), kAttrBold);
    EXPECT_FALSE(session.terminal().Character(U'\u00e9'));
    Extended(true);
    Feed("\x1b[1;7m");
    EXPECT_EQ(screen.CurrentAttribute(), kAttrReverse);
    EXPECT_TRUE(session.terminal().Character(U'\u00e9'));
    EXPECT_EQ(session.Send().Sent(), (std::vector<std::uint8_t>{0xc3, 0xa9}));
}

// The extended terminal's editing modes end with it: the plain terminal has
// no way to turn off an insert mode or side margins the host left on.
TEST_F(TerminalTest, SwitchEndsTheEditingModesTheHostSet) {
    Extended(true);
    Feed("\x1b[4h\x1b[?69h\x1b[1;3s\x1b[?6h\x1b[2;5r");
    Extended(false);
    Feed("\x1b[Habcdef\x1b[HX");
    EXPECT_EQ(Row0(), U"Xbcdef");
    EXPECT_EQ(screen.CursorRow(), 0);
}

// On a raw connection nothing is Telnet: 255 and what follows it are
// data (here malformed UTF-8) and no request is answered; over Telnet the
// same bytes are a request and its reply.
TEST_F(TerminalTest, RawConnectionTakesEveryByteAsData) {
    Extended(true);
    session.terminal().SetRawConnection(true);
    Feed("A\xff\xfd\x18" "B");
    const int row = screen.FirstScreenRow();
    EXPECT_EQ(screen.CharAt(row, 1), U'\uFFFD');
    EXPECT_TRUE(session.Send().Sent().empty());
    session.terminal().SetRawConnection(false);
    Feed("\xff\xfd\x18");
    EXPECT_EQ(session.Send().Sent(), (std::vector<std::uint8_t>{0xff, 0xfb, 0x18}));
}

// Options agreed with the host stay agreed when the user switches back: the
// window size the host was promised is withdrawn once, when it asks.
TEST_F(TerminalTest, NegotiatedOptionsOutliveASwitch) {
    Extended(true);
    Feed("\xff\xfd\x1f");
    session.Send().replies.clear();
    Extended(false);
    Feed("\xff\xfe\x1f\xff\xfe\x1f");
    EXPECT_EQ(session.Send().Sent(), (std::vector<std::uint8_t>{0xff, 0xfc, 0x1f}));
}

class RecordingPrinted final : public PrintedTextSink {
  public:
    void OnPrintedText(const char32_t* text, unsigned count) override {
        printed.append(text, count);
    }
    std::u32string printed;
};

// The sink hears characters as printed (after the character set, decoded
// from UTF-8), and CR and LF; never Telnet commands, escape sequences, tabs
// or other control bytes.
TEST_F(TerminalTest, PrintedTextSinkHearsTextAndLineEndsOnly) {
    RecordingPrinted sink;
    session.terminal().SetPrintedTextSink(&sink);
    Feed(
        "ab\x1b[1mc\r\n\xff\xfb\x01\t\x07"
        "d\x0eq\x0f");
    Extended(true);
    Feed("\xc3\xa9\xff\xff");  // a doubled IAC is the byte 255, no UTF-8
    EXPECT_EQ(sink.printed, U"abc\r\nd-\u00e9\uFFFD");
    session.terminal().SetPrintedTextSink(nullptr);
    Feed("x");
    EXPECT_EQ(sink.printed, U"abc\r\nd-\u00e9\uFFFD");
}

// The extended terminal keeps xterm's colours and attributes in the cells.
TEST_F(TerminalTest, ExtendedRenditionsStoreColoursAndAttributesInTheCells) {
    Extended(true);
    Feed(
        "\x1b[31;102mA\x1b[38;5;200;48;2;1;2;3mB\x1b[2;3;5;8;9mC"
        "\x1b[39;49;22;23;25;28;29mD\x1b[94;45;38;5;256mE");
    const auto row = screen.Row(screen.FirstScreenRow());
    using namespace cell_flags;
    EXPECT_EQ(row[0].foreground, CellColour::Palette(1));
    EXPECT_EQ(row[0].background, CellColour::Palette(10));
    EXPECT_EQ(row[1].foreground, CellColour::Palette(200));
    EXPECT_EQ(row[1].background, CellColour::Direct(1, 2, 3));
    EXPECT_EQ(row[2].flags, kFaint | kItalic | kBlink | kHidden | kStrike);
    EXPECT_EQ(row[2].background, CellColour::Direct(1, 2, 3));
    EXPECT_EQ(row[3].foreground, CellColour{});
    EXPECT_EQ(row[3].background, CellColour{});
    EXPECT_EQ(row[3].flags, 0);
    EXPECT_EQ(row[4].foreground, CellColour::Palette(12));  // 256 is no palette index
    EXPECT_EQ(row[4].background, CellColour::Palette(5));
}

// The BBS terminal's sixteen colours: bold is the bright foreground (of the
// default grey too); blink blinks until iCE colours make it the bright
// background; turning them off again leaves the cells written as they are.
TEST_F(TerminalTest, BbsBoldAndIceColoursBrightenTheColours) {
    session.Options().SetDialect(DialectId::kBbs);
    Feed("\x1b[1;34;41mA\x1b[5mB\x1b[?33hC\x1b[0;5mD\x1b[?33l\x1b[22;25;32mE\x1b[0;1mF");
    const auto row = screen.Row(screen.FirstScreenRow());
    struct Expected {
        CellColour foreground;
        CellColour background;
        std::uint16_t flags;
    };
    const Expected expected[] = {
        {CellColour::Palette(12), CellColour::Palette(1), 0},
        {CellColour::Palette(12), CellColour::Palette(1), cell_flags::kBlink},
        {CellColour::Palette(12), CellColour::Palette(9), 0},
        {CellColour{}, CellColour::Palette(8), 0},
        {CellColour::Palette(2), CellColour{}, 0},
        {CellColour::Palette(15), CellColour{}, 0},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(row[i].foreground, expected[i].foreground) << i;
        EXPECT_EQ(row[i].background, expected[i].background) << i;
        EXPECT_EQ(row[i].flags, expected[i].flags) << i;
    }
}

// A paste is prepared by the terminal in force: the plain one sends the text
// as it is; the extended one sends line ends as Enter and, while the host
// asks for brackets, the text loses its own end brackets and goes between
// them; an empty paste is never bracketed.
TEST_F(TerminalTest, PasteIsPreparedByTheTerminalAndTheHostsBracketMode) {
    const Terminal& terminal = session.terminal();
    const std::u16string text = u"a\r\nb\x1b[201~c";
    EXPECT_EQ(terminal.PreparePaste(text).text, text);
    Extended(true);
    Feed("\x1b[?2004h");
    EXPECT_FALSE(terminal.PreparePaste(u"").bracketed);
    const Terminal::PreparedPaste bracketed = terminal.PreparePaste(text);
    EXPECT_TRUE(bracketed.bracketed);
    EXPECT_EQ(bracketed.text, u"a\rbc");
    Feed("\x1b[?2004l");
    const Terminal::PreparedPaste open = terminal.PreparePaste(text);
    EXPECT_FALSE(open.bracketed);
    EXPECT_EQ(open.text, u"a\rb\x1b[201~c");
    Extended(false);
    Feed("\x1b[?2004h");
    EXPECT_FALSE(terminal.PreparePaste(text).bracketed);
}

}  // namespace
}  // namespace quill::test
