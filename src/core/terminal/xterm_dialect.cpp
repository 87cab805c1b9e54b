// The extended terminal, xterm-like: every rendition parameter, UTF-8 both
// ways, strings, deferred wrap, the DEC special graphics as Unicode, xterm's
// keys, window size, binary transmission, the terminal type the user set
// and a screen that resizes.
#include "core/terminal/dialect.h"
#include "core/terminal/xterm_dispatcher.h"
#include "core/terminal/xterm_keys.h"

namespace quill {

namespace {

constexpr DialectProperties kXtermProperties{
    .utf8 = true,
    .strings = true,
    .grammar = SequenceGrammar::kXterm,
    .verticalControlsFeedLines = true,
    .initialG1 = kCharsetPlain,
    .screen = {.hostMargins = true,
               .hostAutoWrap = true,
               .deferredWrap = true,
               .vacatedCellsErased = true},
    .options = kExtendedOptionPolicy,
    .grid = GridShape::kWindow,
};

// The Unicode characters xterm shows for DEC special graphics, from 0x5F.
constexpr char32_t kSpecialGraphics[] = {
    U' ',      U'\u25C6', U'\u2592', U'\u2409', U'\u240C', U'\u240D', U'\u240A', U'\u00B0',
    U'\u00B1', U'\u2424', U'\u240B', U'\u2518', U'\u2510', U'\u250C', U'\u2514', U'\u253C',
    U'\u23BA', U'\u23BB', U'\u2500', U'\u23BC', U'\u23BD', U'\u251C', U'\u2524', U'\u2534',
    U'\u252C', U'\u2502', U'\u2264', U'\u2265', U'\u03C0', U'\u2260', U'\u00A3', U'\u00B7'};

char32_t SpecialGraphic(std::uint8_t b) {
    if (b < 0x5F || b > 0x7E) return b;
    return kSpecialGraphics[b - 0x5F];
}

char32_t UkCharacter(std::uint8_t b) {
    return b == '#' ? U'\u00A3' : char32_t{b};
}

char32_t Latin1Character(std::uint8_t b) {
    return b > 0x20 && b < 0x7F ? static_cast<char32_t>(b + 0x80) : char32_t{b};
}

class XtermDialect final : public Dialect {
  public:
    explicit XtermDialect(const DialectParts& parts)
        : Dialect(kXtermProperties),
          sequences_(parts) {}

    SequenceHandler& Sequences() override { return sequences_; }

    // Line drawing, the UK set and Latin-1 beside the plain one; the UK set
    // only while the national sets are on.
    void MapText(const TerminalModes& modes, const std::uint8_t* text, int count,
                 MappedText& out) const override {
        const int set = modes.ActiveSet();
        const bool uk = set == kCharsetUk && modes.NationalSets();
        char32_t (*const map)(std::uint8_t) = uk ? UkCharacter
                                              : set == kCharsetUk || set == kCharsetLatin1
                                                  ? Latin1Character
                                                  : SpecialGraphic;
        MapInBatches<char32_t>(
            text, count, map,
            [&out](const char32_t* mapped, int length) { out.Characters(mapped, length); });
    }

    std::optional<KeySequence> KeySequenceFor(Key key, KeyModifiers modifiers,
                                              const TerminalModes& modes) const override {
        return XtermKey(key, modifiers, modes);
    }

  private:
    XtermDispatcher sequences_;
};

}  // namespace

std::unique_ptr<Dialect> MakeXtermDialect(const DialectParts& parts) {
    return std::make_unique<XtermDialect>(parts);
}

}  // namespace quill
