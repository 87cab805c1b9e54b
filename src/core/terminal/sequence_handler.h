#pragma once

#include <cstdint>
#include <string_view>

#include "core/terminal/control_sequence.h"
#include "core/terminal/terminal_modes.h"

namespace quill {

// What a dialect does with complete escape sequences, as the collector hands
// them over: it performs them on the screen and the terminal's modes.
class SequenceHandler {
  public:
    virtual ~SequenceHandler() = default;
    // ESC and one byte.
    virtual void Escape(std::uint8_t final) = 0;
    // ESC [ with marker, parameters, intermediate and final byte.
    virtual void Control(const ControlSequence& sequence) = 0;
    // ESC ( and ESC ) with their byte.
    virtual void Designate(CharsetSlot slot, std::uint8_t b) = 0;
    // ESC - and its byte: a set of 96 characters for G1, in xterm's grammar
    // only; dialects without such sets take nothing.
    virtual void Designate96(CharsetSlot /*slot*/, std::uint8_t /*b*/) {}
    // ESC # and its byte.
    virtual void Hash(std::uint8_t b) = 0;
    // ESC ] text BEL (or ST): a number, ';' and its text.
    virtual void OperatingSystemCommand(std::string_view text) = 0;
    // A control byte inside a sequence, in a grammar that acts on them there.
    virtual void Execute(std::uint8_t b) = 0;
};

}  // namespace quill
