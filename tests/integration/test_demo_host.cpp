// The loopback demo host: its session logic byte by byte, and the real
// program on a free port of 127.0.0.1.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "demo_session.h"

namespace quill::demo {
namespace {

using namespace std::chrono_literals;
using Bytes = std::string;

const Bytes kDoTerminalType = "\xff\xfd\x18";
const Bytes kWillTerminalType = "\xff\xfb\x18";
const Bytes kSendRequest = "\xff\xfa\x18\x01\xff\xf0";
const Bytes kIsVt100 = Bytes("\xff\xfa\x18\x00", 4) + "vt100\xff\xf0";

Bytes Feed(DemoSession& session, const Bytes& bytes) {
    return session.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// A session that has shown its showcase to a vt100 client.
DemoSession Running() {
    DemoSession session;
    session.Start(DemoSession::Clock::now());
    Feed(session, kWillTerminalType);
    Feed(session, kIsVt100);
    return session;
}

TEST(DemoSession, NegotiatesTheTerminalTypeLikeAServer) {
    DemoSession session;
    EXPECT_EQ(session.Start(DemoSession::Clock::now()), kDoTerminalType);
    EXPECT_EQ(Feed(session, kWillTerminalType), kSendRequest);
    EXPECT_TRUE(session.NextTick().has_value()) << "waits for the answer";
    const Bytes showcase = Feed(session, kIsVt100);
    EXPECT_FALSE(session.NextTick().has_value());
    EXPECT_EQ(session.TerminalType(), "vt100");
    EXPECT_NE(showcase.find("terminal type: vt100"), Bytes::npos);
}

TEST(DemoSession, ShowcaseHasEveryFeature) {
    DemoSession session;
    session.Start(DemoSession::Clock::now());
    // The reply may arrive split anywhere, even inside the subnegotiation.
    Feed(session, kWillTerminalType + "\xff\xfa");
    Bytes showcase = Feed(session, Bytes("\x18\x00vt1", 5));
    showcase += Feed(session, "00\xff\xf0");
    EXPECT_NE(showcase.find("\x1b[1m"), Bytes::npos) << "bold";
    EXPECT_NE(showcase.find("\x1b[7m"), Bytes::npos) << "reverse";
    EXPECT_NE(showcase.find("\x1b(0"), Bytes::npos) << "line drawing";
    EXPECT_NE(showcase.find("\x1b(B"), Bytes::npos) << "back to ASCII";
    EXPECT_NE(showcase.find("\x1b[11;15r"), Bytes::npos) << "scrolling region";
    EXPECT_NE(showcase.find("\x1b[1;24r"), Bytes::npos) << "region reset";
    // At least a screen's worth of lines goes to the scroll-back.
    EXPECT_NE(showcase.find("scroll-back line 24 of 24"), Bytes::npos);
    EXPECT_EQ(showcase.substr(showcase.size() - 6), "demo> ");
}

TEST(DemoSession, MovesOnWhenTheClientRefusesOrIsSilent) {
    DemoSession refused;
    refused.Start(DemoSession::Clock::now());
    EXPECT_NE(Feed(refused, "\xff\xfc\x18").find("demo> "), Bytes::npos);
    EXPECT_EQ(refused.TerminalType(), "(refused)");

    DemoSession silent;
    const auto start = DemoSession::Clock::now();
    silent.Start(start);
    EXPECT_EQ(silent.Tick(start + DemoSession::kNegotiationTimeout - 1ms), "");
    EXPECT_NE(silent.Tick(start + DemoSession::kNegotiationTimeout).find("demo> "), Bytes::npos);
    EXPECT_EQ(silent.Tick(start + 10 * DemoSession::kNegotiationTimeout), "") << "only once";
}

TEST(DemoSession, RefusesOtherOptions) {
    DemoSession session = Running();
    EXPECT_EQ(Feed(session, "\xff\xfd\x01"), "\xff\xfc\x01");  // DO ECHO -> WONT ECHO
    EXPECT_EQ(Feed(session, "\xff\xfb\x03"), "\xff\xfe\x03");  // WILL SGA -> DONT SGA
}

TEST(DemoSession, EchoesEachLineWithTheBytesThatMadeIt) {
    DemoSession session = Running();
    EXPECT_EQ(Feed(session, "h"), "h");
    EXPECT_EQ(Feed(session, "i\r\n"), "i\r\n  you typed \"hi\" (4 bytes: 68 69 0d 0a)\r\ndemo> ");
    // Control bytes and escape sequences are shown, not obeyed.
    EXPECT_EQ(Feed(session, "\x1b[A\x03\r"),
              "^[[A^C\r\n  you typed \"^[[A^C\" (5 bytes: 1b 5b 41 03 0d)\r\ndemo> ");
    // IAC IAC is one data byte 255.
    EXPECT_NE(Feed(session, "\xff\xff\r").find("(2 bytes: ff 0d)"), Bytes::npos);
}

TEST(DemoSession, BackspaceEditsTheLineButTheBytesAreAllReported) {
    DemoSession session = Running();
    EXPECT_EQ(Feed(session, "ab\x08"), "ab\b \b");
    EXPECT_EQ(Feed(session, "\x7f\x7f"), "\b \b");  // nothing left to erase the second time
    EXPECT_NE(Feed(session, "c\r").find("\"c\" (7 bytes: 61 62 08 7f 7f 63 0d)"), Bytes::npos);
}

TEST(DemoSession, LineEndSplitOverTwoChunks) {
    DemoSession session = Running();
    EXPECT_NE(Feed(session, "x\r").find("(2 bytes: 78 0d)"), Bytes::npos);
    EXPECT_EQ(Feed(session, "\n"), "") << "the LF of the CR LF is not a line of its own";
    EXPECT_NE(Feed(session, Bytes("y\r\0", 3)).find("(3 bytes: 79 0d 00)"), Bytes::npos);
    EXPECT_NE(Feed(session, "\n").find("(1 bytes: 0a)"), Bytes::npos) << "a bare LF ends a line";
}

TEST(DemoSession, WhatAClientCanMakeItKeepIsBounded) {
    DemoSession session = Running();
    const Bytes flood(2500, 'a');
    const Bytes out = Feed(session, flood);
    // Reported in lines of 1000 bytes, the rest kept for the next line.
    std::size_t reports = 0;
    for (std::size_t at = out.find("(1000 bytes:"); at != Bytes::npos;
         at = out.find("(1000 bytes:", at + 1)) {
        ++reports;
    }
    EXPECT_EQ(reports, 2u);
    EXPECT_NE(Feed(session, "\r").find("(501 bytes:"), Bytes::npos);

    // A huge subnegotiation is cut short and the session goes on.
    Feed(session, "\xff\xfa\x18" + Bytes(100000, 'x') + "\xff\xf0");
    EXPECT_NE(Feed(session, "ok\r").find("you typed \"ok\""), Bytes::npos);
}

TEST(DemoSession, QuitEndsTheSession) {
    DemoSession session = Running();
    EXPECT_FALSE(session.Finished());
    Feed(session, "qui");
    EXPECT_EQ(Feed(session, "t\r\nignored"), "t\r\nGoodbye.\r\n");
    EXPECT_TRUE(session.Finished());
    EXPECT_EQ(Feed(session, "more\r"), "");
}

TEST(DemoSession, TypingBeforeTheShowcaseIsDropped) {
    DemoSession session;
    session.Start(DemoSession::Clock::now());
    EXPECT_EQ(Feed(session, "early\r"), "");
    EXPECT_EQ(Feed(session, kWillTerminalType), kSendRequest);
}

// ---- the program itself -------------------------------------------------

constexpr auto kWait = 5s;

// The demo host started on port 0; stopped by its pid whatever the outcome.
class DemoHostProcess {
  public:
    explicit DemoHostProcess(const std::vector<std::string>& args) {
        int out[2];
        if (pipe(out) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            std::vector<char*> argv{const_cast<char*>(QUILL_DEMO_HOST)};
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(QUILL_DEMO_HOST, argv.data());
            _exit(127);
        }
        close(out[1]);
        output_ = out[0];
    }
    ~DemoHostProcess() {
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (output_ >= 0) close(output_);
    }

    // The next line it prints, read within the time limit.
    std::string NextLine() {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        char c = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{output_, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            if (read(output_, &c, 1) != 1 || c == '\n') break;
            line += c;
        }
        return line;
    }

    // The exit status, waiting at most `wait`; -1 when it has not ended.
    int ExitStatus(std::chrono::milliseconds wait = kWait) {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        int status = 0;
        while (std::chrono::steady_clock::now() < deadline) {
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                reaped_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            usleep(10000);
        }
        return -1;
    }

  private:
    pid_t pid_ = -1;
    int output_ = -1;
    bool reaped_ = false;
};

// A client of the demo host on a numeric loopback address.
class Client {
  public:
    explicit Client(int port, const char* host = "127.0.0.1") {
        addrinfo hints{};
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
        addrinfo* found = nullptr;
        if (getaddrinfo(host, std::to_string(port).c_str(), &hints, &found) != 0) return;
        fd_ = socket(found->ai_family, SOCK_STREAM, 0);
        connected_ = fd_ >= 0 && connect(fd_, found->ai_addr, found->ai_addrlen) == 0;
        freeaddrinfo(found);
    }
    ~Client() {
        if (fd_ >= 0) close(fd_);
    }
    bool Connected() const { return connected_; }
    void Send(const Bytes& bytes) {
        ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), 0), static_cast<ssize_t>(bytes.size()));
    }

