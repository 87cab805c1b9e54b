#include "login_session.h"

#include <fstream>

#include "core/telnet/telnet_codes.h"

namespace quill::demo {
namespace {

using namespace telnet;

constexpr std::string_view kLoginPrompt = "login: ";
constexpr std::string_view kPasswordPrompt = "Password: ";
constexpr std::uint8_t kBackspace = 8;
constexpr std::uint8_t kDelete = 127;
// A name or password longer than this is cut: one client cannot make the host keep more.
constexpr std::size_t kLongestLine = 256;

void DropLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

std::optional<Login> LoadLoginFile(const std::string& path, std::string& error) {
    std::ifstream file(path);
    Login login;
    if (!file || !std::getline(file, login.user) || !std::getline(file, login.password)) {
        error = "cannot read the user and the password from " + path;
        return std::nullopt;
    }
    DropLineEnd(login.user);
    DropLineEnd(login.password);
    if (login.user.empty() || login.password.empty()) {
        error = path + " wants the user on its first line and the password on its second";
        return std::nullopt;
    }
    return login;
}

LoginSession::LoginSession(Login login, std::unique_ptr<ClientSession> next)
    : login_(std::move(login)), next_(std::move(next)) {}

std::string LoginSession::Start(Clock::time_point) {
    return std::string(kLoginPrompt);
}

std::string LoginSession::Feed(const std::uint8_t* bytes, std::size_t length) {
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        if (stage_ == Stage::kPassed) return out + next_->Feed(bytes + i, length - i);
        if (stage_ == Stage::kRefused) break;
        if (Data(bytes[i])) TypedByte(bytes[i], out);
    }
    return out;
}

// Passes Telnet commands over: true for a data byte.
bool LoginSession::Data(std::uint8_t byte) {
    switch (telnet_) {
        case Telnet::kData:
            if (byte != kIac) return true;
            telnet_ = Telnet::kIac;
            return false;
        case Telnet::kIac:
            telnet_ = byte >= kWill && byte <= kDont ? Telnet::kOption
                      : byte == kSb                  ? Telnet::kSub
                                                     : Telnet::kData;
            return byte == kIac;
        case Telnet::kOption:
            telnet_ = Telnet::kData;
            return false;
        case Telnet::kSub:
            if (byte == kIac) telnet_ = Telnet::kSubIac;
            return false;
        case Telnet::kSubIac:
            telnet_ = byte == kSe ? Telnet::kData : Telnet::kSub;
            return false;
    }
    return false;
}

// CR ends a line, and so does LF; the LF or NUL after a CR is part of it.
void LoginSession::TypedByte(std::uint8_t byte, std::string& out) {
    const bool crTail = afterCr_ && (byte == '\n' || byte == 0);
    afterCr_ = byte == '\r';
    if (crTail) return;
    if (byte == '\r' || byte == '\n') {
        LineDone(out);
    } else if (byte == kBackspace || byte == kDelete) {
        if (line_.empty()) return;
        line_.pop_back();
        if (stage_ == Stage::kUser) out += "\b \b";
    } else if (byte >= 0x20 && line_.size() < kLongestLine) {
        line_.push_back(static_cast<char>(byte));
        if (stage_ == Stage::kUser) out.push_back(static_cast<char>(byte));
    }
}

void LoginSession::LineDone(std::string& out) {
    out += "\r\n";
    if (stage_ == Stage::kUser) {
        user_ = std::move(line_);
        line_.clear();
        stage_ = Stage::kPassword;
        out += kPasswordPrompt;
        return;
    }
    const bool right = user_ == login_.user && line_ == login_.password;
    line_.assign(line_.size(), '\0');
    line_.clear();
    if (right) {
        stage_ = Stage::kPassed;
        out += next_->Start(Clock::now());
    } else if (++failures_ == kAttempts) {
        stage_ = Stage::kRefused;
        out += "Login incorrect\r\n";
    } else {
        stage_ = Stage::kUser;
        out += "Login incorrect\r\n\r\n" + std::string(kLoginPrompt);
    }
}

std::string LoginSession::Tick(Clock::time_point now) {
    return stage_ == Stage::kPassed ? next_->Tick(now) : std::string();
}

std::optional<LoginSession::Clock::time_point> LoginSession::NextTick() const {
    if (stage_ != Stage::kPassed) return std::nullopt;
    return next_->NextTick();
}

bool LoginSession::Finished() const {
    return stage_ == Stage::kRefused || (stage_ == Stage::kPassed && next_->Finished());
}

}  // namespace quill::demo
