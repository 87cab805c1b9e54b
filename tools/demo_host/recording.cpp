#include "recording.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

namespace quill::demo {
namespace {

// A timing file is read this much at a time; its lines are a few dozen
// bytes, and one longer than kLongestLine is refused.
constexpr std::size_t kReadPiece = 64 * 1024;
constexpr std::size_t kLongestLine = 1024;

// `bytes` as printable ASCII, for a message: a backslash doubled, any other
// byte outside blank to '~' as \xHH.
std::string Escaped(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            shown += "\\\\";
        } else if (byte >= ' ' && byte <= '~') {
            shown += c;
        } else {
            shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xf]};
        }
    }
    return shown;
}

// The blank-separated fields of a line (a CR before its LF is a blank too).
std::vector<std::string_view> Fields(std::string_view line) {
    constexpr std::string_view kBlanks = " \t\r";
    std::vector<std::string_view> fields;
    for (std::size_t at = line.find_first_not_of(kBlanks); at != std::string_view::npos;
         at = line.find_first_not_of(kBlanks, at)) {
        const std::size_t end = std::min(line.find_first_of(kBlanks, at), line.size());
        fields.push_back(line.substr(at, end - at));
        at = end;
    }
    return fields;
}

// A plain decimal number of seconds, read the same under every locale.
std::string ParseSeconds(std::string_view text, double& seconds) {
    const char* end = text.data() + text.size();
    const auto [stop, code] = std::from_chars(text.data(), end, seconds, std::chars_format::fixed);
    if (code != std::errc() || stop != end || !std::isfinite(seconds)) {
        return "bad time '" + Escaped(text) + "'";
    }
    if (text.front() == '-') return "negative time " + Escaped(text);
    return {};
}

std::string ParseCount(std::string_view text, std::size_t& count) {
    const char* end = text.data() + text.size();
    const auto [stop, code] = std::from_chars(text.data(), end, count);
    if (code != std::errc() || stop != end) return "bad byte count '" + Escaped(text) + "'";
    return {};
}

// The fields of one line into the next step; the problem with them, if any.
std::string ParseLine(const std::vector<std::string_view>& fields, Step& step) {
    if (fields.size() < 2) return "missing byte count";
    if (fields.size() > 2) return "extra field '" + Escaped(fields[2]) + "'";
    double seconds = 0;
    std::size_t count = 0;
    std::string problem = ParseSeconds(fields[0], seconds);
    if (problem.empty()) problem = ParseCount(fields[1], count);
    if (!problem.empty()) return problem;
    if (count > std::numeric_limits<std::size_t>::max() - step.end) return "too many bytes";
    step = {step.seconds + seconds, step.end + count};
    return {};
}

// Whether the counts of `timing` add up to `logSize`; the problem, if not.
std::string CheckTiming(const PlainFile& timing, std::size_t logSize) {
    StepReader reader(timing);
    std::string error;
    std::size_t total = 0;
    while (const std::optional<Step> step = reader.Next(error)) total = step->end;
    if (!error.empty()) return error;
    if (total != logSize) {
        return "counts add up to " + std::to_string(total) + " bytes, the log has " +
               std::to_string(logSize);
    }
    return {};
}

}  // namespace

std::optional<Step> StepReader::Next(std::string& error) {
    std::string_view line;
    while (NextLine(line, error)) {
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.empty()) continue;
        const std::string problem = ParseLine(fields, step_);
        if (!problem.empty()) {
            error = "line " + std::to_string(number_) + ": " + problem;
            return std::nullopt;
        }
        return step_;
    }
    return std::nullopt;
}

// The buffer holds the file from `offset_` on; lines are taken from its
// front, and it is refilled once no whole line is left in it.
bool StepReader::NextLine(std::string_view& line, std::string& error) {
    for (;;) {
        const std::size_t newline = buffer_.find('\n', used_);
        const std::size_t end = std::min(newline, buffer_.size());
        if (end - used_ > kLongestLine) {
            error = "line " + std::to_string(number_ + 1) + ": longer than " +
                    std::to_string(kLongestLine) + " bytes";
            return false;
        }
        std::string piece;
        if (newline == std::string::npos)
            piece = timing_.Read(offset_ + buffer_.size(), kReadPiece);
        if (newline != std::string::npos || piece.empty()) {
            if (used_ == end && newline == std::string::npos) return false;  // the end
            line = std::string_view(buffer_).substr(used_, end - used_);
            used_ = std::min(end + 1, buffer_.size());  // the last line may lack its LF
            ++number_;
            return true;
        }
        offset_ += used_;
        buffer_.erase(0, used_);
        used_ = 0;
        buffer_ += piece;
    }
}

std::optional<Recording> Recording::Load(const std::string& log,
                                         const std::optional<std::string>& timing,
                                         std::string& error) {
    Recording recording;
    recording.log_ = PlainFile::Open(log, error);
    if (!recording.log_) return std::nullopt;
    if (!timing) return recording;
    recording.timing_ = PlainFile::Open(*timing, error);
    if (!recording.timing_) return std::nullopt;
    error = CheckTiming(*recording.timing_, recording.log_->Size());
    if (!error.empty()) {
        error = *timing + ": " + error;
        return std::nullopt;
    }
    return recording;
}

Recording Recording::InMemory(std::string bytes, std::vector<Step> steps) {
    Recording recording;
    recording.bytes_ = std::move(bytes);
    recording.steps_ = std::move(steps);
    return recording;
}

std::string Recording::Read(std::size_t offset, std::size_t length) const {
    if (log_) return log_->Read(offset, length);
    return bytes_.substr(std::min(offset, bytes_.size()), length);
}

}  // namespace quill::demo
