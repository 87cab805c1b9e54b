#include "recording.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

namespace quill::demo {
namespace {

using Step = Recording::Step;

bool ReadFile(const std::string& path, std::string& bytes, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    char buffer[1 << 16];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
    const bool failed = std::ferror(file) != 0;
    if (failed) error = "cannot read " + path + ": " + std::strerror(errno);
    std::fclose(file);
    return !failed;
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
        return "bad time '" + std::string(text) + "'";
    }
    if (text.front() == '-') return "negative time " + std::string(text);
    return {};
}

std::string ParseCount(std::string_view text, std::size_t& count) {
    const char* end = text.data() + text.size();
    const auto [stop, code] = std::from_chars(text.data(), end, count);
    if (code != std::errc() || stop != end) return "bad byte count '" + std::string(text) + "'";
    return {};
}

// The fields of one line into the next step; the problem with them, if any.
std::string ParseLine(const std::vector<std::string_view>& fields, Step& step) {
    if (fields.size() < 2) return "missing byte count";
    if (fields.size() > 2) return "extra field '" + std::string(fields[2]) + "'";
    double seconds = 0;
    std::size_t count = 0;
    std::string problem = ParseSeconds(fields[0], seconds);
    if (problem.empty()) problem = ParseCount(fields[1], count);
    if (!problem.empty()) return problem;
    if (count > std::numeric_limits<std::size_t>::max() - step.end) return "too many bytes";
    step = {step.seconds + seconds, step.end + count};
    return {};
}

// Each line of a timing file as the step it ends with; blank lines are skipped.
std::string ParseTiming(std::string_view text, std::vector<Step>& steps) {
    Step step;
    int number = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t newline = std::min(text.find('\n', at), text.size());
        const std::string_view line = text.substr(at, newline - at);
        at = newline + 1;
        ++number;
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.empty()) continue;
        const std::string problem = ParseLine(fields, step);
        if (!problem.empty()) return "line " + std::to_string(number) + ": " + problem;
        steps.push_back(step);
    }
    return {};
}

std::string LoadTiming(const std::string& path, std::size_t logSize, std::vector<Step>& steps) {
    std::string text;
    std::string error;
    if (!ReadFile(path, text, error)) return error;
    error = ParseTiming(text, steps);
    if (!error.empty()) return path + ": " + error;
    const std::size_t total = steps.empty() ? 0 : steps.back().end;
    if (total != logSize) {
        return path + ": counts add up to " + std::to_string(total) + " bytes, the log has " +
               std::to_string(logSize);
    }
    return {};
}

}  // namespace

std::optional<Recording> LoadRecording(const std::string& log,
                                       const std::optional<std::string>& timing,
                                       std::string& error) {
    Recording recording;
    if (!ReadFile(log, recording.bytes, error)) return std::nullopt;
    if (!timing) {
        recording.steps.push_back({0, recording.bytes.size()});
        return recording;
    }
    error = LoadTiming(*timing, recording.bytes.size(), recording.steps);
    if (!error.empty()) return std::nullopt;
    return recording;
}

}  // namespace quill::demo
