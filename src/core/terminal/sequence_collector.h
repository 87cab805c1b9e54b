#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/interfaces/terminal_services.h"
#include "core/terminal/control_sequence.h"
#include "core/terminal/dialect.h"
#include "core/terminal/sequence_handler.h"

namespace quill {

// What SequenceCollector::EscapeFeed tells the terminal's input: whether the next
// byte still belongs to the sequence.
enum class EscapeResult { Ended, Continues };

// EscapeFeed: collects an escape sequence one byte at a time after the ESC
// that started it (its kind, its parameters, its final byte) and hands it
// whole to the dialect's sequence handler. The collector keeps the quirks of
// what ends a sequence: ESC starts over, '?' is let pass in the first
// parameter only, and any byte that is not a digit or ';' ends a control
// sequence. In a dialect with strings, ESC ] and its kin open a string that runs to BEL or
// ST (ESC \\); an OSC's is handed on, the others' are dropped. In a dialect
// with xterm's grammar, sequences follow it instead (XtermByte).
class SequenceCollector {
  public:
    SequenceCollector(Dialect& dialect, TerminalServices& services)
        : services_(services), tracing_(services.TraceEnabled()) {
        SetDialect(dialect);
    }

    // The dialect in force decides whether strings exist, the grammar, and
    // who performs the sequences.
    void SetDialect(Dialect& dialect) {
        handler_ = &dialect.Sequences();
        strings_ = dialect.Properties().strings;
        xterm_ = dialect.Properties().grammar == SequenceGrammar::kXterm;
    }

    EscapeResult EscapeFeed(std::uint8_t b);
    // Drops the sequence being collected, as if it had never begun.
    void Abandon();
    // Inside a string every byte but its ends is the string's.
    bool InString() const { return state_ == State::kString; }

  private:
    enum class State {
        kAfterEsc,
        kFirstParameter,
        kMoreParameters,
        kDesignateG0,
        kDesignateG1,
        kDesignate96G1,
        kAfterHash,
        kString,
        // xterm's grammar: ESC [ before any parameter byte, among the
        // parameters, after an intermediate, in a sequence that is read to
        // its final byte and dropped; ESC and an intermediate.
        kXtermEntry,
        kXtermParameters,
        kXtermIntermediate,
        kXtermIgnore,
        kEscIntermediate
    };

    EscapeResult Continue(State next);
    EscapeResult End(std::uint8_t b);
    EscapeResult AfterEsc(std::uint8_t b);
    EscapeResult ParameterByte(std::uint8_t b);
    EscapeResult StringByte(std::uint8_t b);
    EscapeResult AfterIntermediate(std::uint8_t b);
    EscapeResult XtermAfterEsc(std::uint8_t b);
    EscapeResult XtermByte(std::uint8_t b);
    EscapeResult XtermControlByte(std::uint8_t b);
    EscapeResult XtermParameterByte(std::uint8_t b);
    EscapeResult XtermFinal(std::uint8_t b);
    void FinishString();
    void Restart();
    void Trace(std::string_view text);
    void TraceByte(std::uint8_t b);

    TerminalServices& services_;
    const bool tracing_;
    SequenceHandler* handler_ = nullptr;
    bool strings_ = false;
    bool xterm_ = false;
    State state_ = State::kAfterEsc;
    ControlSequence sequence_;
    // The open string: whether it is an OSC, and its text, cut off at kStringLimit.
    bool osc_ = false;
    std::string string_;
};

}  // namespace quill
