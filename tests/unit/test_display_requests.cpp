// What the engine asks of the window and records for it: one caret move and
// then one update per received block, no caret moves while the caret is
// hidden, and the damage (changed columns per row, rows scrolled) the window
// pulls.
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

// The damage as text: "row:first-end" for each changed row, then the scroll
// ("scrolled N of END") and "history" when set; "all" alone when all is stale.
std::string Damage(const ScreenDamage& damage) {
    if (damage.all) return "all";
    std::string text;
    for (std::size_t r = 0; r < damage.rows.size(); ++r) {
        const ScreenDamage::Columns& c = damage.rows[r];
        if (!c.Empty())
            text += std::to_string(r) + ":" + std::to_string(c.first) + "-" +
                    std::to_string(c.end) + " ";
    }
    if (damage.scrolled > 0)
        text += "scrolled " + std::to_string(damage.scrolled) + " of " +
                std::to_string(damage.scrollEnd) + " ";
    if (damage.history) text += "history ";
    return text;
}

struct Engine {
    RecordingDisplay display;
    ReplaySession session{false, false, &display};

    // The bytes as one received block.
    void Feed(std::string_view bytes) { session.Feed(bytes, static_cast<int>(bytes.size())); }
    // The bytes, after what came before has been taken by the window.
    std::string DamageOf(std::string_view bytes) {
        session.terminal().ClearDamage();
        display.calls.clear();
        Feed(bytes);
        return Damage(session.terminal().Damage());
    }
};

// The screen on its own, for its operations.
struct Screen {
    UserOptions options;
    ScreenModel screen{options};
};

TEST(DisplayRequests, ABlockRecordsItsColumnsThenOneUpdateAndCaret) {
    Engine e;
    e.Feed("");
    EXPECT_EQ(e.DamageOf("ab"), "0:0-2 ");
    EXPECT_EQ(e.display.calls, (Calls{"caret 0 2", "update"}));
    EXPECT_EQ(e.DamageOf(""), "");
    // Rows far apart are marked on their own, the rows between stay clean.
    EXPECT_EQ(e.DamageOf("\x1b[2;5Hx\x1b[20;70Hyz\x1b[2;3Hw"), "1:2-5 19:69-71 ");
}

TEST(DisplayRequests, ScrolledLinesAreCountedAndTheirMarksMoveWithThem) {
    Engine e;
    e.Feed("\x1b[24;1H");
    EXPECT_EQ(e.DamageOf("a\n\n"), "21:0-1 22:0-80 23:0-80 scrolled 2 of 24 ");
    EXPECT_EQ(e.display.calls, (Calls{"caret 23 1", "update"}));
    // A changed row that scrolls into the history makes the history stale.
    EXPECT_EQ(e.DamageOf("\x1b[1;1Hq\x1b[24;1H\n"), "23:0-80 scrolled 1 of 24 history ");
    // A region from the top scrolls its rows only; rows below stay put.
    EXPECT_EQ(e.DamageOf("\x1b[1;10r\x1b[10;1H\n"), "9:0-80 scrolled 1 of 10 ");
    // A region lower down, and scrolling down, mark the region's rows.
    EXPECT_EQ(e.DamageOf("\x1b[20;22r\x1b[22;1H\n"), "19:0-80 20:0-80 21:0-80 ");
    EXPECT_EQ(e.DamageOf("\x1b[20;1H\x1bM"), "19:0-80 20:0-80 21:0-80 ");
}

TEST(DisplayRequests, ScrollsThatCannotBeOneBlitAndErasingMakeEverythingStale) {
    Engine e;
    e.Feed("\x1b[24;1H");
    EXPECT_EQ(e.DamageOf("\n\x1b[1;10r\x1b[10;1H\n"), "all");  // two extents
    EXPECT_EQ(e.DamageOf("\x1b[r\x1b[24;1H" + std::string(24, '\n')), "all");
    EXPECT_EQ(e.DamageOf("\x1b[2J"), "all");
    EXPECT_EQ(e.display.calls, (Calls{"caret 23 0", "update"}));
}

TEST(DisplayRequests, WrapMovesTheCaretAndMarksTheLastColumn) {
    Engine e;
    e.session.Options().SetWrap(true);
    e.Feed("\x1b[1;80H");
    EXPECT_EQ(e.DamageOf("x"), "0:79-80 ");
    EXPECT_EQ(e.display.calls, (Calls{"caret 1 0", "update"}));
}

TEST(DisplayRequests, HiddenCaretIsNeverMoved) {
    Engine e;
    e.session.terminal().SetCaretVisible(false);
    e.display.calls.clear();
    e.Feed("abc\x1b[5;5H\x1b[2J\n");
    for (const std::string& call : e.display.calls)
        EXPECT_EQ(call.rfind("caret", 0), std::string::npos);
}

TEST(DisplayRequests, ShowCodesUpdatesOncePerBlock) {
    Engine e;
    e.session.Options().SetShowCodes(true);
    // "[65]" for the received byte and again for the stored one.
    EXPECT_EQ(e.DamageOf("A"), "0:0-8 ");
    EXPECT_EQ(e.display.calls, (Calls{"caret 0 8", "update"}));
}

TEST(DisplayRequests, DeletingMarksFromTheCursorOnAndLeavesTheCaret) {
    Screen s;
    s.screen.ScreenWriteString("abc");
    s.screen.MoveToRowScrolling(5);
    s.screen.ScreenSetColumn(1);
    s.screen.ClearDamage();
    s.screen.DeleteChars(1);
    s.screen.DeleteLinesIgnoringRegion(30);  // moves nothing
    EXPECT_EQ(Damage(s.screen.Damage()), "5:1-80 ");
    s.screen.DeleteLinesIgnoringRegion(1);
    std::string rows;
    for (int r = 5; r < kScreenRows; ++r) rows += std::to_string(r) + ":0-80 ";
    EXPECT_EQ(Damage(s.screen.Damage()), rows);
    EXPECT_EQ(s.screen.CursorRow(), 5);
    EXPECT_EQ(s.screen.CursorColumn(), 1);
}

// Text and erasing within a line write their cells in runs; that must look
// exactly like writing them one by one: the cells, the damage and the cursor.
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
                const std::string spaces(count, ' ');
                runs.screen.ScreenWriteSpaces(count);
                text.screen.ScreenWriteText(reinterpret_cast<const std::uint8_t*>(spaces.data()),
                                            count);
                text.screen.ScreenWriteString("");
                single.screen.ScreenWriteString(spaces);
                const std::string where = "wrap " + std::to_string(wrap) + " column " +
                                          std::to_string(column) + " count " +
                                          std::to_string(count);
                for (Screen* s : {&runs, &text}) {
                    EXPECT_EQ(Damage(s->screen.Damage()), Damage(single.screen.Damage())) << where;
                    EXPECT_TRUE(SameCells(s->screen, single.screen)) << where;
                    EXPECT_EQ(s->screen.CursorColumn(), single.screen.CursorColumn()) << where;
                    EXPECT_EQ(s->screen.CursorRow(), single.screen.CursorRow()) << where;
                }
            }
        }
    }
}

}  // namespace
}  // namespace quill::test
