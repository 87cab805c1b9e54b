#include "core/settings/terminal_settings.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace quill {
namespace {

bool IsColourSeparator(char c) {
    return c == ',' || c == ' ';
}

std::string ReadText(SettingsStore& store, std::string_view key, std::string_view defaultText,
                     std::size_t bufferSize) {
    std::string text;
    store.ReadSetting(kSettingsSection, key, defaultText, text, bufferSize);
    return text;
}

Rgb ReadColour(SettingsStore& store, std::string_view key, Rgb fallback) {
    return ParseColour(ReadText(store, key, FormatColour(fallback), kColourBufferSize), fallback);
}

// A damaged or hand-edited size (INT_MIN among them, which no font can take)
// is treated as a damaged number is: 0.
int ReadFontSize(SettingsStore& store) {
    const int size = store.ReadIntSetting(kSettingsSection, kFontSizeKey, kDefaultFontSize);
    return size > kFontSizeLimit || size < -kFontSizeLimit ? 0 : size;
}

// Only a decimal number counts: a damaged text, which as a number would read
// as 0 (no history at all), reads as the default; so does one too long to fit.
int ReadScrollback(SettingsStore& store) {
    constexpr std::size_t kDigitsBufferSize = 8;
    const std::string text = ReadText(store, kScrollbackKey, "", kDigitsBufferSize);
    const bool number = !text.empty() && std::all_of(text.begin(), text.end(),
                                                     [](char c) { return c >= '0' && c <= '9'; });
    return number ? std::stoi(text) : kDefaultScrollback;
}

// "1" chooses the BBS terminal and "0" leaves the choice to `extended`; a
// damaged text reads as the plain terminal.
void ReadBbs(SettingsStore& store, UserOptions& options) {
    constexpr std::size_t kFlagBufferSize = 8;
    const std::string text = ReadText(store, kBbsKey, "0", kFlagBufferSize);
    if (text == "1") {
        options.SetDialect(DialectId::kBbs);
    } else if (text != "0") {
        options.SetDialect(DialectId::kPlain);
    }
}

bool ReadFlag(SettingsStore& store, std::string_view key) {
    return store.ReadIntSetting(kSettingsSection, key, 0) != 0;
}

}  // namespace

TerminalSettings ReadTerminalSettings(SettingsStore& store) {
    // One statement per read keeps the start-up order of reads.
    TerminalSettings s;
    s.font = ReadText(store, kFontKey, kDefaultFont, kFontBufferSize);
    s.fontsize = ReadFontSize(store);
    s.fgcolor = ReadColour(store, kFgColorKey, kBlack);
    s.bgcolor = ReadColour(store, kBgColorKey, kWhite);
    s.options.SetCRLFTranslation(ReadFlag(store, kCRLFTranslationKey));
    s.options.SetLocalEcho(ReadFlag(store, kLocalEchoKey));
    s.autoexit = ReadFlag(store, kAutoexitKey);
    s.options.SetWrap(ReadFlag(store, kWrapKey));
    s.MaximizeOnStart = ReadFlag(store, kMaximizeOnStartKey);
    s.options.SetExtended(ReadFlag(store, kExtendedKey));
    s.options.SetTerminalType(ReadText(store, kTermTypeKey, kDefaultTermType, kTermTypeLimit + 1));
    s.options.SetScrollback(ReadScrollback(store));
    ReadBbs(store, s.options);
    s.boldbright = store.ReadIntSetting(kSettingsSection, kBoldBrightKey, 1) != 0;
    return s;
}

void UserOptions::SetTerminalType(std::string_view type) {
    const bool printable =
        std::all_of(type.begin(), type.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
    const bool fits = !type.empty() && type.size() <= kTermTypeLimit;
    termType_ = printable && fits ? type : kDefaultTermType;
}

void UserOptions::SetScrollback(int rows) {
    scrollback_ = rows >= 0 && rows <= kScrollbackLimit ? rows : kDefaultScrollback;
}

Rgb ParseColour(std::string_view text, Rgb fallback) {
    std::array<std::uint8_t, 3> parts{};
    std::size_t at = 0;
    for (std::uint8_t& part : parts) {
        while (at < text.size() && IsColourSeparator(text[at])) ++at;
        if (at == text.size()) return fallback;
        const std::size_t end = text.find_first_of(", ", at);
        const std::string_view token = text.substr(at, end - at);
        part = static_cast<std::uint8_t>(ParseDecimal(token) & 0xFF);
        at = end == std::string_view::npos ? text.size() : end;
    }
    return Rgb{parts[0], parts[1], parts[2]};
}

std::string FormatColour(Rgb colour) {
    return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
           std::to_string(colour.blue);
}

}  // namespace quill
