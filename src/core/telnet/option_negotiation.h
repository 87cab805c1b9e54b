#pragma once

#include <bitset>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/interfaces/option_policy.h"
#include "core/interfaces/send_path.h"
#include "core/telnet/telnet_codes.h"

namespace quill {

// Answers the server's option requests (DO, DONT, WILL, WONT) and its
// subnegotiations (the terminal type, CHARSET). The terminal type is always
// taken and ENCRYPT refused; the rest is taken as the policy in force says
// (see OptionPolicy). The state of each option, the client's side and the
// server's, is kept for the connection, whatever the policy later becomes,
// so that an option that is on and is turned off gets one answer, a request
// for the state in force gets none, and no negotiation loops.
class OptionNegotiation {
  public:
    // The flag MTTS adds for a connection over TLS.
    static constexpr int kMttsSecure = 2048;

    // The window size NAWS reports.
    OptionNegotiation(SendPath& send, int columns, int rows)
        : send_(send), columns_(columns), rows_(rows) {}

    // `command` is DO, DONT, WILL or WONT.
    void Request(std::uint8_t command, std::uint8_t option, const OptionPolicy& policy);
    // A subnegotiation: a terminal-type SEND is answered with `terminalType`
    // (after the first, with MTTS when the policy says so), a CHARSET REQUEST
    // while CHARSET is on with ACCEPTED or REJECTED. True when it is the
    // start of the compressed stream of a server that has been told DO MCCP2:
    // every byte after it is compressed.
    bool Subnegotiation(std::uint8_t option, std::span<const std::uint8_t> data,
                        const OptionPolicy& policy, std::string_view terminalType);
    // The window has a new size: while NAWS is on, the host is told, but only
    // when the size differs from the one it has.
    void SetWindowSize(int columns, int rows);
    // The connection runs over TLS, which MTTS reports.
    void SetSecure(bool secure) { secure_ = secure; }
    // The server echoes what the client sends.
    bool HostEchoes() const { return his_[telnet::kEcho]; }
    // BINARY is on for what the client sends, and for what the server sends.
    bool BinaryOut() const { return ours_[telnet::kBinary]; }
    bool BinaryIn() const { return his_[telnet::kBinary]; }
    // The server's compressed data could not be inflated: compression is
    // refused (DONT MCCP2), once while it is on.
    void RefuseCompression();
    // The client asks for BINARY both ways (WILL and DO), each side once
    // while it is off. The host's agreement turns it on and its refusal
    // leaves it off, neither with a reply: an answer is never answered.
    void AskForBinary();

  private:
    void Do(std::uint8_t option, const OptionPolicy& policy);
    void Dont(std::uint8_t option);
    void Will(std::uint8_t option, const OptionPolicy& policy);
    void Wont(std::uint8_t option);
    void Reply(std::uint8_t command, std::uint8_t option);
    void SendTerminalType(const OptionPolicy& policy, std::string_view terminalType);
    void AnswerCharset(std::span<const std::uint8_t> list);
    void SendSubnegotiation(std::uint8_t option, std::uint8_t code, std::string_view text);
    void SendWindowSize();

    SendPath& send_;
    int columns_;
    int rows_;
    std::bitset<256> ours_;  // the client's side of each option is on
    std::bitset<256> his_;   // the server's side of each option is on
    std::bitset<256> askedOurs_;  // the client offered its side and awaits the answer
    std::bitset<256> askedHis_;   // the client asked for the server's side
    int typeRequests_ = 0;   // terminal-type requests answered with MTTS in force
    bool secure_ = false;
};

}  // namespace quill
