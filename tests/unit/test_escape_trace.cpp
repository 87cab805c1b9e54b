// The escape trace: what a developer sees of each sequence, and that nothing
// is asked of the trace at all while it is off.
#include <gtest/gtest.h>

#include <string>

#include "core/engine/headless_terminal.h"

namespace quill::test {
namespace {

// The trace of the bytes as one block; the services keep whatever they are
// told, asked or not.
std::string TraceOf(std::string_view bytes, bool enabled = true) {
    HeadlessTerminal terminal(HeadlessSetup{nullptr, enabled});
    terminal.Feed(bytes, kReceiveChunk);
    return terminal.Services().trace;
}

TEST(EscapeTrace, ShowsEachSequenceOnItsOwnLine) {
    EXPECT_EQ(TraceOf("\x1b[1;2H"), "[1;2H\r\n");
    EXPECT_EQ(TraceOf("\x1b[?1h\x1b"
                      "7"),
              "[?1h\r\n7\r\n");
    EXPECT_EQ(TraceOf("\x1b(0\x1b#8"), "0\r\n8\r\n");
}

TEST(EscapeTrace, MarksAnAbandonedSequence) {
    EXPECT_EQ(TraceOf("\x1b[5;\x1b[2J"), "[5;<esc>[2J\r\n");
}

TEST(EscapeTrace, SkippedParametersAreTraced) {
    EXPECT_EQ(TraceOf("\x1b[0;1;32m"), "[0;1;32m\r\n");
}

TEST(EscapeTrace, NothingIsTracedWhileOff) {
    EXPECT_EQ(TraceOf("\x1b[1;2H\x1b[5;\x1b[2J", false), "");
}

}  // namespace
}  // namespace quill::test
