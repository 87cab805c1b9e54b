// The session log: the exact bytes of every block, one timing line each, on
// disk after a flush, and the system's reason when a file cannot be created
// or written.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/session/session_log.h"

namespace quill {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A temporary folder of the test's own, removed with everything in it.
class SessionLogTest : public ::testing::Test {
  protected:
    SessionLogTest() {
        char pattern[] = "/tmp/quillterm-log-test-XXXXXX";
        folder = ::mkdtemp(pattern);
    }
    ~SessionLogTest() override { fs::remove_all(folder); }

    // Each reading of the clock is 1.25 s plus one more microsecond than the last step.
    SessionLog::Clock SteppingClock() {
        return [this] { return now += 1250ms + std::chrono::microseconds(++steps); };
    }

    fs::path folder;
    std::chrono::steady_clock::time_point now;
    int steps = 0;
};

TEST_F(SessionLogTest, HoldsEveryBlockAsReadWithOneTimingLineEach) {
    std::string stream;
    for (int i = 0; i < 1000; ++i) stream.push_back(static_cast<char>(i * 7));  // IAC, NUL, all
    for (const std::size_t block : {1, 7, 100, 333}) {
        const fs::path path = folder / ("block" + std::to_string(block) + ".log");
        steps = 0;
        LogFault fault;
        auto log = SessionLog::Create(path, SteppingClock(), fault);
        ASSERT_NE(log, nullptr) << fault.reason;
        std::string expectedTiming;
        for (std::size_t at = 0, n = 1; at < stream.size(); at += block, ++n) {
            const std::size_t count = std::min(block, stream.size() - at);
            ASSERT_TRUE(
                log->Append(reinterpret_cast<const std::uint8_t*>(&stream[at]), count, fault));
            // Block n comes 1.25 s and n + 1 microseconds after the one before.
            expectedTiming +=
                "1." + std::to_string(250000 + n + 1) + " " + std::to_string(count) + "\n";
            // Handed to the system on Flush: what is on disk is complete then.
            ASSERT_TRUE(log->Flush(fault));
            EXPECT_EQ(ReadFile(path), stream.substr(0, at + count));
        }
        EXPECT_EQ(ReadFile(path.string() + ".timing"), expectedTiming) << block;
    }
}

TEST(TimingLine, SixDecimalsWithAPointAndTheCount) {
    EXPECT_EQ(TimingLine(0us, 0), "0.000000 0\n");
    EXPECT_EQ(TimingLine(104512us, 37), "0.104512 37\n");
    EXPECT_EQ(TimingLine(3600000001us, 100), "3600.000001 100\n");
    EXPECT_EQ(TimingLine(-5us, 1), "0.000000 1\n");
}

TEST_F(SessionLogTest, ACreateThatFailsNamesTheFileAndTheSystemsReason) {
    LogFault fault;
    const std::string missing = (folder / "no-such-folder" / "x.log").string();
    EXPECT_EQ(SessionLog::Create(missing, SteppingClock(), fault), nullptr);
    EXPECT_EQ(fault.path, missing);
    EXPECT_EQ(fault.reason, std::strerror(ENOENT));

    // The log itself can be made, its timing file not.
    const std::string path = (folder / "y.log").string();
    fs::create_directory(path + ".timing");
    EXPECT_EQ(SessionLog::Create(path, SteppingClock(), fault), nullptr);
    EXPECT_EQ(fault.path, path + ".timing");
    EXPECT_EQ(fault.reason, std::strerror(EISDIR));
}

TEST_F(SessionLogTest, AWriteThatFailsNamesTheFileAndTheSystemsReason) {
    const fs::path path = folder / "full.log";
    fs::create_symlink("/dev/full", path);
    LogFault fault;
    auto log = SessionLog::Create(path, SteppingClock(), fault);
    ASSERT_NE(log, nullptr) << fault.reason;
    const std::uint8_t block[] = "hello";
    ASSERT_TRUE(log->Append(block, sizeof block, fault));
    EXPECT_FALSE(log->Flush(fault));
    EXPECT_EQ(fault.path, path.string());
    EXPECT_EQ(fault.reason, std::strerror(ENOSPC));
}

}  // namespace
}  // namespace quill
