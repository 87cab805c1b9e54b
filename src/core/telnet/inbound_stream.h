#pragma once

#include <cstdint>

#include "core/interfaces/printed_text_sink.h"
#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_options.h"
#include "core/interfaces/terminal_services.h"
#include "core/telnet/option_negotiation.h"
#include "core/terminal/escape_interpreter.h"
#include "core/terminal/screen_model.h"
#include "core/terminal/utf8_codec.h"

namespace quill {

// Largest block the window reads from the socket and hands on at once.
constexpr int kReceiveChunk = 100;

// Walks every received block through one state machine: answers the Telnet
// negotiation, executes the control bytes that act outside escape sequences,
// feeds escape sequences to the interpreter and writes text into the screen.
class InboundStream {
  public:
    InboundStream(ScreenModel& screen, EscapeInterpreter& escape, SendPath& send,
                  TerminalServices& services, DisplaySink& display, const TerminalOptions& options);

    void ProcessInbound(const std::uint8_t* bytes, int count);

    enum class State {
        kData,
        kCommand,
        kOption,          // the option code after IAC DO, DONT, WILL or WONT
        kSubnegotiation,  // the option code after IAC SB
        kSubnegotiationData,
        kSubnegotiationIac,
        kEscape,        // inside an escape sequence: every byte goes to the interpreter
        kUtf8Sequence,  // inside a UTF-8 sequence of the extended terminal
    };
    State CurrentState() const { return state_; }

    // Who is told of the text the host prints; none (null) by default.
    void SetPrintedTextSink(PrintedTextSink* sink) { printed_ = sink; }

  private:
    void Step(std::uint8_t b);
    void DataByte(std::uint8_t b);
    void CommandByte(std::uint8_t b);
    void EscapeByte(std::uint8_t b);
    bool ControlByte(std::uint8_t b);
    void Utf8Byte(std::uint8_t b);
    void Utf8SequenceByte(std::uint8_t b);
    void WriteCells(std::uint8_t b, int count);
    void WriteMalformed(int count);
    void ResumeText();
    void SubnegotiationByte(std::uint8_t b);
    void SubnegotiationIacByte(std::uint8_t b);
    void AddSubnegotiationData(std::uint8_t b);
    void ShowCode(std::uint8_t b);
    void Printed(char32_t c) {
        if (printed_ != nullptr) printed_->OnPrintedText(&c, 1);
    }

    ScreenModel& screen_;
    EscapeInterpreter& escape_;
    SendPath& send_;
    TerminalServices& services_;
    DisplaySink& display_;
    const TerminalOptions& options_;
    PrintedTextSink* printed_ = nullptr;
    OptionNegotiation negotiation_;
    // The options for the block being processed: options change between
    // blocks, never inside one. Show codes shows the bytes from 0x80 as they
    // came, so the extended terminal decodes them only without it.
    bool showCodes_ = false;
    bool extended_ = false;
    bool decodeUtf8_ = false;
    State state_ = State::kData;
    Utf8Decoder utf8_;
    // DO, DONT, WILL or WONT, while its option code is awaited.
    std::uint8_t optionCommand_ = 0;
    // The subnegotiation being read: its option and whether its data so far is
    // exactly the single byte SEND.
    std::uint8_t subOption_ = 0;
    int subLength_ = 0;
    bool subIsSend_ = false;
};

}  // namespace quill
