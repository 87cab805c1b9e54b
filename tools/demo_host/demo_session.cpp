#include "demo_session.h"

#include <cstdio>

#include "core/telnet/telnet_codes.h"
#include "showcase.h"

namespace quill::demo {
namespace {

using namespace telnet;

constexpr std::uint8_t kCr = 13;
constexpr std::uint8_t kLf = 10;
constexpr std::uint8_t kBackspace = 8;
constexpr std::uint8_t kDelete = 127;

// Bounds on what one client can make the host keep.
constexpr std::size_t kMaxSubnegotiation = 64;
constexpr std::size_t kMaxLineBytes = 1000;

std::string Command(std::uint8_t verb, std::uint8_t option) {
    return {static_cast<char>(kIac), static_cast<char>(verb), static_cast<char>(option)};
}

// Control bytes show as ^X so that the echo never moves the cursor.
std::string Visible(std::uint8_t byte) {
    if (byte >= 32 && byte != kDelete) return std::string(1, static_cast<char>(byte));
    return {'^', static_cast<char>(byte == kDelete ? '?' : byte + 64)};
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    std::string out;
    for (std::uint8_t b : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, " %02x", b);
        out += digits;
    }
    return out;
}

}  // namespace

std::string DemoSession::Start(Clock::time_point now) {
    deadline_ = now + kNegotiationTimeout;
    return Command(kDo, kTerminalType);
}

std::string DemoSession::Tick(Clock::time_point now) {
    std::string out;
    if (state_ == State::Negotiating && now >= deadline_) {
        terminalType_ = "(no answer)";
        BeginShowcase(out);
    }
    return out;
}

std::optional<DemoSession::Clock::time_point> DemoSession::NextTick() const {
    if (state_ != State::Negotiating) return std::nullopt;
    return deadline_;
}

std::string DemoSession::Feed(const std::uint8_t* bytes, std::size_t length) {
    std::string out;
    for (std::size_t i = 0; i < length && !finished_; ++i) TelnetByte(bytes[i], out);
    // A line end is reported once the chunk that carried it is done, so that
    // the LF or NUL a client sends after CR is shown with it.
    if (lineEnded_ && !finished_) EndLine(out);
    return out;
}

void DemoSession::TelnetByte(std::uint8_t byte, std::string& out) {
    switch (telnet_) {
        case Telnet::Data:
            if (byte == kIac) {
                telnet_ = Telnet::Iac;
            } else {
                DataByte(byte, out);
            }
            return;
        case Telnet::Iac:
            telnet_ = Telnet::Data;
            if (byte == kIac) {
                DataByte(byte, out);
            } else if (byte >= kWill) {
                command_ = byte;
                telnet_ = Telnet::Option;
            } else if (byte == kSb) {
                sub_.clear();
                telnet_ = Telnet::Sub;
            }
            return;
        case Telnet::Option:
            telnet_ = Telnet::Data;
            OptionCommand(command_, byte, out);
            return;
        case Telnet::Sub:
            if (byte == kIac) {
                telnet_ = Telnet::SubIac;
            } else {
                AddSubByte(byte);
            }
            return;
        case Telnet::SubIac:
            if (byte == kSe) {
                telnet_ = Telnet::Data;
                SubnegotiationDone(out);
            } else {
                AddSubByte(byte);  // IAC IAC inside: one 255
                telnet_ = Telnet::Sub;
            }
            return;
    }
}

void DemoSession::AddSubByte(std::uint8_t byte) {
    if (sub_.size() < kMaxSubnegotiation) sub_.push_back(byte);
}

void DemoSession::OptionCommand(std::uint8_t command, std::uint8_t option, std::string& out) {
    if (option == kTerminalType && state_ == State::Negotiating) {
        if (command == kWill) {
            out += Command(kSb, kTerminalType) + static_cast<char>(kSend) +
                   static_cast<char>(kIac) + static_cast<char>(kSe);
        } else if (command == kWont) {
            terminalType_ = "(refused)";
            BeginShowcase(out);
        }
        return;
    }
    // The demo host takes no other option.
    if (command == kDo) out += Command(kWont, option);
    if (command == kWill) out += Command(kDont, option);
}

void DemoSession::SubnegotiationDone(std::string& out) {
    if (state_ != State::Negotiating || sub_.size() < 2 || sub_[0] != kTerminalType ||
        sub_[1] != kIs) {
        return;
    }
    terminalType_.assign(sub_.begin() + 2, sub_.end());
    BeginShowcase(out);
}

void DemoSession::BeginShowcase(std::string& out) {
    state_ = State::Running;
    out += Showcase(terminalType_);
}

void DemoSession::DataByte(std::uint8_t byte, std::string& out) {
    if (state_ != State::Running) return;  // typed before the showcase: dropped
    const bool lineEndTail = byte == kLf || byte == 0;
    if (crReported_ && lineEndTail && lineBytes_.empty()) {
        // The rest of a CR LF that came in a chunk of its own.
        crReported_ = false;
        return;
    }
    crReported_ = false;
    if (lineEnded_ && !lineEndTail) {
        EndLine(out);
        if (finished_) return;
    }
    lineBytes_.push_back(byte);
    if (byte == kCr || (byte == kLf && !lineEnded_)) {
        lineEnded_ = true;
    } else if (lineEnded_) {
        // the LF or NUL that completes a CR
    } else if (byte == kBackspace || byte == kDelete) {
        if (!lineText_.empty()) {
            lineText_.pop_back();
            out += "\b \b";
        }
    } else {
        const std::string shown = Visible(byte);
        lineText_ += shown;
        out += shown;
    }
    // A line that never ends is reported in pieces.
    if (lineBytes_.size() >= kMaxLineBytes) lineEnded_ = true;
}

void DemoSession::EndLine(std::string& out) {
    lineEnded_ = false;
    crReported_ = lineBytes_.back() == kCr;
    std::string text = lineText_;
    while (!text.empty() && text.back() == ' ') text.pop_back();
    while (!text.empty() && text.front() == ' ') text.erase(text.begin());
    if (text == "quit") {
        out += "\r\nGoodbye.\r\n";
        finished_ = true;
        return;
    }
    out += "\r\n  you typed \"" + lineText_ + "\" (" + std::to_string(lineBytes_.size()) +
           " bytes:" + Hex(lineBytes_) + ")\r\n" + std::string(kPrompt);
    lineText_.clear();
    lineBytes_.clear();
}

}  // namespace quill::demo
