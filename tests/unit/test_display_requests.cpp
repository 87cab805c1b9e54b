// What the engine asks of the window and records for it: one caret move and
// then one update per received block, no caret moves while the caret is
// hidden, and the damage the window pulls: enough for a window that moves
// the scrolled rows and paints the damaged cells to show the screen as it is,
// and no row more than changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/settings/terminal_settings.h"
#include "core/terminal/screen_model.h"
#include "recording_display.h"
#include "replay_session.h"

namespace quill::test {
namespace {

using Calls = std::vector<std::string>;

bool SameCells(const ScreenModel& a, const ScreenModel& b) {
    for (int r = 0; r < a.BufferRows(); ++r) {
        if (!std::ranges::equal(a.Row(r), b.Row(r))) return false;
    }
    return true;
}

using Rows = std::vector<std::vector<Cell>>;

// The history and the screen, row by row.
Rows Shown(const ScreenModel& screen) {
    Rows rows;
    for (int r = 0; r < screen.FirstScreenRow() + screen.Geometry().screenRows; ++r) {
        rows.emplace_back(screen.Row(r).begin(), screen.Row(r).end());
    }
    return rows;
}

// A window painted once from the screen takes each damage as the view does:
// it moves the rows that scrolled (a row that comes in shows what no screen
// holds) and then paints the damaged cells again.
void Blit(Rows& window, const ScreenModel& screen) {
    const ScreenDamage& damage = screen.Damage();
    const auto end = window.begin() + screen.FirstScreenRow() + damage.scrollEnd;
    Cell unpainted;
    unpainted.character = U'\uFFFF';
    std::rotate(window.begin(), window.begin() + damage.scrolled, end);
    std::fill(end - damage.scrolled, end, std::vector<Cell>{unpainted});
}

void Paint(Rows& window, const ScreenModel& screen) {
    const ScreenDamage& damage = screen.Damage();
    const Rows now = Shown(screen);
    const int first = screen.FirstScreenRow();
    if (damage.all) window = now;
    if (damage.history) std::copy_n(now.begin(), first, window.begin());
    for (std::size_t r = 0; r < damage.rows.size() && !damage.all; ++r) {
        const ScreenDamage::Columns& c = damage.rows[r];
        if (c.Empty()) continue;
        window[first + r].resize(now[first + r].size());
        std::copy(now[first + r].begin() + c.first, now[first + r].begin() + c.end,
                  window[first + r].begin() + c.first);
    }
}

// After the damage the window shows the screen as it is, having painted only
// the screen rows that differed after the move, and the history only when it
// differed, unless all was stale.
void ExpectPaintedRight(Rows& window, const ScreenModel& screen) {
    const ScreenDamage& damage = screen.Damage();
    const Rows now = Shown(screen);
    const int first = screen.FirstScreenRow();
    Blit(window, screen);
    for (std::size_t r = 0; r < damage.rows.size() && !damage.all; ++r) {
        EXPECT_EQ(!damage.rows[r].Empty(), window[first + r] != now[first + r])
            << "whether screen row " << r << " is painted";
    }
    EXPECT_TRUE(damage.all ||
                damage.history != std::equal(now.begin(), now.begin() + first, window.begin()))
        << "whether the history is painted";
    Paint(window, screen);
    EXPECT_TRUE(window == now) << "what the window shows after painting";
}

// Each row shows its own text, so that a row moved or blanked changes.
std::string Labels() {
    std::string rows = "row 0";
    for (int r = 1; r < kScreenRows; ++r) rows += "\r\nrow " + std::to_string(r);
    return rows;
}

struct Engine {
    RecordingDisplay display;
    ReplaySession session{false, false, &display};

    Engine() { Label(); }
    // Labels the rows, the scrolling region the whole screen again.
    void Label() { Feed("\x1b[r\x1b[H" + Labels() + "\x1b[H"); }

