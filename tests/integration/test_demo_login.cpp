// The demo host's login: the prompts, the echo of the name but not of the
// password, wrong pairs and the third refusal, and the login file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "demo_session.h"
#include "login_session.h"

namespace quill::demo {
namespace {

using Bytes = std::string;

Bytes Feed(ClientSession& session, const Bytes& bytes) {
    return session.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

LoginSession DemoBehindLogin() {
    return LoginSession(Login{"demo", "s3cret"}, std::make_unique<DemoSession>());
}

TEST(LoginSession, AsksForNameAndPasswordEchoingOnlyTheNameThenStartsTheSession) {
    LoginSession session = DemoBehindLogin();
    EXPECT_EQ(session.Start(LoginSession::Clock::now()), "login: ");
    // A Telnet option from the client is passed over; Backspace edits the name.
    EXPECT_EQ(Feed(session,
                   "\xff\xfb\x1f"
                   "demx\bo"),
              "demx\b \bo");
    EXPECT_EQ(Feed(session, Bytes("\r\0", 2)), "\r\nPassword: ");
    EXPECT_EQ(Feed(session, "s3cr"), "");
    // The session behind starts at once; what follows the line end is its.
    EXPECT_EQ(Feed(session, "et\r\n\xff\xfb\x18"), "\r\n\xff\xfd\x18\xff\xfa\x18\x01\xff\xf0");
    EXPECT_FALSE(session.Finished());
}

TEST(LoginSession, AWrongPairAsksAgainAndTheThirdEndsTheConnection) {
    LoginSession session = DemoBehindLogin();
    session.Start(LoginSession::Clock::now());
    Feed(session, "demo\r");
    EXPECT_EQ(Feed(session, "S3cret\r"), "\r\nLogin incorrect\r\n\r\nlogin: ");
    Feed(session, "root\r");
    EXPECT_EQ(Feed(session, "s3cret\r"), "\r\nLogin incorrect\r\n\r\nlogin: ");
    EXPECT_FALSE(session.Finished());
    Feed(session, "demo\n");
    EXPECT_EQ(Feed(session, "wrong\n"), "\r\nLogin incorrect\r\n");
    EXPECT_TRUE(session.Finished());
    EXPECT_EQ(Feed(session, "demo\r"), "");
}

TEST(LoginSession, TheFileHoldsTheUserAndThePasswordOnTwoLines) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("login-file-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto write = [&](const char* name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
        return (folder / name).string();
    };
    std::string error;
    const std::optional<Login> login = LoadLoginFile(write("good", "demo\r\npass word\r\n"), error);
    ASSERT_TRUE(login.has_value()) << error;
    EXPECT_EQ(login->user, "demo");
    EXPECT_EQ(login->password, "pass word");
    for (const std::string& path :
         {write("one", "demo\n"), write("empty", "demo\n\n"), (folder / "missing").string()}) {
        error.clear();
        EXPECT_FALSE(LoadLoginFile(path, error).has_value()) << path;
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quill::demo
