#pragma once

#include <cstdint>

#include "core/interfaces/send_path.h"
#include "core/interfaces/terminal_services.h"
#include "core/terminal/escape_interpreter.h"
#include "core/terminal/screen_model.h"

namespace quill {

// Largest block the window reads from the socket and hands on at once.
constexpr int kReceiveChunk = 100;

// Walks every received block through one state machine: answers the Telnet
// negotiation, executes the control bytes that act outside escape sequences,
// feeds escape sequences to the interpreter and writes text into the screen.
class InboundStream {
  public:
    InboundStream(ScreenModel& screen, EscapeInterpreter& escape, SendPath& send,
                  TerminalServices& services, DisplaySink& display);

    void ProcessInbound(const std::uint8_t* bytes, int count);

    bool showCodes = false;  // also show every received byte as its decimal value

    enum State : int {
        kData = 0,
        kCommand = 1,
        kDoOption = 2,
        kSubnegotiation = 3,  // the option code after IAC SB
        kWillOption = 4,
        kRefusedOption = 5,
        kSubnegotiationData = 6,
        kSubnegotiationIac = 7,
        kEscape = 100,
    };
    State CurrentState() const { return state_; }

  private:
    void Step(std::uint8_t b);
    void DataByte(std::uint8_t b);
    void CommandByte(std::uint8_t b);
    void EscapeByte(std::uint8_t b);
    bool ControlByte(std::uint8_t b);
    void DoOption(std::uint8_t option);
    void WillOption(std::uint8_t option);
    void SubnegotiationByte(std::uint8_t b);
    void SubnegotiationIacByte(std::uint8_t b);
    void AddSubnegotiationData(std::uint8_t b);
    void ShowCode(std::uint8_t b);
    void Reply(std::uint8_t command, std::uint8_t option);

    ScreenModel& screen_;
    EscapeInterpreter& escape_;
    SendPath& send_;
    TerminalServices& services_;
    DisplaySink& display_;
    State state_ = kData;
    // The subnegotiation being read: its option and whether its data so far is
    // exactly the single byte SEND.
    std::uint8_t subOption_ = 0;
    int subLength_ = 0;
    bool subIsSend_ = false;
};

}  // namespace quill
