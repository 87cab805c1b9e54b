#include "core/settings/settings_store.h"

#include <climits>

namespace quill {
namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Section and key names compare without regard to case, so they reach the
// backend in one case.
std::string LowerCase(std::string_view name) {
    std::string lower(name);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

}  // namespace

int ParseDecimal(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsSpace(text[at])) ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    // Accumulate towards the negative side, which holds one more value.
    long long value = 0;
    for (; at < text.size() && IsDigit(text[at]); ++at) {
        value = value * 10 - (text[at] - '0');
        if (value < static_cast<long long>(INT_MIN)) return negative ? INT_MIN : INT_MAX;
    }
    if (negative) return static_cast<int>(value);
    return value < -static_cast<long long>(INT_MAX) ? INT_MAX : static_cast<int>(-value);
}

int SettingsStore::ReadSetting(std::string_view section, std::string_view key,
                               std::string_view defaultText, std::string& out,
                               std::size_t bufferSize) {
    const std::optional<std::string> stored = backend_.ReadText(LowerCase(section), LowerCase(key));
    if (stored && stored->size() < bufferSize) {
        out = *stored;
        return 1;
    }
    out = defaultText;
    return 0;
}

int SettingsStore::ReadIntSetting(std::string_view section, std::string_view key,
                                  int defaultValue) {
    std::string text;
    ReadSetting(section, key, std::to_string(defaultValue), text, kIntSettingBufferSize);
    return ParseDecimal(text);
}

bool SettingsStore::WriteSetting(std::string_view section, std::string_view key,
                                 std::string_view text) {
    return WriteSettings(section, {SettingEntry{std::string(key), std::string(text)}});
}

bool SettingsStore::WriteSettings(std::string_view section,
                                  const std::vector<SettingEntry>& entries) {
    std::vector<SettingEntry> lowered;
    lowered.reserve(entries.size());
    for (const SettingEntry& entry : entries) lowered.push_back({LowerCase(entry.key), entry.text});
    return backend_.WriteTexts(LowerCase(section), lowered);
}

}  // namespace quill
