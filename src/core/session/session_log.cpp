#include "core/session/session_log.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace quill {

namespace {

constexpr char kTimingSuffix[] = ".timing";
constexpr std::int64_t kMicrosecondsPerSecond = 1'000'000;
// Appended bytes are written at the latest once this many wait.
constexpr std::size_t kWriteAt = 64 * 1024;

}  // namespace

// Plain integer formatting, the same under every locale: the fraction is
// written as 1xxxxxx and its leading 1 becomes the decimal point.
std::string TimingLine(std::chrono::microseconds elapsed, std::size_t count) {
    const std::int64_t micros = std::max<std::int64_t>(elapsed.count(), 0);
    std::string line;
    char number[24];
    const auto append = [&](auto value) {
        line.append(number, std::to_chars(number, number + sizeof number, value).ptr);
    };
    append(micros / kMicrosecondsPerSecond);
    const std::size_t point = line.size();
    append(micros % kMicrosecondsPerSecond + kMicrosecondsPerSecond);
    line[point] = '.';
    line += ' ';
    append(count);
    line += '\n';
    return line;
}

std::unique_ptr<SessionLog> SessionLog::Create(const std::string& path, Clock clock,
                                               LogFault& fault) {
    const std::string timingPath = path + kTimingSuffix;
    std::string reason;
    const auto refuse = [&](const std::string& file) {
        fault = {file, reason};
        return nullptr;
    };
    std::unique_ptr<LogFile> log = LogFile::Open(path, reason);
    if (!log) return refuse(path);
    std::unique_ptr<LogFile> timing = LogFile::Open(timingPath, reason);
    if (!timing) {
        log->RemoveIfCreated();
        return refuse(timingPath);
    }
    if (!log->Truncate(0, reason)) return refuse(path);
    if (!timing->Truncate(0, reason)) return refuse(timingPath);
    return std::unique_ptr<SessionLog>(
        new SessionLog(path, std::move(log), std::move(timing), std::move(clock)));
}

SessionLog::SessionLog(std::string path, std::unique_ptr<LogFile> log,
                       std::unique_ptr<LogFile> timing, Clock clock)
    : path_(std::move(path)),
      timingPath_(path_ + kTimingSuffix),
      log_(std::move(log)),
      timing_(std::move(timing)),
      clock_(std::move(clock)),
      last_(clock_()) {}

SessionLog::~SessionLog() {
    LogFault ignored;
    if (log_) Flush(ignored);
}

bool SessionLog::Append(const std::uint8_t* bytes, std::size_t count, LogFault& fault) {
    const auto now = clock_();
    blocks_.push_back({std::chrono::duration_cast<std::chrono::microseconds>(now - last_), count});
    last_ = now;
    waiting_.append(reinterpret_cast<const char*>(bytes), count);
    return waiting_.size() < kWriteAt || Flush(fault);
}

// The log first; the timing lines then count what it took. When they cannot
// all be written, both files go back to where they last agreed.
bool SessionLog::Flush(LogFault& fault) {
    const std::uint64_t logSize = log_->Size();
    const std::uint64_t timingSize = timing_->Size();
    std::string logReason;
    const std::size_t logged = log_->Write(waiting_, logReason);
    const std::string lines = TimingLines(logged);
    std::string timingReason;
    if (timing_->Write(lines, timingReason) < lines.size()) {
        std::string ignored;
        timing_->Truncate(timingSize, ignored);
        log_->Truncate(logSize, ignored);
        return Fail(timingPath_, timingReason, fault);
    }
    if (logged < waiting_.size()) return Fail(path_, logReason, fault);
    waiting_.clear();
    blocks_.clear();
    return true;
}

std::string SessionLog::TimingLines(std::size_t bytes) const {
    std::string lines;
    for (std::size_t i = 0; i < blocks_.size() && bytes > 0; ++i) {
        const std::size_t count = std::min(blocks_[i].count, bytes);
        lines += TimingLine(blocks_[i].elapsed, count);
        bytes -= count;
    }
    return lines;
}

bool SessionLog::Fail(const std::string& path, const std::string& reason, LogFault& fault) {
    fault = {path, reason};
    log_.reset();
    timing_.reset();
    return false;
}

}  // namespace quill
