// The ANSI-BBS terminal: bytes as IBM code page 437 both ways, the sequences
// of ANSI art and BBS software, iCE colours, ANSI music taken, immediate
// wrap at column 80 of the PC's 80 x 25 screen, the terminal type "ANSI",
// window size and binary transmission.
#include "core/terminal/bbs_dispatcher.h"
#include "core/terminal/dialect.h"

namespace quill {

namespace {

// BBSes ask for the window size and for binary transmission (before a file
// transfer) and echo what the caller types; the caller asks for binary
// transmission too, so that a transfer has it from the start.
constexpr OptionPolicy kBbsOptionPolicy{.windowSizeAndBinary = true,
                                        .userTerminalType = false,
                                        .hostEcho = true,
                                        .answerOnce = true,
                                        .asksForBinary = true};

constexpr DialectProperties kBbsProperties{
    .utf8 = false,
    .strings = false,
    .grammar = SequenceGrammar::kXterm,
    .verticalControlsFeedLines = false,
    .initialG1 = kCharsetPlain,
    .screen = {.hostMargins = true,
               .hostAutoWrap = true,
               .deferredWrap = false,
               .vacatedCellsErased = true},
    .options = kBbsOptionPolicy,
    .grid = GridShape::kPc,
    .cp437 = true,
    .terminalType = "ANSI",
};

class BbsDialect final : public Dialect {
  public:
    explicit BbsDialect(const DialectParts& parts)
        : Dialect(kBbsProperties), sequences_(parts.screen, parts.modes, parts.send) {}

    SequenceHandler& Sequences() override { return sequences_; }

    // No set but the plain one is ever active: text is code page 437.
    void MapText(const TerminalModes&, const std::uint8_t* text, int count,
                 MappedText& out) const override {
        out.Bytes(text, count);
    }

    std::optional<KeySequence> KeySequenceFor(Key key, KeyModifiers,
                                              const TerminalModes&) const override {
        return BbsKey(key);
    }

  private:
    BbsDispatcher sequences_;
};

}  // namespace

std::unique_ptr<Dialect> MakeBbsDialect(const DialectParts& parts) {
    return std::make_unique<BbsDialect>(parts);
}

}  // namespace quill
