#include "core/telnet/option_negotiation.h"

#include "core/telnet/telnet_codes.h"
#include "core/terminal/screen_model.h"

namespace quill {

namespace {

using namespace telnet;

static_assert(kColumns < kIac && kScreenRows < kIac, "window size bytes would need doubling");

// IAC SB NAWS, width and height as 16-bit numbers, IAC SE.
constexpr std::uint8_t kWindowSizeReport[] = {kIac,
                                              kSb,
                                              kNaws,
                                              0,
                                              static_cast<std::uint8_t>(kColumns),
                                              0,
                                              static_cast<std::uint8_t>(kScreenRows),
                                              kIac,
                                              kSe};

}  // namespace

void OptionNegotiation::Request(std::uint8_t command, std::uint8_t option, bool extended) {
    switch (command) {
        case kDo:
            Do(option, extended);
            break;
        case kDont:
            Dont(option);
            break;
        case kWill:
            Will(option, extended);
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

// The options of the client's own side the extended terminal may turn on.
bool* OptionNegotiation::OursFor(std::uint8_t option) {
    if (option == kNaws) return &naws_;
    if (option == kBinary) return &binaryOut_;
    return nullptr;
}

// Refused is every option but the terminal type, and in the plain terminal
// NAWS and binary too (which turns them off should they still be on).
void OptionNegotiation::Do(std::uint8_t option, bool extended) {
    if (option == kTerminalType) {
        Reply(kWill, option);
        return;
    }
    bool* on = OursFor(option);
    if (on == nullptr || !extended) {
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

// The server's own options: encryption is refused, binary taken by the
// extended terminal; the rest are let be.
void OptionNegotiation::Will(std::uint8_t option, bool extended) {
    if (option == kEncrypt) Reply(kDont, option);
    if (option != kBinary || !extended || binaryIn_) return;
    binaryIn_ = true;
    Reply(kDo, option);
}

void OptionNegotiation::Wont(std::uint8_t option) {
    if (option != kBinary || !binaryIn_) return;
    binaryIn_ = false;
    Reply(kDont, option);
}

void OptionNegotiation::SendWindowSize() {
    send_.SendBytes(kWindowSizeReport, sizeof kWindowSizeReport);
}

}  // namespace quill
