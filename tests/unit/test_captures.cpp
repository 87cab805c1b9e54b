// Streams recorded from three real Telnet servers: fed in 100-byte blocks,
// the client must answer exactly as recorded, and the same in any block size.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "replay_session.h"

namespace quill::test {
namespace {

std::string ReadCapture(const std::string& name) {
    std::ifstream in(std::string(QUILL_CAPTURES) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Capture : public ::testing::TestWithParam<const char*> {};

TEST_P(Capture, RepliesMatchTheRecordingInEveryBlockSize) {
    const std::string fromServer = ReadCapture(std::string(GetParam()) + ".from-server.bin");
    const std::string replies = ReadCapture(std::string(GetParam()) + ".client-replies.bin");
    ASSERT_FALSE(replies.empty());
    for (int chunk : {100, 1, 7, 64}) {
        ReplaySession session(false, false);
        session.Feed(fromServer, chunk);
        const std::vector<std::uint8_t> sent = session.Send().Sent();
        EXPECT_EQ(std::string(sent.begin(), sent.end()), replies) << "chunk " << chunk;
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, Capture, ::testing::Values("busybox", "inetutils", "netkit"));

TEST(Capture, InetutilsSessionShowsTheTerminalType) {
    ReplaySession session(false, false);
    session.Feed(ReadCapture("inetutils.from-server.bin"), 100);
    EXPECT_NE(session.Render(false).find("|TERM=vt100 "), std::string::npos);
}

}  // namespace
}  // namespace quill::test
