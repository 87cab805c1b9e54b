#include "core/telnet/charset_request.h"

#include <algorithm>
#include <cctype>

namespace quill {

namespace {

constexpr std::string_view kTranslationTable = "[TTABLE]";

bool IsUtf8(std::string_view name) {
    const auto same = [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == b;
    };
    return std::ranges::equal(name, std::string_view("UTF-8"), same) ||
           std::ranges::equal(name, std::string_view("UTF8"), same);
}

}  // namespace

std::optional<std::string_view> AcceptedCharset(std::span<const std::uint8_t> list) {
    std::string_view text(reinterpret_cast<const char*>(list.data()), list.size());
    // The table's version byte follows its marker.
    if (text.starts_with(kTranslationTable)) text.remove_prefix(std::min(text.size(), kTranslationTable.size() + 1));
    if (text.empty()) return std::nullopt;
    const char separator = text.front();
    text.remove_prefix(1);
    while (true) {
        const std::size_t end = text.find(separator);
        const std::string_view name = text.substr(0, end);
        if (IsUtf8(name)) return name;
        if (end == std::string_view::npos) return std::nullopt;
        text.remove_prefix(end + 1);
    }
}

}  // namespace quill
