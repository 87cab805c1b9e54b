#include "core/telnet/telnet_decoder.h"

#include <cstring>

#include "core/telnet/telnet_codes.h"

namespace quill {

using namespace telnet;

int TelnetDecoder::Decode(const std::uint8_t* bytes, int count) {
    int i = 0;
    while (i < count) {
        if (state_ == State::kData) {
            i += DataRun(bytes + i, count - i);
        } else {
            Step(bytes[i++]);
            if (blockEnded_) break;
        }
    }
    blockEnded_ = false;
    return i;
}

// In the data state: the bytes up to the next IAC go to the terminal in one
// piece; the IAC itself starts a command unless the terminal, having taken
// those bytes, is inside an escape sequence. Returns the bytes consumed.
int TelnetDecoder::DataRun(const std::uint8_t* bytes, int count) {
    const void* iac = std::memchr(bytes, kIac, static_cast<std::size_t>(count));
    const int run =
        iac == nullptr ? count : static_cast<int>(static_cast<const std::uint8_t*>(iac) - bytes);
    if (run > 0) {
        events_.OnData(bytes, run);
        return run;
    }
    if (terminal_.EscapeSequenceOpen()) {
        events_.OnData(bytes, 1);
    } else {
        state_ = State::kCommand;
    }
    return 1;
}

void TelnetDecoder::Step(std::uint8_t b) {
    switch (state_) {
        case State::kData:  // Decode hands data on in runs
            break;
        case State::kCommand:
            CommandByte(b);
            break;
        case State::kOption:
            state_ = State::kData;
            events_.OnOptionRequest(optionCommand_, b);
            break;
        case State::kSubnegotiation:
            subOption_ = b;
            subLength_ = 0;
            state_ = State::kSubnegotiationData;
            break;
        case State::kSubnegotiationData:
            if (b == kIac) {
                state_ = State::kSubnegotiationIac;
            } else {
                AddSubnegotiationData(b);
            }
            break;
        case State::kSubnegotiationIac:
            SubnegotiationIacByte(b);
            break;
    }
}

void TelnetDecoder::CommandByte(std::uint8_t b) {
    switch (b) {
        case kDo:
        case kDont:
        case kWill:
        case kWont:
            optionCommand_ = b;
            state_ = State::kOption;
            break;
        case kSb:
            state_ = State::kSubnegotiation;
            break;
        case kIac:  // a doubled IAC is the data byte 255
            state_ = State::kData;
            events_.OnData(&b, 1);
            break;
        default:  // NOP, GA and EOR (a prompt's end) and the other two-byte commands
            state_ = State::kData;
    }
}

void TelnetDecoder::AddSubnegotiationData(std::uint8_t b) {
    if (subLength_ < kSubnegotiationKept) subData_[static_cast<std::size_t>(subLength_++)] = b;
}

void TelnetDecoder::SubnegotiationIacByte(std::uint8_t b) {
    if (b == kIac) {  // a doubled IAC is a data byte 255
        state_ = State::kSubnegotiationData;
        AddSubnegotiationData(b);
        return;
    }
    if (b == kSe) {
        state_ = State::kData;
        events_.OnSubnegotiation(subOption_,
                                 std::span(subData_.data(), static_cast<std::size_t>(subLength_)));
        return;
    }
    // Anything else after IAC abandons the subnegotiation and is a command.
    CommandByte(b);
}

}  // namespace quill
