#include "core/session/session_log.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <utility>

namespace quill {

namespace {

constexpr char kTimingSuffix[] = ".timing";
constexpr std::int64_t kMicrosecondsPerSecond = 1'000'000;

std::string SystemReason() {
    return std::strerror(errno);
}

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
    File log(std::fopen(path.c_str(), "wb"));
    if (!log) {
        fault = {path, SystemReason()};
        return nullptr;
    }
    File timing(std::fopen(timingPath.c_str(), "wb"));
    if (!timing) {
        fault = {timingPath, SystemReason()};
        return nullptr;
    }
    return std::unique_ptr<SessionLog>(
        new SessionLog(path, std::move(log), std::move(timing), std::move(clock)));
}

SessionLog::SessionLog(std::string path, File log, File timing, Clock clock)
    : path_(std::move(path)),
      timingPath_(path_ + kTimingSuffix),
      log_(std::move(log)),
      timing_(std::move(timing)),
      clock_(std::move(clock)),
      last_(clock_()) {}

bool SessionLog::Append(const std::uint8_t* bytes, std::size_t count, LogFault& fault) {
    const auto now = clock_();
    const std::string line =
        TimingLine(std::chrono::duration_cast<std::chrono::microseconds>(now - last_), count);
    last_ = now;
    if (std::fwrite(bytes, 1, count, log_.get()) != count) return Fail(path_, fault);
    if (std::fwrite(line.data(), 1, line.size(), timing_.get()) != line.size()) {
        return Fail(timingPath_, fault);
    }
    return true;
}

bool SessionLog::Flush(LogFault& fault) {
    if (std::fflush(log_.get()) != 0) return Fail(path_, fault);
    if (std::fflush(timing_.get()) != 0) return Fail(timingPath_, fault);
    return true;
}

bool SessionLog::Fail(const std::string& path, LogFault& fault) {
    fault = {path, SystemReason()};
    log_.reset();
    timing_.reset();
    return false;
}

}  // namespace quill
