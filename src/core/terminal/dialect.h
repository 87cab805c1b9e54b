#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "core/interfaces/dialect_id.h"
#include "core/interfaces/key.h"
#include "core/interfaces/option_policy.h"
#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_services.h"
#include "core/terminal/column_switch.h"
#include "core/terminal/key_tables.h"
#include "core/terminal/screen_model.h"
#include "core/terminal/sequence_handler.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// How escape sequences are collected: the plain terminal's quirks (any byte
// that is not a digit or ';' ends a control sequence, '?' passes in the
// first parameter only), or xterm's grammar (private markers,
// intermediates, colon sub-parameters, control bytes acted on inside).
enum class SequenceGrammar { kVt100, kXterm };

// The shape of a dialect's grid (DialectProperties::grid).
enum class GridShape { kVt100, kWindow, kPc };

// The choices of a dialect that the terminal's parts read, each by name.
struct DialectProperties {
    // Bytes from 0x80 are UTF-8 text, and characters beyond ASCII go out as
    // UTF-8; or such bytes are ignored and such characters dropped.
    bool utf8 = false;
    // ESC ] (OSC), ESC P, ESC X, ESC ^ and ESC _ open a string that runs to
    // BEL or ST and is taken whole; or those bytes end the sequence at once.
    bool strings = false;
    SequenceGrammar grammar = SequenceGrammar::kVt100;
    // VT and FF are line feeds; or they are ignored.
    bool verticalControlsFeedLines = false;
    // What G1 holds at the switch to the dialect (G0 is the plain set).
    int initialG1 = kCharsetLineDrawing;
    ScreenRules screen;
    OptionPolicy options;
    // The grid: it stays 80 x 24 with 275 history rows; it follows the
    // window, with the history rows the user set; or it stays 80 x 25, the
    // PC's screen, with the history rows the user set.
    GridShape grid = GridShape::kVt100;
    // Bytes are IBM code page 437, both ways: every byte is a character but
    // the controls the PC acts on (see TerminalInput), and FF clears the
    // screen; characters beyond ASCII go out as their code page byte.
    bool cp437 = false;
    // The terminal type reported unless the policy takes the user's.
    std::string_view terminalType = "vt100";
};

// Where a dialect writes text it has taken through a character set: bytes
// as they are, or whole characters.
class MappedText {
  public:
    virtual ~MappedText() = default;
    virtual void Bytes(const std::uint8_t* text, int count) = 0;
    virtual void Characters(const char32_t* text, int count) = 0;
};

// Maps a run of text bytes one at a time (`map`: byte to T) and hands the
// results on in batches (`out`: T pointer and count), for MapText.
template <class T, class Map, class Out>
void MapInBatches(const std::uint8_t* text, int count, Map map, Out out) {
    constexpr int kBatch = 128;
    T mapped[kBatch];
    for (int at = 0; at < count; at += kBatch) {
        const int length = count - at < kBatch ? count - at : kBatch;
        for (int i = 0; i < length; ++i) mapped[i] = map(text[at + i]);
        out(mapped, length);
    }
}

// One terminal type, as the user switches between them: the plain terminal
// (the VT100 subset), the extended one (xterm-like) or the ANSI-BBS one. The terminal holds
// one of each registered dialect and uses the one the options choose.
class Dialect {
  public:
    explicit Dialect(const DialectProperties& properties) : properties_(properties) {}
    virtual ~Dialect() = default;
    Dialect(const Dialect&) = delete;
    Dialect& operator=(const Dialect&) = delete;

    const DialectProperties& Properties() const { return properties_; }
    // What performs the escape sequences.
    virtual SequenceHandler& Sequences() = 0;
    // A run of text bytes through the active set while it is not the plain
    // one (line drawing), onto `out`.
    virtual void MapText(const TerminalModes& modes, const std::uint8_t* text, int count,
                         MappedText& out) const = 0;
    // The sequence a key sends, if it has one of its own.
    virtual std::optional<KeySequence> KeySequenceFor(Key key, KeyModifiers modifiers,
                                                      const TerminalModes& modes) const = 0;

  private:
    const DialectProperties properties_;
};

// What a dialect acts on.
struct DialectParts {
    ScreenModel& screen;
    TerminalModes& modes;
    SendPath& send;
    TerminalServices& services;
    ColumnSwitch& columns;
};


std::unique_ptr<Dialect> MakeVt100Dialect(const DialectParts& parts);
std::unique_ptr<Dialect> MakeXtermDialect(const DialectParts& parts);
std::unique_ptr<Dialect> MakeBbsDialect(const DialectParts& parts);

// One of every registered dialect, for one terminal's parts.
class Dialects {
  public:
    explicit Dialects(const DialectParts& parts);
    Dialect& operator[](DialectId id) { return *dialects_[static_cast<std::size_t>(id)]; }
    const Dialect& operator[](DialectId id) const {
        return *dialects_[static_cast<std::size_t>(id)];
    }

  private:
    std::array<std::unique_ptr<Dialect>, kDialectCount> dialects_;
};

}  // namespace quill
