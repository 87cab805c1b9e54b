#include "demo_session.h"

#include <algorithm>
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

// Bounds on what one client can make the host keep: of a subnegotiation,
// the option code and 63 bytes.
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
    out_ = &out;
    decoder_.Decode(bytes, static_cast<int>(length));
    out_ = nullptr;
    // A line end is reported once the chunk that carried it is done, so that
    // the LF or NUL a client sends after CR is shown with it.
    if (lineEnded_ && !finished_) EndLine(out);
    return out;
}

// After "quit" nothing the client sends is taken.
void DemoSession::OnData(const std::uint8_t* bytes, int count) {
    for (int i = 0; i < count && !finished_; ++i) DataByte(bytes[i], *out_);
}

void DemoSession::OnOptionRequest(std::uint8_t command, std::uint8_t option) {
    if (finished_) return;
    std::string& out = *out_;
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

void DemoSession::OnSubnegotiation(std::uint8_t option, std::span<const std::uint8_t> data) {
    if (finished_ || state_ != State::Negotiating || option != kTerminalType || data.empty() ||
        data[0] != kIs) {
        return;
    }
    const std::size_t kept = std::min(data.size(), kMaxSubnegotiation - 1);
    terminalType_.assign(data.begin() + 1, data.begin() + static_cast<std::ptrdiff_t>(kept));
    BeginShowcase(*out_);
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
