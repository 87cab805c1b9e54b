// What the engine asks of the window, and when: cells invalidated one by one
// for text, the whole window for scrolls and erases, one update and caret move
// per received block, and no caret moves while the caret is hidden.
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

struct Engine {
    RecordingDisplay display;
    ReplaySession session{false, false, &display};

    // The bytes as one received block.
    void Feed(std::string_view bytes) { session.Feed(bytes, static_cast<int>(bytes.size())); }
};

// The screen on its own, for its operations.
struct Screen {
    RecordingDisplay display;
    UserOptions options;
    ScreenModel screen{display, options};
};

TEST(DisplayRequests, TextInvalidatesItsCellsThenOneUpdateAndCaretPerBlock) {
    Engine e;
    e.Feed("ab");
    EXPECT_EQ(e.display.calls, (Calls{"cell 0 0", "cell 0 1", "update", "caret 0 2"}));
}

TEST(DisplayRequests, EmptyBlockStillUpdatesAndMovesTheCaret) {
    Engine e;
    e.session.terminal().Feed(nullptr, 0);
    EXPECT_EQ(e.display.calls, (Calls{"update", "caret 0 0"}));
}

TEST(DisplayRequests, EveryScrolledLineRepaintsAtOnce) {
    Engine e;
    e.Feed("\x1b[24;1H");
    e.display.calls.clear();
    e.Feed("\n\n");
    EXPECT_EQ(e.display.calls, (Calls{"all", "update", "caret 23 0", "all", "update", "caret 23 0",
                                      "update", "caret 23 0"}));
}

TEST(DisplayRequests, WrapMovesTheCaretBeforeTheCellIsInvalidated) {
    Engine e;
    e.session.Options().SetWrap(true);
    e.Feed("\x1b[1;80H");
    e.display.calls.clear();
    e.Feed("x");
    EXPECT_EQ(e.display.calls, (Calls{"caret 1 0", "cell 0 79", "update", "caret 1 0"}));
}

TEST(DisplayRequests, ErasingInvalidatesAllAndMovesTheCaret) {
    Engine e;
    e.Feed("\x1b[2J");
    EXPECT_EQ(e.display.calls, (Calls{"all", "caret 0 0", "update", "caret 0 0"}));
}

TEST(DisplayRequests, HiddenCaretIsNeverMoved) {
    Engine e;
    e.session.terminal().SetCaretVisible(false);
    e.Feed("abc\x1b[5;5H\x1b[2J\n");
    for (const std::string& call : e.display.calls)
        EXPECT_EQ(call.rfind("caret", 0), std::string::npos);
}

TEST(DisplayRequests, ShowCodesRepaintsForEveryByte) {
    Engine e;
    e.session.Options().SetShowCodes(true);
    e.Feed("A");
    // "[65]" for the received byte and again for the stored one, each written
    // as a string with its own caret move and update.
    EXPECT_EQ(e.display.calls, (Calls{"cell 0 0", "cell 0 1", "cell 0 2", "cell 0 3", "caret 0 4",
                                      "update", "cell 0 4", "cell 0 5", "cell 0 6", "cell 0 7",
                                      "caret 0 8", "update", "update", "caret 0 8"}));
}

TEST(DisplayRequests, DeletingCharactersDoesNotTouchTheCaret) {
    Screen s;
    s.screen.ScreenWriteString("abc");
    s.screen.ScreenSetColumn(0);
    s.display.calls.clear();
    s.screen.ScreenDeleteChars(1);
    s.screen.ScreenDeleteLines(1);
    s.screen.ScreenDeleteLines(30);  // moves nothing, still repaints
    EXPECT_EQ(s.display.calls, (Calls{"all", "all", "all"}));
}

// Text and erasing within a line write their cells in runs; that must look
// exactly like writing them one by one, to the cells and to the window.
TEST(DisplayRequests, RunsMatchWritingCharactersOneByOne) {
    for (bool wrap : {false, true}) {
        for (int column : {0, 5, 78, 79}) {
            for (int count : {0, 1, 74, 79, 80}) {
                Screen runs, text, single;
                for (Screen* s : {&runs, &text, &single}) {
                    s->options.SetWrap(wrap);
                    s->screen.ScreenWriteString("top");
                    s->screen.ScreenSetAttribute(7);
                    s->screen.ScreenMoveToRow(23);
                    s->screen.ScreenSetColumn(0);
                    s->screen.ScreenWriteString(std::string(column, 'x'));
                    s->display.calls.clear();
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
                    EXPECT_EQ(s->display.calls, single.display.calls) << where;
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