    // Reads until `wanted` has arrived (true) or the time is up or the
    // connection closed (false); `closed` tells the last.
    bool ReadUntil(const Bytes& wanted) {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        while (received_.find(wanted) == Bytes::npos) {
            if (std::chrono::steady_clock::now() >= deadline || !ReadSome()) return false;
        }
        return true;
    }
    bool ClosedByPeer() {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        while (std::chrono::steady_clock::now() < deadline) {
            if (!ReadSome()) return closed_;
        }
        return false;
    }
    const Bytes& Received() const { return received_; }

  private:
    bool ReadSome() {
        pollfd p{fd_, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) return true;
        char buffer[4096];
        const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0) {
            closed_ = true;
            return false;
        }
        received_.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
    Bytes received_;
};

int PortFrom(const std::string& line) {
    const std::size_t blank = line.rfind(' ');
    return blank == std::string::npos ? 0 : std::atoi(line.c_str() + blank + 1);
}

TEST(DemoHostProgram, ServesTwoClientsOnAFreeLoopbackPort) {
    DemoHostProcess host({"0"});
    const std::string line = host.NextLine();
    ASSERT_EQ(line.rfind("quillterm-demo-host listening on 127.0.0.1 port ", 0), 0u) << line;
    const int port = PortFrom(line);
    ASSERT_GT(port, 0);

    Client first(port);
    Client second(port);
    ASSERT_TRUE(first.Connected());
    ASSERT_TRUE(second.Connected());
    ASSERT_TRUE(first.ReadUntil(kDoTerminalType));
    first.Send(kWillTerminalType);
    ASSERT_TRUE(first.ReadUntil(kSendRequest));
    first.Send(kIsVt100);
    ASSERT_TRUE(first.ReadUntil("demo> "));
    EXPECT_NE(first.Received().find("terminal type: vt100"), Bytes::npos);

    // The second client is served while the first one is still connected.
    ASSERT_TRUE(second.ReadUntil(kDoTerminalType));
    second.Send("\xff\xfc\x18");
    ASSERT_TRUE(second.ReadUntil("terminal type: (refused)"));

    first.Send("hello\r\n");
    EXPECT_TRUE(first.ReadUntil("you typed \"hello\" (7 bytes: 68 65 6c 6c 6f 0d 0a)"));
    first.Send("quit\r");
    EXPECT_TRUE(first.ReadUntil("Goodbye.\r\n"));
    EXPECT_TRUE(first.ClosedByPeer());
    EXPECT_EQ(host.ExitStatus(300ms), -1) << "the host keeps serving after a client quits";
}

// Whether this machine can listen on ::1 at all.
bool HasIpv6Loopback() {
    const int fd = socket(AF_INET6, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    const bool bound = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return bound;
}

TEST(DemoHostProgram, AlsoServesIpv6LoopbackOnTheSamePort) {
    if (!HasIpv6Loopback()) GTEST_SKIP() << "no IPv6 loopback on this machine";
    DemoHostProcess host({"0"});
    const int port = PortFrom(host.NextLine());
    ASSERT_GT(port, 0);
    EXPECT_EQ(host.NextLine(),
              "quillterm-demo-host also listening on ::1 port " + std::to_string(port));
    Client client(port, "::1");
    ASSERT_TRUE(client.Connected());
    EXPECT_TRUE(client.ReadUntil(kDoTerminalType));
}

TEST(DemoHostProgram, RefusesABadPort) {
    for (const char* bad : {"65536", "-1", "23x", ""}) {
        DemoHostProcess host({bad});
        EXPECT_EQ(host.ExitStatus(), 2) << bad;
    }
    DemoHostProcess twoArguments({"0", "1"});
    EXPECT_EQ(twoArguments.ExitStatus(), 2);
}

}  // namespace
}  // namespace quill::demo
