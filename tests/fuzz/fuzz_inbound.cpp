// libFuzzer target for the inbound byte stream.
//
// Input layout: byte 0 picks the options (bit 0 wrap, bit 1 show codes,
// bit 2 the extended terminal, bit 3 the BBS terminal, which wins), byte 1
// the receive block size (1 + byte % 100);
// the rest is what the server sent. The bytes go through a fresh engine in
// blocks of that size, and again one byte per block through a second engine.
// The extended terminal has a small grid and history, so that an input costs
// little and its text soon reaches the edges and scrolls into the history;
// the BBS terminal's screen is the PC's, with the same small history.
// After every block the model must keep its limits (the grid it was given,
// or 80 or 132 columns once the host has switched the extended terminal's
// width); at the end every cell must
// hold a displayable character (in the extended and BBS terminals also one from U+00A0
// up that takes one or two cells, a wide one followed by its right half, its
// combining marks in the side table) and a known attribute, every reply must
// be one the client can send,
// the extended and BBS terminals must never turn an option on twice or off while it
// is off, and both engines must agree, since how the bytes were split must
// never matter: a UTF-8 sequence cut by a block boundary and a compressed
// stream included (unless the stream was damaged: the rest of a damaged
// read is dropped).

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/engine/headless_terminal.h"
#include "core/interfaces/display_sink.h"
#include "core/terminal/grid_character.h"

namespace quill {
namespace {

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "fuzz_inbound: %s\n", what);
    std::abort();
}

// The extended terminal's grid and history while fuzzing.
constexpr ScreenGeometry kExtendedGrid{40, 10, 20};

bool OnScreen(const ScreenGeometry& grid, int row, int column) {
    return row >= 0 && row < grid.screenRows && column >= 0 && column < grid.columns;
}

// The widths the host's column mode switches the extended terminal to.
constexpr int kSwitchedWidths[] = {kColumns, kWideColumns};

// The grid as wide as the host may make it: what the caret and the replies
// keep within.
ScreenGeometry Widest(const ScreenGeometry& grid, DialectId dialect) {
    ScreenGeometry widest = grid;
    if (dialect == DialectId::kExtended) widest.columns = std::max(grid.columns, kWideColumns);
    return widest;
}

// A character a cell may hold: printable ASCII, or in the extended and BBS terminals
// one from U+00A0 up that takes one or two cells. Like the scan over the cells
// that uses them, these are left out of the coverage map.
__attribute__((no_sanitize("coverage"))) bool Displayable(char32_t c, bool rich) {
    if (c >= 0x20 && c <= 0x7E) return true;
    if (!rich || c < 0xA0) return false;
    const GridWidth width = GridWidthOf(c);
    return width == GridWidth::kNarrow || width == GridWidth::kWide;
}

__attribute__((no_sanitize("coverage"))) bool OnlyMarks(std::u32string_view marks) {
    return std::ranges::all_of(marks,
                               [](char32_t m) { return GridWidthOf(m) == GridWidth::kMark; });
}

bool KnownAttribute(std::uint8_t code) {
    return code == kAttrNormal || code == kAttrBold || code == kAttrReverse;
}

// A display that draws nothing but refuses a caret off the screen.
class BoundedDisplay final : public DisplaySink {
  public:
    explicit BoundedDisplay(const ScreenGeometry& grid) : grid_(grid) {}
    void UpdateNow() override {}
    void SetCaretPos(int row, int column) override {
        Require(OnScreen(grid_, row, column), "caret off the screen");
    }

  private:
    const ScreenGeometry grid_;
};

// What NAWS tells the host of a grid (of fewer than 256 columns and rows).
std::vector<std::uint8_t> WindowSize(const ScreenGeometry& grid) {
    return {0xFF,
            0xFA,
            0x1F,
            0,
            static_cast<std::uint8_t>(grid.columns),
            0,
            static_cast<std::uint8_t>(grid.screenRows),
            0xFF,
            0xF0};
}
const std::vector<std::uint8_t> kWillNaws = {0xFF, 0xFB, 0x1F};

// The cursor position: ESC [ row ; column R, both on the screen.
bool CursorReport(const std::string& text, const ScreenGeometry& grid) {
    int row = 0;
    int column = 0;
    char end = 0;
    return std::sscanf(text.c_str(), "\x1b[%d;%d%c", &row, &column, &end) == 3 && end == 'R' &&
           OnScreen(grid, row - 1, column - 1) &&
           text == "\x1b[" + std::to_string(row) + ";" + std::to_string(column) + "R";
}

