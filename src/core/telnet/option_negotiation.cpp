#include "core/telnet/option_negotiation.h"

#include <string>
#include <vector>

#include "core/telnet/charset_request.h"
#include "core/telnet/iac_doubling.h"
#include "core/telnet/telnet_codes.h"

namespace quill {

namespace {

using namespace telnet;

// The terminal's abilities as MTTS counts them: ANSI colours, VT100, UTF-8,
// 256 colours, mouse tracking, the OSC colour palette and true colour.
constexpr int kMttsAbilities = 1 + 2 + 4 + 8 + 16 + 32 + 256;

// A 16-bit number of a subnegotiation, its bytes doubled where they are IAC.
void AppendNumber(std::vector<std::uint8_t>& out, int value) {
    const std::uint8_t number[] = {static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value)};
    AppendIacDoubled(number, out);
}

// The client's own options the policy lets the server turn on (besides the
// terminal type, which is always taken).
bool TakesOurs(std::uint8_t option, const OptionPolicy& policy) {
    switch (option) {
        case kTerminalType:
            return true;
        case kNaws:
        case kBinary:
            return policy.windowSizeAndBinary;
        case kSuppressGoAhead:
            return policy.hostEcho;
        case kCharset:
            return policy.charset;
        default:
            return false;
    }
}

// The server's options the policy lets it turn on.
bool TakesHis(std::uint8_t option, const OptionPolicy& policy) {
    switch (option) {
        case kBinary:
            return policy.windowSizeAndBinary;
        case kEcho:
        case kSuppressGoAhead:
            return policy.hostEcho;
        case kCompress2:
            return policy.compression;
        case kCharset:
            return policy.charset;
        case kEndOfRecord:
            return policy.endOfRecord;
        default:
            return false;
    }
}

}  // namespace

void OptionNegotiation::Request(std::uint8_t command, std::uint8_t option,
                                const OptionPolicy& policy) {
    switch (command) {
        case kDo:
            Do(option, policy);
            break;
        case kDont:
            Dont(option);
            break;
        case kWill:
            Will(option, policy);
            break;
        case kWont:
            Wont(option);
            break;
    }
}

void OptionNegotiation::Reply(std::uint8_t command, std::uint8_t option) {
    const std::uint8_t reply[] = {kIac, command, option};
    send_.SendBytes(reply, sizeof reply);
}

bool OptionNegotiation::Subnegotiation(std::uint8_t option, std::span<const std::uint8_t> data,
                                       const OptionPolicy& policy,
                                       std::string_view terminalType) {
    if (option == kTerminalType && data.size() == 1 && data[0] == kSend) {
        SendTerminalType(policy, terminalType);
    } else if (option == kCharset && !data.empty() && data[0] == kCharsetRequest &&
               (ours_[kCharset] || his_[kCharset])) {
        AnswerCharset(data.subspan(1));
    }
    return option == kCompress2 && data.empty() && his_[kCompress2];
}

// The first request gets the terminal type; with MTTS, every later one gets
// the abilities, the repeat telling the host the list has ended.
void OptionNegotiation::SendTerminalType(const OptionPolicy& policy,
                                         std::string_view terminalType) {
    if (!policy.mtts || typeRequests_++ == 0) {
        SendSubnegotiation(kTerminalType, kIs, terminalType);
        return;
    }
    const int abilities = kMttsAbilities + (secure_ ? kMttsSecure : 0);
    SendSubnegotiation(kTerminalType, kIs, "MTTS " + std::to_string(abilities));
}

void OptionNegotiation::AnswerCharset(std::span<const std::uint8_t> list) {
    const std::optional<std::string_view> accepted = AcceptedCharset(list);
    if (accepted) {
        SendSubnegotiation(kCharset, kCharsetAccepted, *accepted);
    } else {
        SendSubnegotiation(kCharset, kCharsetRejected, {});
    }
}

// IAC SB option code text IAC SE. The code goes out as data, and the text
// is printable ASCII (a terminal type, a character set name), so no byte of
// it is doubled.
void OptionNegotiation::SendSubnegotiation(std::uint8_t option, std::uint8_t code,
                                           std::string_view text) {
    std::vector<std::uint8_t> reply = {kIac, kSb, option, code};
    reply.insert(reply.end(), text.begin(), text.end());
    reply.insert(reply.end(), {kIac, kSe});
    send_.SendBytes(reply.data(), reply.size());
}

// What the policy does not take is refused, which turns it off should it
// still be on. Without the rules against loops, the terminal type is taken
// at every request.
void OptionNegotiation::Do(std::uint8_t option, const OptionPolicy& policy) {
    if (option == kTerminalType && !policy.answerOnce) {
        Reply(kWill, option);
        return;
    }
    const bool answer = askedOurs_[option];
    askedOurs_[option] = false;
    if (!TakesOurs(option, policy)) {
        ours_[option] = false;
        Reply(kWont, option);
        return;
    }
    if (ours_[option]) return;
    if (answer) {
        ours_[option] = true;
        return;
    }
    ours_[option] = true;
    Reply(kWill, option);
    if (option == kNaws) SendWindowSize();
}

void OptionNegotiation::Dont(std::uint8_t option) {
    askedOurs_[option] = false;
    if (!ours_[option]) return;
    ours_[option] = false;
    Reply(kWont, option);
}

// Encryption is always refused; without the rules against loops, the other
// options the policy does not take are let be.
void OptionNegotiation::Will(std::uint8_t option, const OptionPolicy& policy) {
    const bool answer = askedHis_[option];
    askedHis_[option] = false;
    if (TakesHis(option, policy)) {
        if (his_[option]) return;
        his_[option] = true;
        if (!answer) Reply(kDo, option);
        return;
    }
    if (!policy.answerOnce && option != kEncrypt) return;
    his_[option] = false;
    Reply(kDont, option);
}

void OptionNegotiation::Wont(std::uint8_t option) {
    askedHis_[option] = false;
    if (!his_[option]) return;
    his_[option] = false;
    Reply(kDont, option);
}

void OptionNegotiation::RefuseCompression() {
    Wont(kCompress2);
}

void OptionNegotiation::AskForBinary() {
    if (!ours_[kBinary] && !askedOurs_[kBinary]) {
        askedOurs_[kBinary] = true;
        Reply(kWill, kBinary);
    }
    if (!his_[kBinary] && !askedHis_[kBinary]) {
        askedHis_[kBinary] = true;
        Reply(kDo, kBinary);
    }
}

void OptionNegotiation::SetWindowSize(int columns, int rows) {
    if (columns == columns_ && rows == rows_) return;
    columns_ = columns;
    rows_ = rows;
    if (ours_[kNaws]) SendWindowSize();
}

// IAC SB NAWS, width and height as 16-bit numbers, IAC SE.
void OptionNegotiation::SendWindowSize() {
    std::vector<std::uint8_t> report = {kIac, kSb, kNaws};
    AppendNumber(report, columns_);
    AppendNumber(report, rows_);
    report.insert(report.end(), {kIac, kSe});
    send_.SendBytes(report.data(), report.size());
}

}  // namespace quill
