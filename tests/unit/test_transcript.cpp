// quillterm-replay --transcript: the rows that left the screen through its
// top, then the screen, as plain UTF-8 lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "replay_session.h"
#include "transcript.h"

namespace quill {
namespace {

std::string TranscriptOf(const std::string& stream, bool extended = false) {
    ReplaySession session(false, false);
    session.Options().SetExtended(extended);
    Transcript transcript;
    session.terminal().SetScrollOffObserver(&transcript);
    session.Feed(stream, kReceiveChunk);
    return transcript.Text(session.Screen());
}

TEST(Transcript, AThousandLinesComeOutExactlyAsSent) {
    std::string sent;
    std::string expected;
    for (int i = 1; i <= 1000; ++i) {
        char line[16];
        std::snprintf(line, sizeof line, "line %04d", i);
        sent += std::string(line) + "\r\n";
        expected += std::string(line) + "\n";
    }
    EXPECT_EQ(TranscriptOf(sent), expected);
}

// Rows scrolled inside a region below the top row stay on the screen's side.
TEST(Transcript, AWideCharacterIsWrittenOnce) {
    EXPECT_EQ(TranscriptOf("\xE4\xB8\xADx\r\n", true), "\xE4\xB8\xADx\n");
}

TEST(Transcript, RowsScrolledWithinALowerRegionAreNotInIt) {
    std::string sent = "top\r\n\x1b[3;24r";
    std::string expected = "top\n\n";
    for (int i = 10; i <= 30; ++i) expected += "L" + std::to_string(i) + "\n";
    for (int i = 1; i <= 30; ++i) sent += "L" + std::to_string(i) + "\r\n";
    EXPECT_EQ(TranscriptOf(sent), expected);
}

}  // namespace
}  // namespace quill