// The answers to sequences: the plain terminal's identify; the extended
// terminal's DA1, DA2, status and cursor position; the BBS terminal's
// attributes, status and cursor position.
bool SequenceReply(const std::vector<std::uint8_t>& r, DialectId dialect,
                   const ScreenGeometry& grid) {
    const std::string text(r.begin(), r.end());
    switch (dialect) {
        case DialectId::kPlain:
            return text == "\x1b[?1;7c";
        case DialectId::kExtended:
            return text == "\x1b[?62;22c" || text == "\x1b[>1;10;0c" || text == "\x1b[0n" ||
                   CursorReport(text, grid);
        case DialectId::kBbs:
            return text == "\x1b[?1;0c" || text == "\x1b[0n" || CursorReport(text, grid);
    }
    return false;
}

// A subnegotiation reply: IAC SB option code text IAC SE.
std::vector<std::uint8_t> Subnegotiation(std::uint8_t option, std::uint8_t code,
                                         std::string_view text) {
    std::vector<std::uint8_t> reply = {0xFF, 0xFA, option, code};
    reply.insert(reply.end(), text.begin(), text.end());
    reply.insert(reply.end(), {0xFF, 0xF0});
    return reply;
}

// The extended terminal's CHARSET answers: UTF-8 accepted as the host spelled
// it, or the list rejected.
bool CharsetReply(const std::vector<std::uint8_t>& r) {
    if (r == Subnegotiation(0x2A, 3, "")) return true;
    if (r.size() < 6) return false;
    const std::string_view name(reinterpret_cast<const char*>(r.data()) + 4, r.size() - 6);
    std::string upper(name);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return (upper == "UTF-8" || upper == "UTF8") && r == Subnegotiation(0x2A, 2, name);
}

// The options the extended and the BBS terminal take: their own side, and
// the host's.
constexpr std::uint8_t kOurs[] = {0x00, 0x03, 0x18, 0x1F, 0x2A};
constexpr std::uint8_t kHis[] = {0x00, 0x01, 0x03, 0x19, 0x2A, 0x56};
constexpr std::uint8_t kBbsOurs[] = {0x00, 0x03, 0x18, 0x1F};
constexpr std::uint8_t kBbsHis[] = {0x00, 0x01, 0x03};

std::span<const std::uint8_t> OursTaken(DialectId dialect) {
    return dialect == DialectId::kBbs ? std::span<const std::uint8_t>(kBbsOurs) : kOurs;
}

std::span<const std::uint8_t> HisTaken(DialectId dialect) {
    return dialect == DialectId::kBbs ? std::span<const std::uint8_t>(kBbsHis) : kHis;
}

std::string_view TerminalType(DialectId dialect) {
    switch (dialect) {
        case DialectId::kPlain:
            return "vt100";
        case DialectId::kExtended:
            return kDefaultTermType;
        case DialectId::kBbs:
            return "ANSI";
    }
    return {};
}

bool Taken(std::span<const std::uint8_t> options, std::uint8_t option) {
    return std::ranges::find(options, option) != options.end();
}

// The replies the client may send: IAC WILL TERMINAL-TYPE, IAC WONT x (x not
// TERMINAL-TYPE), IAC DONT ENCRYPT, the terminal-type answer and the identify
// answer (the other terminals answer with their own type and their own
// answers, the extended one also MTTS); the other terminals also IAC WILL
// NAWS with the window size, and IAC WILL of what they take of their own,
// DO of what they take of the host's, DONT and WONT of anything, and the
// extended one CHARSET answers.
bool KnownReply(const std::vector<std::uint8_t>& r, DialectId dialect, const ScreenGeometry& grid) {
    static const std::vector<std::uint8_t> kMtts = Subnegotiation(0x18, 0, "MTTS 319");
    const bool extended = dialect == DialectId::kExtended;
    const bool plainTerminal = dialect == DialectId::kPlain;
    if (r == Subnegotiation(0x18, 0, TerminalType(dialect))) return true;
    if (SequenceReply(r, dialect, Widest(grid, dialect))) return true;
    if (!plainTerminal && r == WindowSize(grid)) return true;
    if (extended && (r == kMtts || CharsetReply(r))) return true;
    if (r.size() != 3 || r[0] != 0xFF) return false;
    const bool plain = (r[1] == 0xFB && r[2] == 0x18) || (r[1] == 0xFC && r[2] != 0x18) ||
                       (r[1] == 0xFE && r[2] == 0x26);
    const bool taken = (r[1] == 0xFB && Taken(OursTaken(dialect), r[2])) ||
                       (r[1] == 0xFD && Taken(HisTaken(dialect), r[2]));
    return plain || (!plainTerminal && (taken || r[1] == 0xFC || r[1] == 0xFE));
}

// Goes through the replies in the order they were sent.
class ReplyChecker {
  public:
    ReplyChecker(DialectId dialect, const ScreenGeometry& grid)
        : dialect_(dialect), grid_(grid), windowSize_(WindowSize(grid)) {}