    // The bytes as one received block.
    void Feed(std::string_view bytes) { session.Feed(bytes, static_cast<int>(bytes.size())); }
    // The bytes, after what came before has been taken by the window, and
    // then their damage taken.
    void Paint(std::string_view bytes) {
        SCOPED_TRACE(::testing::PrintToString(std::string(bytes)));
        session.terminal().ClearDamage();
        display.calls.clear();
        Rows window = Shown(session.Screen());
        Feed(bytes);
        ExpectPaintedRight(window, session.Screen());
    }
};

// The screen on its own, for its operations, its rows labelled.
struct Screen {
    Screen() {
        screen.ScreenWriteString(Labels());
        screen.MoveToRowScrolling(0);
        screen.ScreenSetColumn(0);
        screen.ClearDamage();
    }
    UserOptions options;
    ScreenModel screen{options};
};

TEST(DisplayRequests, ABlockPaintsWhatChangedThenOneUpdateAndCaret) {
    Engine e;
    e.Paint("ab");
    EXPECT_EQ(e.display.calls, (Calls{"caret 0 2", "update"}));
    e.Paint("");
    // Rows far apart are painted on their own, the rows between are not.
    e.Paint("\x1b[2;5Hx\x1b[20;70Hyz\x1b[2;3Hw");
}

TEST(DisplayRequests, ScrolledRowsMoveWithTheirChanges) {
    Engine e;
    e.Feed("\x1b[24;1H");
    e.Paint("a\n\n");
    EXPECT_EQ(e.display.calls, (Calls{"caret 23 1", "update"}));
    // A changed row that scrolls into the history.
    e.Paint("\x1b[1;1Hq\x1b[24;1H\n");
    // A region from the top scrolls its rows only; rows below stay put.
    e.Paint("\x1b[1;10r\x1b[10;1H\n");
    // A region lower down, scrolled up and down.
    e.Label();
    e.Paint("\x1b[20;22r\x1b[22;1H\n");
    e.Paint("\x1b[20;1H\x1bM");
}

TEST(DisplayRequests, ScrollsThatCannotBeOneMoveAndErasingAreStillPainted) {
    Engine e;
    e.Feed("\x1b[24;1H");
    e.Paint("\n\x1b[1;10r\x1b[10;1H\n");  // two extents
    e.Paint("\x1b[r\x1b[24;1H" + std::string(24, '\n'));
    e.Paint("\x1b[2J");
    EXPECT_EQ(e.display.calls, (Calls{"caret 23 0", "update"}));
}

TEST(DisplayRequests, WrapMovesTheCaretAndPaintsTheLastColumn) {
    Engine e;
    e.session.Options().SetWrap(true);
    e.Feed("\x1b[1;80H");
    e.Paint("x");
    EXPECT_EQ(e.display.calls, (Calls{"caret 1 0", "update"}));
    // The last column of the bottom row, whose row the wrap scrolls up.
    e.Feed("\x1b[24;80H");
    e.Paint("y");
}

TEST(DisplayRequests, ShowCodesUpdatesOncePerBlock) {
    Engine e;
    e.session.Options().SetShowCodes(true);
    // "[65]" for the received byte and again for the stored one.
    e.Paint("A");
    EXPECT_EQ(e.display.calls, (Calls{"caret 0 8", "update"}));
}

TEST(DisplayRequests, DeletingPaintsFromTheCursorOnAndLeavesTheCaret) {
    Screen s;
    s.screen.MoveToRowScrolling(5);
    s.screen.ScreenSetColumn(1);
    Rows window = Shown(s.screen);
    s.screen.DeleteChars(1);
    s.screen.DeleteLinesIgnoringRegion(30);  // reaches past the screen: moves nothing
    ExpectPaintedRight(window, s.screen);
    EXPECT_EQ(s.screen.CharAt(s.screen.FirstScreenRow() + 6, 0), U'r');
    s.screen.ClearDamage();
    s.screen.DeleteLinesIgnoringRegion(1);
    ExpectPaintedRight(window, s.screen);
    EXPECT_EQ(s.screen.CursorRow(), 5);
    EXPECT_EQ(s.screen.CursorColumn(), 1);
}

// Text and erasing within a line write their cells in runs; that must look
// exactly like writing them one by one: the cells, what the window paints
// and the cursor.
TEST(DisplayRequests, RunsMatchWritingCharactersOneByOne) {
    Cell reverse;
    reverse.flags = cell_flags::kReverse;
    for (bool wrap : {false, true}) {
        for (int column : {0, 5, 78, 79}) {
            for (int count : {0, 1, 74, 79, 80}) {
                Screen runs, text, single;
                for (Screen* s : {&runs, &text, &single}) {
                    s->options.SetWrap(wrap);
                    s->screen.ScreenWriteString("top");
                    s->screen.ScreenSetPen(reverse);
                    s->screen.MoveToRowScrolling(23);
                    s->screen.ScreenSetColumn(0);
                    s->screen.ScreenWriteString(std::string(column, 'x'));
                    s->screen.ClearDamage();
                }
                const Rows before = Shown(single.screen);
                const auto painted = [&before](const Screen& s) {
                    Rows window = before;
                    Blit(window, s.screen);
                    Paint(window, s.screen);
                    return window;
                };
                const std::string spaces(count, ' ');
                runs.screen.ScreenWriteSpaces(count);
                text.screen.ScreenWriteText(reinterpret_cast<const std::uint8_t*>(spaces.data()),
                                            count);
                text.screen.ScreenWriteString("");
                single.screen.ScreenWriteString(spaces);
                SCOPED_TRACE("wrap " + std::to_string(wrap) + " column " + std::to_string(column) +
                             " count " + std::to_string(count));
                for (Screen* s : {&runs, &text}) {
                    EXPECT_TRUE(painted(*s) == painted(single)) << "what the window shows";
                    EXPECT_TRUE(SameCells(s->screen, single.screen));
                    EXPECT_EQ(s->screen.CursorColumn(), single.screen.CursorColumn());
                    EXPECT_EQ(s->screen.CursorRow(), single.screen.CursorRow());
                }
            }
        }
    }
}

}  // namespace
}  // namespace quill::test
