#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

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
class SessionLog {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    // Creates or truncates FILE and FILE.timing; the log's time starts now.
    // Null when either cannot be created, and `fault` says why.
    static std::unique_ptr<SessionLog> Create(const std::string& path, Clock clock,
                                              LogFault& fault);

    // Appends one block and its timing line. False when a write failed:
    // `fault` says why, and the log is finished; the caller discards it.
    bool Append(const std::uint8_t* bytes, std::size_t count, LogFault& fault);
    // Hands what has been appended to the system; false as for Append.
    bool Flush(LogFault& fault);

    const std::string& Path() const { return path_; }

  private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using File = std::unique_ptr<std::FILE, FileCloser>;

    SessionLog(std::string path, File log, File timing, Clock clock);
    // The system's reason for the failure with `path`; the log is finished.
    bool Fail(const std::string& path, LogFault& fault);

    std::string path_;
    std::string timingPath_;
    File log_;
    File timing_;
    Clock clock_;
    std::chrono::steady_clock::time_point last_;
};

// The timing line of a block: "SECONDS COUNT\n", SECONDS with six decimals.
std::string TimingLine(std::chrono::microseconds elapsed, std::size_t count);

}  // namespace quill
