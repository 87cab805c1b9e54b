#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/interfaces/escape_sequence_state.h"

namespace quill {

// What the Telnet decoder finds in the received bytes, in their order.
class TelnetEvents {
  public:
    virtual ~TelnetEvents() = default;
    // Bytes for the terminal: everything that is no Telnet command, and the
    // byte 255 of a doubled IAC.
    virtual void OnData(const std::uint8_t* bytes, int count) = 0;
    // DO, DONT, WILL or WONT, with its option code.
    virtual void OnOptionRequest(std::uint8_t command, std::uint8_t option) = 0;
    // IAC SB option ... IAC SE, with its data (doubled IACs made single; only
    // the first kSubnegotiationKept bytes are kept).
    virtual void OnSubnegotiation(std::uint8_t option, std::span<const std::uint8_t> data) = 0;
};

// Splits received bytes into data for the terminal, option requests and
// subnegotiations. Commands and subnegotiations split between blocks go on
// where they stopped. An IAC that arrives while the terminal is inside an
// escape sequence is the terminal's byte: it ends the sequence, and what
// follows it is data.
class TelnetDecoder {
  public:
    static constexpr int kSubnegotiationKept = 256;

    TelnetDecoder(TelnetEvents& events, const EscapeSequenceState& terminal)
        : events_(events), terminal_(terminal) {}

    // Returns the bytes taken: all of them, unless an event asked to end the
    // block (EndBlockHere), when the rest is left to the caller.
    int Decode(const std::uint8_t* bytes, int count);
    // Called from an event: the bytes after the one that made it are not
    // Telnet's (the start of compressed data); Decode returns at once.
    void EndBlockHere() { blockEnded_ = true; }

  private:
    enum class State {
        kData,
        kCommand,
        kOption,          // the option code after IAC DO, DONT, WILL or WONT
        kSubnegotiation,  // the option code after IAC SB
        kSubnegotiationData,
        kSubnegotiationIac,
    };

    int DataRun(const std::uint8_t* bytes, int count);
    void Step(std::uint8_t b);
    void CommandByte(std::uint8_t b);
    void SubnegotiationIacByte(std::uint8_t b);
    void AddSubnegotiationData(std::uint8_t b);

    TelnetEvents& events_;
    const EscapeSequenceState& terminal_;
    State state_ = State::kData;
    // DO, DONT, WILL or WONT, while its option code is awaited.
    std::uint8_t optionCommand_ = 0;
    // The subnegotiation being read.
    std::uint8_t subOption_ = 0;
    std::array<std::uint8_t, kSubnegotiationKept> subData_{};
    int subLength_ = 0;
    bool blockEnded_ = false;
};

}  // namespace quill
