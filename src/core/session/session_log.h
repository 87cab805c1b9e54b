#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/session/log_file.h"

namespace quill {

// Why a log could not be created or written: the file and the system's reason.
struct LogFault {
    std::string path;
    std::string reason;
};

// A session log: every block read from the connection, exactly as it was
// read (Telnet commands and all), is appended to FILE, and a line
// "SECONDS COUNT" to FILE.timing: the time since the previous block (since
// the log began, for the first) with six decimals and a decimal point, and
// the block's size. Flush hands both files to the system: the window does so
// after each read event, so a crash loses at most the blocks of the last one.
// Both must be regular files: a FIFO or a device is refused.
// The two always agree: a timing line counts only bytes the log took, and
// when a timing line cannot be written the log loses what it would count.
class SessionLog {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Opens FILE and FILE.timing, and only once both are open empties them;
    // the log's time starts now. Null when either cannot be opened, and
    // `fault` says why: an existing file is then left as it was, and a file
    // created for the log is removed again.
    static std::unique_ptr<SessionLog> Create(const std::string& path, Clock clock,
                                              LogFault& fault);
    // Writes what has not been handed to the system yet, errors aside.
    ~SessionLog();

    // Appends one block and its timing line. False when a write failed:
    // `fault` says why, and the log is finished; the caller discards it.
    bool Append(const std::uint8_t* bytes, std::size_t count, LogFault& fault);
    // Hands what has been appended to the system; false as for Append.
    bool Flush(LogFault& fault);

    const std::string& Path() const { return path_; }

  private:
    struct Block {
        std::chrono::microseconds elapsed;
        std::size_t count;
    };

    SessionLog(std::string path, std::unique_ptr<LogFile> log, std::unique_ptr<LogFile> timing,
               Clock clock);
    // The timing lines of the first `bytes` bytes waiting to be written.
    std::string TimingLines(std::size_t bytes) const;
    // The failure with `path`; the log is finished.
    bool Fail(const std::string& path, const std::string& reason, LogFault& fault);

    std::string path_;
    std::string timingPath_;
    std::unique_ptr<LogFile> log_;
    std::unique_ptr<LogFile> timing_;
    Clock clock_;
    std::chrono::steady_clock::time_point last_;
    // Appended and not yet written: the bytes, and the blocks they came in.
    std::string waiting_;
    std::vector<Block> blocks_;
};

// The timing line of a block: "SECONDS COUNT\n", SECONDS with six decimals.
std::string TimingLine(std::chrono::microseconds elapsed, std::size_t count);

}  // namespace quill
