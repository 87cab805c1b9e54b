#include "core/transfer/lrzsz_progress.h"

#include <array>
#include <charconv>
#include <optional>

namespace quill {
namespace {

constexpr std::array<std::string_view, 2> kFileTags = {"Receiving: ", "Sending: "};
constexpr std::array<std::string_view, 2> kBytesTags = {"Bytes received:", "Bytes Sent:"};

std::string_view SkipSpaces(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

// A decimal number after any spaces, and the text after it.
std::optional<std::int64_t> TakeNumber(std::string_view& text) {
    text = SkipSpaces(text);
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

}  // namespace

bool LrzszProgressReader::Take(std::string_view text) {
    bool changed = false;
    pending_ += text;
    std::size_t start = 0;
    for (std::size_t end; (end = pending_.find_first_of("\r\n", start)) != std::string::npos;
         start = end + 1) {
        changed = TakeLine(std::string_view(pending_).substr(start, end - start)) || changed;
    }
    pending_.erase(0, start);
    return changed;
}

bool LrzszProgressReader::TakeLine(std::string_view line) {
    for (const std::string_view tag : kFileTags) {
        if (!line.starts_with(tag)) continue;
        progress_ = {std::string(line.substr(tag.size())), 0, 0, 0};
        return true;
    }
    for (const std::string_view tag : kBytesTags) {
        if (!line.starts_with(tag)) continue;
        std::string_view rest = line.substr(tag.size());
        const std::optional<std::int64_t> done = TakeNumber(rest);
        if (!done || !rest.starts_with('/')) return false;
        rest.remove_prefix(1);
        const std::optional<std::int64_t> total = TakeNumber(rest);
        if (!total) return false;
        progress_.done = *done;
        progress_.total = *total;
        const std::size_t bps = rest.find("BPS:");
        if (bps != std::string_view::npos) {
            rest.remove_prefix(bps + 4);
            progress_.bytesPerSecond = TakeNumber(rest).value_or(progress_.bytesPerSecond);
        }
        return true;
    }
    return false;
}

}  // namespace quill
