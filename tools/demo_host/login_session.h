#pragma once

#include <memory>
#include <optional>
#include <string>

#include "client_session.h"

namespace quill::demo {

// The user and password a client must give.
struct Login {
    std::string user;
    std::string password;
};

// Reads the login from a file of two lines, the user and the password (a
// file, so that neither shows in the process list). Nothing, with a one-line
// `error`, when it cannot be read or either line is missing or empty.
std::optional<Login> LoadLoginFile(const std::string& path, std::string& error);

// Asks for a login before the session behind it starts: "login: ", with the
// name echoed, then "Password: " without echo. A wrong pair gets "Login
// incorrect" and the prompt again; after the third the connection closes.
// Telnet commands from the client are passed over.
class LoginSession final : public ClientSession {
  public:
    static constexpr int kAttempts = 3;

    LoginSession(Login login, std::unique_ptr<ClientSession> next);

    std::string Start(Clock::time_point now) override;
    std::string Feed(const std::uint8_t* bytes, std::size_t length) override;
    std::string Tick(Clock::time_point now) override;
    std::optional<Clock::time_point> NextTick() const override;
    bool Finished() const override;

  private:
    enum class Stage { kUser, kPassword, kPassed, kRefused };
    enum class Telnet { kData, kIac, kOption, kSub, kSubIac };

    bool Data(std::uint8_t byte);
    void TypedByte(std::uint8_t byte, std::string& out);
    void LineDone(std::string& out);

    Login login_;
    std::unique_ptr<ClientSession> next_;
    Stage stage_ = Stage::kUser;
    Telnet telnet_ = Telnet::kData;
    std::string line_;
    std::string user_;
    bool afterCr_ = false;
    int failures_ = 0;
};

}  // namespace quill::demo
