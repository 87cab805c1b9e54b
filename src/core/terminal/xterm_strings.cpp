// The extended terminal's OSC strings (the title, the palette) and the
// title stack of CSI 22 t and CSI 23 t.

#include <charconv>
#include <optional>

#include "core/terminal/xterm_dispatcher.h"

namespace quill {

namespace {

// The titles kept on the stack; a push beyond drops the oldest.
constexpr std::size_t kTitleStackDepth = 10;

// The text up to the next separator (or the end), taken off the front of
// `text`.
std::string_view NextField(std::string_view& text, char separator = ';') {
    const std::size_t at = text.find(separator);
    const std::string_view field = text.substr(0, at);
    text = at == std::string_view::npos ? std::string_view() : text.substr(at + 1);
    return field;
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<std::uint8_t> PaletteIndex(std::string_view text) {
    const std::optional<int> index = Number(text);
    if (!index || *index < 0 || *index > 255) return std::nullopt;
    return static_cast<std::uint8_t>(*index);
}

// One to four hex digits, scaled to eight bits as xterm scales them.
std::optional<std::uint8_t> Component(std::string_view hex) {
    unsigned value = 0;
    if (hex.empty() || hex.size() > 4) return std::nullopt;
    const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
    if (error != std::errc() || end != hex.data() + hex.size()) return std::nullopt;
    const unsigned max = (1U << (4 * hex.size())) - 1;
    return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
}

// rgb:R/G/B (one to four hex digits each) or #RGB, #RRGGBB, #RRRGGGBBB,
// #RRRRGGGGBBBB.
std::optional<Rgb> ParseColour(std::string_view text) {
    std::string_view parts[3];
    if (text.starts_with("rgb:")) {
        std::string_view rest = text.substr(4);
        for (std::string_view& part : parts) part = NextField(rest, '/');
        if (!rest.empty()) return std::nullopt;
    } else if (text.starts_with("#") && (text.size() - 1) % 3 == 0) {
        const std::size_t width = (text.size() - 1) / 3;
        for (std::size_t i = 0; i < 3; ++i) parts[i] = text.substr(1 + i * width, width);
    } else {
        return std::nullopt;
    }
    const auto red = Component(parts[0]);
    const auto green = Component(parts[1]);
    const auto blue = Component(parts[2]);
    if (!red || !green || !blue) return std::nullopt;
    return Rgb{*red, *green, *blue};
}

}  // namespace

// OSC 0 and 2 set the title (OSC 1, the icon name, is taken), OSC 4 sets
// palette colours and OSC 104 puts them back, OSC 8 starts and ends a
// hyperlink; the others are taken.
void XtermDispatcher::OperatingSystemCommand(std::string_view text) {
    const std::optional<int> command = Number(NextField(text));
    if (!command) return;
    if (*command == 0 || *command == 2) SetTitle(text);
    if (*command == 4) SetColours(text);
    if (*command == 8) Hyperlink(text);
    if (*command == 104) ResetColours(text);
}

// PARAMS;URI, the parameters KEY=VALUE pairs between colons, of which id
// makes cells apart one link; an empty URI ends the link.
void XtermDispatcher::Hyperlink(std::string_view text) {
    std::string_view parameters = NextField(text);
    std::string_view id;
    while (!parameters.empty()) {
        const std::string_view parameter = NextField(parameters, ':');
        if (parameter.starts_with("id=")) id = parameter.substr(3);
    }
    screen_.SetLink(id, text);
}

void XtermDispatcher::SetTitle(std::string_view title) {
    services_.SetTitle(title);
}

// Pairs of index and colour; a pair that does not read is skipped.
void XtermDispatcher::SetColours(std::string_view list) {
    while (!list.empty()) {
        const std::optional<std::uint8_t> index = PaletteIndex(NextField(list));
        const std::optional<Rgb> colour = ParseColour(NextField(list));
        if (index && colour) modes_.Colours().Set(*index, *colour);
    }
}

// Without an index, every colour.
void XtermDispatcher::ResetColours(std::string_view list) {
    if (list.empty()) modes_.Colours().ResetAll();
    while (!list.empty()) {
        const std::optional<std::uint8_t> index = PaletteIndex(NextField(list));
        if (index) modes_.Colours().Reset(*index);
    }
}

// 22 pushes the title the window shows (the program's own until a host set
// one), 23 pops it, and a pop from an empty stack leaves the title as it is
// (with 0 or 2 after them, or nothing: the window title; 1 is the icon
// name's alone, which this terminal has not). Every other window operation
// is ignored.
void XtermDispatcher::TitleStack(const ControlSequence& s) {
    const int which = s.At(1);
    if (which != 0 && which != 2) return;
    if (s.At(0) == 22) {
        if (titles_.size() == kTitleStackDepth) titles_.erase(titles_.begin());
        titles_.push_back(services_.Title());
    } else if (s.At(0) == 23 && !titles_.empty()) {
        const std::string title = std::move(titles_.back());
        titles_.pop_back();
        SetTitle(title);
    }
}

}  // namespace quill