    void Check(const std::vector<std::uint8_t>& reply) {
        Require(KnownReply(reply, dialect_, grid_) || WindowSizeReply(reply),
                "sent bytes that are no known reply");
        if (dialect_ != DialectId::kPlain) CheckNegotiation(reply);
        last_ = reply;
    }

  private:
    // An option the terminal takes is turned on once, and off only while on;
    // the others are only ever refused.
    void CheckNegotiation(const std::vector<std::uint8_t>& r) {
        if (r == windowSize_ || WindowSizeReply(r))
            Require(last_ == kWillNaws || ours_[0x1F], "window size while NAWS is off");
        if (r.size() != 3 || r[0] != 0xFF) return;
        const bool ours = r[1] == 0xFB || r[1] == 0xFC;
        const bool on = r[1] == 0xFB || r[1] == 0xFD;
        if (!Taken(ours ? OursTaken(dialect_) : HisTaken(dialect_), r[2])) return;
        bool& state = (ours ? ours_ : his_)[r[2]];
        Require(on ? !state : state, on ? "an option turned on twice" : "an option turned off while off");
        state = on;
    }

    // The size at a width the host switched to.
    bool WindowSizeReply(const std::vector<std::uint8_t>& r) const {
        ScreenGeometry switched = grid_;
        return dialect_ == DialectId::kExtended &&
               std::ranges::any_of(kSwitchedWidths, [&](int columns) {
                   switched.columns = columns;
                   return r == WindowSize(switched);
               });
    }

    const DialectId dialect_;
    const ScreenGeometry grid_;
    const std::vector<std::uint8_t> windowSize_;
    std::vector<std::uint8_t> last_;
    std::array<bool, 256> ours_ = {};
    std::array<bool, 256> his_ = {};
};

struct Options {
    bool wrap;
    bool showCodes;
    DialectId dialect;
    int blockSize;
};

ScreenGeometry Grid(DialectId dialect) {
    switch (dialect) {
        case DialectId::kPlain:
            return {};
        case DialectId::kExtended:
            return kExtendedGrid;
        case DialectId::kBbs:
            return {kColumns, Terminal::kPcScreenRows, kExtendedGrid.historyRows};
    }
    return {};
}

struct Engine {
    explicit Engine(const Options& options)
        : dialect(options.dialect), rich(dialect != DialectId::kPlain), grid(Grid(dialect)) {
        headless.Options().SetWrap(options.wrap);
        headless.Options().SetShowCodes(options.showCodes);
        headless.Options().SetDialect(dialect);
        headless.Options().SetScrollback(kExtendedGrid.historyRows);
    }

    void Feed(const std::uint8_t* bytes, std::size_t size, int blockSize) {
        for (std::size_t at = 0; at < size; at += blockSize) {
            const int count = static_cast<int>(std::min<std::size_t>(blockSize, size - at));
            terminal.Feed(bytes + at, count);
            CheckLimits();
        }
        terminal.Feed(bytes, 0);
        CheckGrids();
        ReplyChecker replies(dialect, grid);
        for (const auto& reply : headless.Send().replies) replies.Check(reply);
    }

    // The grid the terminal was given, or that grid at a width the host
    // switched to.
    bool GivenOrSwitched(const ScreenGeometry& shape) const {
        if (shape == grid) return true;
        ScreenGeometry switched = grid;
        switched.columns = shape.columns;
        return dialect == DialectId::kExtended && shape == switched &&
               std::ranges::count(kSwitchedWidths, shape.columns);
    }

    void CheckLimits() const {
        const ScreenGeometry& shape = screen.Geometry();
        Require(GivenOrSwitched(shape), "the grid is not the one the terminal was given");
        Require(OnScreen(shape, screen.CursorRow(), screen.CursorColumn()), "cursor off the screen");
        Require(screen.RegionTop() >= 0 && screen.RegionTop() < grid.screenRows &&
                    screen.RegionBottom() >= 0 && screen.RegionBottom() < grid.screenRows,
                "scrolling region outside the screen's rows");
        // The extended and BBS terminals keep every rendition a host can ask for.
        Require(rich || KnownAttribute(screen.CurrentAttribute()), "unknown current attribute");
        const ScreenDamage& damage = terminal.Damage();
        for (const ScreenDamage::Columns& columns : damage.rows)
            Require(columns.Empty() || (columns.first >= 0 && columns.end <= shape.columns),
                    "damage off the screen");
        Require(damage.scrollEnd >= 0 && damage.scrollEnd <= grid.screenRows,
                "scroll off the screen");
        for (const CharsetSlot slot : {CharsetSlot::G0, CharsetSlot::G1}) {
            const int set = headless.Modes().Designation(slot);
            const bool national =
                dialect == DialectId::kExtended && (set == kCharsetUk || set == kCharsetLatin1);
            Require(set == kCharsetPlain || set == kCharsetLineDrawing || national,
                    "unknown designation");
        }
    }

