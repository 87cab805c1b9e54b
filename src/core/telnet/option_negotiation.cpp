#include "core/telnet/option_negotiation.h"

#include <vector>

#include "core/telnet/telnet_codes.h"

namespace quill {

namespace {

using namespace telnet;

// A 16-bit number of a subnegotiation, its bytes doubled where they are IAC.
void AppendNumber(std::vector<std::uint8_t>& out, int value) {
    for (const auto b : {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)}) {
        out.push_back(b);
        if (b == kIac) out.push_back(b);
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

// The options of the client's own side the policy may turn on.
bool* OptionNegotiation::OursFor(std::uint8_t option) {
    if (option == kNaws) return &naws_;
    if (option == kBinary) return &binaryOut_;
    return nullptr;
}

// IAC SB TERMINAL-TYPE IS type IAC SE; IS is the byte 0 and goes out as data,
// and the type is printable ASCII, so no byte of it is doubled.
void OptionNegotiation::Subnegotiation(std::uint8_t option, std::span<const std::uint8_t> data,
                                       std::string_view terminalType) {
    if (option != kTerminalType || data.size() != 1 || data[0] != kSend) return;
    std::vector<std::uint8_t> reply = {kIac, kSb, kTerminalType, kIs};
    reply.insert(reply.end(), terminalType.begin(), terminalType.end());
    reply.insert(reply.end(), {kIac, kSe});
    send_.SendBytes(reply.data(), reply.size());
}

// Refused is every option but the terminal type, and without the policy's
// leave NAWS and binary too (which turns them off should they still be on).
void OptionNegotiation::Do(std::uint8_t option, const OptionPolicy& policy) {
    if (option == kTerminalType) {
        Reply(kWill, option);
        return;
    }
    bool* on = OursFor(option);
    if (on == nullptr || !policy.windowSizeAndBinary) {
        if (on != nullptr) *on = false;
        Reply(kWont, option);
        return;
    }
    if (*on) return;
    *on = true;
    Reply(kWill, option);
    if (option == kNaws) SendWindowSize();
}

void OptionNegotiation::Dont(std::uint8_t option) {
    bool* on = OursFor(option);
    if (on == nullptr || !*on) return;
    *on = false;
    Reply(kWont, option);
}

// The server's own options: encryption is refused, binary taken when the
// policy allows; the rest are let be.
void OptionNegotiation::Will(std::uint8_t option, const OptionPolicy& policy) {
    if (option == kEncrypt) Reply(kDont, option);
    if (option != kBinary || !policy.windowSizeAndBinary || binaryIn_) return;
    binaryIn_ = true;
    Reply(kDo, option);
}

void OptionNegotiation::Wont(std::uint8_t option) {
    if (option != kBinary || !binaryIn_) return;
    binaryIn_ = false;
    Reply(kDont, option);
}

void OptionNegotiation::SetWindowSize(int columns, int rows) {
    if (columns == columns_ && rows == rows_) return;
    columns_ = columns;
    rows_ = rows;
    if (naws_) SendWindowSize();
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
