#pragma once

#include <string>
#include <vector>

#include "client_session.h"
#include "core/telnet/telnet_decoder.h"

namespace quill::demo {

// One client of the demo host, without the socket: bytes from the client go
// in, the bytes to send back come out. It asks for the terminal type the way
// a real server does (DO TERMINAL-TYPE, then SB SEND), shows the showcase,
// then echoes each line the user types together with the bytes that made it,
// until the line "quit".
class DemoSession final : public ClientSession, private TelnetEvents, private EscapeSequenceState {
  public:
    // How long to wait for the client's answer before showing the showcase anyway.
    static constexpr std::chrono::milliseconds kNegotiationTimeout{3000};

    DemoSession() = default;
    DemoSession(const DemoSession&) = delete;  // the decoder reports to this one
    DemoSession& operator=(const DemoSession&) = delete;

    // The opening request; call once when the client has connected.
    std::string Start(Clock::time_point now) override;
    // Handles a chunk of bytes from the client.
    std::string Feed(const std::uint8_t* bytes, std::size_t length) override;
    // Moves on when the client never answers the terminal-type request.
    std::string Tick(Clock::time_point now) override;
    // The negotiation deadline while the host waits for the client's answer.
    std::optional<Clock::time_point> NextTick() const override;

    // The client typed "quit": send what is pending, then close.
    bool Finished() const override { return finished_; }
    const std::string& TerminalType() const { return terminalType_; }

  private:
    enum class State { Negotiating, Running };

    // What the client sends, through the terminal's own Telnet decoder; the
    // host is no terminal, so an IAC never belongs to an escape sequence.
    void OnData(const std::uint8_t* bytes, int count) override;
    void OnOptionRequest(std::uint8_t command, std::uint8_t option) override;
    void OnSubnegotiation(std::uint8_t option, std::span<const std::uint8_t> data) override;
    bool EscapeSequenceOpen() const override { return false; }
    void DataByte(std::uint8_t byte, std::string& out);
    void EndLine(std::string& out);
    void BeginShowcase(std::string& out);

    State state_ = State::Negotiating;
    TelnetDecoder decoder_{*this, *this};
    std::string* out_ = nullptr;  // where the replies go while a chunk is decoded
    Clock::time_point deadline_{};
    std::string terminalType_;

    std::string lineText_;                 // what the echo shows
    std::vector<std::uint8_t> lineBytes_;  // what arrived for it
    bool lineEnded_ = false;               // a CR came; LF or NUL may follow
    bool crReported_ = false;              // the last line was reported at its CR
    bool finished_ = false;
};

}  // namespace quill::demo
