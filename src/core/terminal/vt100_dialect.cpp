// The plain terminal: the VT100 subset, bytes as Latin-1 cells, the line
// drawing set as ASCII approximations, the VT100 key tables, 80 x 24.
#include "core/terminal/dialect.h"
#include "core/terminal/vt100_dispatcher.h"

namespace quill {

namespace {

constexpr DialectProperties kVt100Properties{
    .utf8 = false,
    .strings = false,
    .grammar = SequenceGrammar::kVt100,
    .verticalControlsFeedLines = false,
    .initialG1 = kCharsetLineDrawing,
    .screen = {.hostMargins = false, .hostAutoWrap = false, .deferredWrap = false},
    .options = {.windowSizeAndBinary = false, .userTerminalType = false},
    .grid = GridShape::kVt100,
};

class Vt100Dialect final : public Dialect {
  public:
    explicit Vt100Dialect(const DialectParts& parts)
        : Dialect(kVt100Properties),
          sequences_(parts.screen, parts.modes, parts.send, parts.services) {}

    SequenceHandler& Sequences() override { return sequences_; }

    void MapText(const TerminalModes& modes, const std::uint8_t* text, int count,
                 MappedText& out) const override {
        MapInBatches<std::uint8_t>(
            text, count, [&modes](std::uint8_t b) { return modes.ScreenTranslateChar(b); },
            [&out](const std::uint8_t* mapped, int length) { out.Bytes(mapped, length); });
    }

    // The modifiers count for nothing.
    std::optional<KeySequence> KeySequenceFor(Key key, KeyModifiers,
                                              const TerminalModes& modes) const override {
        return Vt100Key(key, modes);
    }

  private:
    Vt100Dispatcher sequences_;
};

}  // namespace

std::unique_ptr<Dialect> MakeVt100Dialect(const DialectParts& parts) {
    return std::make_unique<Vt100Dialect>(parts);
}

}  // namespace quill
