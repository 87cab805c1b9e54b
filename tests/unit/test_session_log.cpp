// The session log: the exact bytes of every block, one timing line each, on
// disk after a flush; the reason when a file cannot be created or written;
// existing files kept until both are open; log and timing agreeing after a
// failed write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/session/session_log.h"
#include "file_size_limit.h"

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

    // A FIFO would hold the program until a reader comes; it is refused at
    // once, and so is a device. The log created before is removed again.
    const std::string fifo = (folder / "fifo").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(SessionLog::Create(fifo, SteppingClock(), fault), nullptr);
    EXPECT_EQ(fault.path, fifo);
    EXPECT_EQ(fault.reason, "not a regular file");
    fs::create_symlink("/dev/null", fifo + ".log.timing");
    EXPECT_EQ(SessionLog::Create(fifo + ".log", SteppingClock(), fault), nullptr);
    EXPECT_EQ(fault.reason, "not a regular file");
    EXPECT_FALSE(fs::exists(fifo + ".log"));
}

// Nothing is emptied before both files are open, and nothing is left behind
// by a log that could not start; once both are open, both are replaced.
TEST_F(SessionLogTest, ExistingFilesAreReplacedOnlyOnceBothAreOpen) {
    LogFault fault;
    const fs::path notes = folder / "notes";
    std::ofstream(notes) << "23 bytes of old notes.\n";
    fs::create_directory(folder / "notes.timing");
    EXPECT_EQ(SessionLog::Create(notes, SteppingClock(), fault), nullptr);
    EXPECT_EQ(ReadFile(notes), "23 bytes of old notes.\n");

    // NAME.timing is too long a name where NAME is not.
    const fs::path longName = folder / std::string(250, 'n');
    EXPECT_EQ(SessionLog::Create(longName, SteppingClock(), fault), nullptr);
    EXPECT_FALSE(fs::exists(longName));

    fs::remove(folder / "notes.timing");
    std::ofstream(folder / "notes.timing") << "0.5 23\n";
    auto log = SessionLog::Create(notes, SteppingClock(), fault);
    ASSERT_NE(log, nullptr) << fault.reason;
    const std::uint8_t block[] = "new";
    ASSERT_TRUE(log->Append(block, 3, fault));
    ASSERT_TRUE(log->Flush(fault));
    EXPECT_EQ(ReadFile(notes), "new");
    EXPECT_EQ(ReadFile(folder / "notes.timing"), "1.250002 3\n");
}

// The timing counts add up to exactly what the log holds, whichever of the
// two files fills up first, and the failure names that file.
TEST_F(SessionLogTest, AfterAFailedWriteTheTimingCountsWhatTheLogHolds) {
    constexpr std::size_t kLimit = 1000;
    const auto timedBytes = [](const fs::path& timing) {
        std::ifstream in(timing);
        std::size_t total = 0;
        std::string seconds;
        for (std::size_t count = 0; in >> seconds >> count;) total += count;
        return total;
    };
    // Blocks of 300 fill the log first, blocks of 1 (11 timing bytes each) the timing file.
    for (const std::size_t block : {300, 1}) {
        const fs::path path = folder / ("full" + std::to_string(block) + ".log");
        LogFault fault;
        auto log = SessionLog::Create(path, SteppingClock(), fault);
        ASSERT_NE(log, nullptr) << fault.reason;
        const std::vector<std::uint8_t> bytes(block, 'x');
        bool written = true;
        {
            test::FileSizeLimit limit(kLimit);
            for (int i = 0; i < 2000 && written; ++i) {
                written = log->Append(bytes.data(), block, fault) && log->Flush(fault);
            }
        }
        ASSERT_FALSE(written) << block;
        const std::string filled = block == 1 ? path.string() + ".timing" : path.string();
        EXPECT_EQ(fault.path, filled);
        EXPECT_EQ(fault.reason, std::strerror(EFBIG));
        EXPECT_EQ(timedBytes(path.string() + ".timing"), fs::file_size(path)) << block;
        EXPECT_GT(fs::file_size(path), 0u);
    }
}

}  // namespace
}  // namespace quill