    // Left out of the coverage map (and written as one plain loop, so that
    // nothing in it is a separate instrumented call): the fuzzer should steer
    // by the engine's branches, not by this scan over every cell in use.
    __attribute__((no_sanitize("coverage"), noinline)) void CheckGrids() const {
        bool displayable = true;
        bool pairs = true;
        bool marks = true;
        bool known = true;
        for (int r = OldestRowInUse(); r < screen.BufferRows(); ++r) {
            bool afterWide = false;
            for (const Cell& cell : screen.Row(r)) {
                const char32_t c = cell.Character();
                const bool right = cell.Has(cell_flags::kWideRight);
                displayable &= right ? cell.character == 0 : Displayable(c, rich);
                pairs &= right == afterWide;
                afterWide = !right && c >= 0xA0 && GridWidthOf(c) == GridWidth::kWide;
                marks &= cell.marks == 0 ||
                         (!screen.Marks(cell).empty() && OnlyMarks(screen.Marks(cell)));
                known &= rich ||
                         (cell.foreground == CellColour() && cell.background == CellColour() &&
                          (cell.flags == 0 || cell.flags == cell_flags::kBold ||
                           cell.flags == cell_flags::kReverse));
            }
            pairs &= !afterWide;
        }
        Require(displayable, "a cell holds a character that is not displayable");
        Require(pairs, "half a wide character");
        Require(marks, "marks that are not the side table's");
        Require(known, "a cell holds an unknown attribute");
    }

    // History rows above those in use read as blank: the scans start here.
    int OldestRowInUse() const { return screen.FirstScreenRow() - screen.HistoryDepth(); }

    bool SameOutcome(const Engine& other) const {
        const ScreenModel& o = other.screen;
        const TerminalModes& modes = headless.Modes();
        const TerminalModes& otherModes = other.headless.Modes();
        bool sameCells = screen.HistoryDepth() == o.HistoryDepth();
        for (int r = OldestRowInUse(); r < screen.BufferRows(); ++r) {
            sameCells &= std::ranges::equal(screen.Row(r), o.Row(r));
        }
        return sameCells && screen.CursorRow() == o.CursorRow() &&
               screen.CursorColumn() == o.CursorColumn() && screen.RegionTop() == o.RegionTop() &&
               screen.RegionBottom() == o.RegionBottom() &&
               screen.CurrentAttribute() == o.CurrentAttribute() &&
               modes.Designation(CharsetSlot::G0) == otherModes.Designation(CharsetSlot::G0) &&
               modes.Designation(CharsetSlot::G1) == otherModes.Designation(CharsetSlot::G1) &&
               modes.G1Active() == otherModes.G1Active() &&
               modes.ApplicationCursorKeys() == otherModes.ApplicationCursorKeys() &&
               headless.Send().Sent() == other.headless.Send().Sent() &&
               headless.Services().beeps == other.headless.Services().beeps;
    }

    const DialectId dialect;
    // The extended and BBS terminals' cells: characters from U+00A0 and colours.
    const bool rich;
    const ScreenGeometry grid;
    BoundedDisplay display{Widest(grid, dialect)};
    // The trace is on, to exercise it too.
    HeadlessTerminal headless{HeadlessSetup{&display, true, grid}};
    Terminal& terminal = headless.terminal();
    const ScreenModel& screen = headless.Screen();
};

// Compression refused (a damaged stream, whose read is dropped from where
// the damage was found): what follows depends on where the reads end.
bool RefusedCompression(const Engine& engine) {
    const std::vector<std::uint8_t> refusal = {0xFF, 0xFE, 0x56};
    return std::ranges::find(engine.headless.Send().replies, refusal) !=
           engine.headless.Send().replies.end();
}

void Run(const Options& options, const std::uint8_t* bytes, std::size_t size) {
    auto blocks = std::make_unique<Engine>(options);
    blocks->Feed(bytes, size, options.blockSize);
    auto single = std::make_unique<Engine>(options);
    single->Feed(bytes, size, 1);
    if (RefusedCompression(*blocks) || RefusedCompression(*single)) return;
    Require(blocks->SameOutcome(*single), "the block size changed the outcome");
}

}  // namespace
}  // namespace quill

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const quill::DialectId dialect = (data[0] & 8) != 0   ? quill::DialectId::kBbs
                                     : (data[0] & 4) != 0 ? quill::DialectId::kExtended
                                                          : quill::DialectId::kPlain;
    const quill::Options options{(data[0] & 1) != 0, (data[0] & 2) != 0, dialect,
                                 1 + data[1] % quill::kReceiveChunk};
    quill::Run(options, data + 2, size - 2);
    return 0;
}
