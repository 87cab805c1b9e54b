// The loopback demo host: its session logic byte by byte, and the real
// program on a free port of 127.0.0.1.
#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "demo_session.h"
#include "playback_session.h"

namespace quill::demo {
namespace {

using namespace std::chrono_literals;
using Bytes = std::string;

const Bytes kDoTerminalType = "\xff\xfd\x18";
const Bytes kWillTerminalType = "\xff\xfb\x18";
const Bytes kSendRequest = "\xff\xfa\x18\x01\xff\xf0";
const Bytes kIsVt100 = Bytes("\xff\xfa\x18\x00", 4) + "vt100\xff\xf0";

Bytes Feed(ClientSession& session, const Bytes& bytes) {
    return session.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

// A session that has shown its showcase to a vt100 client.
void ShowShowcase(DemoSession& session) {
    session.Start(DemoSession::Clock::now());
    Feed(session, kWillTerminalType);
    Feed(session, kIsVt100);
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
    DemoSession session;
    ShowShowcase(session);
    EXPECT_EQ(Feed(session, "\xff\xfd\x01"), "\xff\xfc\x01");  // DO ECHO -> WONT ECHO
    EXPECT_EQ(Feed(session, "\xff\xfb\x03"), "\xff\xfe\x03");  // WILL SGA -> DONT SGA
    // Split between chunks, amid text, and a subnegotiation passed over.
    EXPECT_EQ(Feed(session, "\xff"), "");
    EXPECT_EQ(Feed(session, "\xfd\x05" "a\xff\xfa\x18x\xff\xf0" "b"), "\xff\xfc\x05" "ab");
}

TEST(DemoSession, EchoesEachLineWithTheBytesThatMadeIt) {
    DemoSession session;
    ShowShowcase(session);
    EXPECT_EQ(Feed(session, "h"), "h");
    EXPECT_EQ(Feed(session, "i\r\n"), "i\r\n  you typed \"hi\" (4 bytes: 68 69 0d 0a)\r\ndemo> ");
    // Control bytes and escape sequences are shown, not obeyed.
    EXPECT_EQ(Feed(session, "\x1b[A\x03\r"),
              "^[[A^C\r\n  you typed \"^[[A^C\" (5 bytes: 1b 5b 41 03 0d)\r\ndemo> ");
    // IAC IAC is one data byte 255.
    EXPECT_NE(Feed(session, "\xff\xff\r").find("(2 bytes: ff 0d)"), Bytes::npos);
}

TEST(DemoSession, BackspaceEditsTheLineButTheBytesAreAllReported) {
    DemoSession session;
    ShowShowcase(session);
    EXPECT_EQ(Feed(session, "ab\x08"), "ab\b \b");
    EXPECT_EQ(Feed(session, "\x7f\x7f"), "\b \b");  // nothing left to erase the second time
    EXPECT_NE(Feed(session, "c\r").find("\"c\" (7 bytes: 61 62 08 7f 7f 63 0d)"), Bytes::npos);
}

TEST(DemoSession, LineEndSplitOverTwoChunks) {
    DemoSession session;
    ShowShowcase(session);
    EXPECT_NE(Feed(session, "x\r").find("(2 bytes: 78 0d)"), Bytes::npos);
    EXPECT_EQ(Feed(session, "\n"), "") << "the LF of the CR LF is not a line of its own";
    EXPECT_NE(Feed(session, Bytes("y\r\0", 3)).find("(3 bytes: 79 0d 00)"), Bytes::npos);
    EXPECT_NE(Feed(session, "\n").find("(1 bytes: 0a)"), Bytes::npos) << "a bare LF ends a line";
}

TEST(DemoSession, WhatAClientCanMakeItKeepIsBounded) {
    DemoSession session;
    ShowShowcase(session);
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
    DemoSession session;
    ShowShowcase(session);
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

// Files for --play in a directory of their own, removed afterwards.
class LogFiles {
  public:
    LogFiles() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quill-demo-XXXXXX");
        if (mkdtemp(pattern.data()) != nullptr) dir_ = pattern;
    }
    ~LogFiles() {
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }
    std::string Write(const std::string& name, const Bytes& content) {
        const std::filesystem::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

  private:
    std::filesystem::path dir_;
};

TEST(PlaybackSession, SendsEachReadWhenDueAtTheChosenSpeedAndNothingElse) {
    LogFiles files;
    std::string error;
    const std::string log = files.Write("log", "abcdef");
    const std::optional<Recording> timed =
        Recording::Load(log, files.Write("log.timing", "0.5 1\n\n0 2\n1.5 3"), error);
    ASSERT_TRUE(timed) << error;
    PlaybackSession session(*timed, 2);
    const auto start = DemoSession::Clock::now();
    EXPECT_EQ(session.Start(start), "");
    EXPECT_EQ(session.NextTick(), start + 250ms);
    EXPECT_EQ(session.Tick(start + 249ms), "");
    EXPECT_EQ(session.Tick(start + 250ms), "abc") << "two reads at the same moment";
    EXPECT_EQ(session.NextTick(), start + 1s);
    EXPECT_EQ(Feed(session, "\xff\xfd\x01hi\r\n"), "") << "the client gets no answer";
    EXPECT_EQ(session.Tick(start + 5s), "def");
    EXPECT_EQ(session.NextTick(), std::nullopt);
    EXPECT_FALSE(session.Finished()) << "the connection stays open";

    // Without timing all of it is due at once, handed out a chunk at a time.
    const std::size_t size = PlaybackSession::kChunk + 10;
    const std::optional<Recording> untimed =
        Recording::Load(files.Write("big", Bytes(size, 'x')), std::nullopt, error);
    ASSERT_TRUE(untimed) << error;
    PlaybackSession fast(*untimed, 1);
    EXPECT_EQ(fast.Start(start).size(), PlaybackSession::kChunk);
    EXPECT_EQ(fast.NextTick(), start) << "the rest is due already";
    EXPECT_EQ(fast.Tick(start).size(), 10u);
    EXPECT_EQ(fast.NextTick(), std::nullopt);
}

// ---- the program itself -------------------------------------------------

constexpr auto kWait = 5s;

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Reads what `fd` has until `stop` says so, the time is up or it ends;
// false when it ended.
template <typename Stop>
bool ReadFor(int fd, std::chrono::milliseconds wait, Bytes& into, Stop stop) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!stop() && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0) continue;
        char buffer[4096];
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) return false;
        into.append(buffer, static_cast<std::size_t>(n));
    }
    return true;
}

// The demo host with the given arguments; stopped by its pid whatever the
// outcome.
class DemoHostProcess {
  public:
    explicit DemoHostProcess(const std::vector<std::string>& args) {
        int out[2];
        int err[2];
        if (pipe(out) != 0 || pipe(err) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(out[1], STDOUT_FILENO);
            dup2(err[1], STDERR_FILENO);
            for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
            std::vector<char*> argv{const_cast<char*>(QUILL_DEMO_HOST)};
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            execv(QUILL_DEMO_HOST, argv.data());
            _exit(127);
        }
        close(out[1]);
        close(err[1]);
        output_ = out[0];
        errors_ = err[0];
    }
    ~DemoHostProcess() {
        if (pid_ > 0 && !reaped_) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        for (int fd : {output_, errors_}) {
            if (fd >= 0) close(fd);
        }
    }

    // The next line of its standard output, read within the time limit.
    std::string NextLine() {
        std::size_t end = 0;
        ReadFor(output_, kWait, output_text_, [&] {
            end = output_text_.find('\n');
            return end != Bytes::npos;
        });
        const std::string line = output_text_.substr(0, end);
        output_text_.erase(0, end == Bytes::npos ? end : end + 1);
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

    // Its standard error, once it has ended.
    std::string Errors() {
        Bytes text;
        ReadFor(errors_, kWait, text, [] { return false; });
        return text;
    }

  private:
    pid_t pid_ = -1;
    int output_ = -1;
    int errors_ = -1;
    Bytes output_text_;
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
        if (fd_ >= 0) {
            LimitBuffers();
            connected_ = connect(fd_, found->ai_addr, found->ai_addrlen) == 0;
        }
        freeaddrinfo(found);
    }
    ~Client() {
        if (fd_ >= 0) close(fd_);
    }
    bool Connected() const { return connected_; }
    void Send(const Bytes& bytes) {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        ASSERT_EQ(sent, bytes.size()) << "the host stopped reading";
    }

    // Read until `wanted` has arrived, or at least `count` bytes (true), or
    // the time is up or the connection closed (false).
    bool ReadUntil(const Bytes& wanted) {
        return Read(kWait, [&] { return received_.find(wanted) != Bytes::npos; });
    }
    bool ReadBytes(std::size_t count, std::chrono::milliseconds wait = kWait) {
        return Read(wait, [&] { return received_.size() >= count; });
    }
    // Reads whatever comes for `wait`; false when the peer closed meanwhile.
    bool StaysOpen(std::chrono::milliseconds wait) {
        return ReadFor(fd_, wait, received_, [] { return false; });
    }
    bool ClosedByPeer() { return !StaysOpen(kWait); }
    // Reads what the socket holds now, without waiting.
    void TakeWhatHasArrived() {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = recv(fd_, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
            received_.append(buffer, static_cast<std::size_t>(n));
        }
    }
    const Bytes& Received() const { return received_; }

  private:
    // Small buffers that do not grow to megabytes, so that a host which
    // stops reading shows soon: Send fails in time instead of hanging.
    void LimitBuffers() {
        const int size = 64 * 1024;
        setsockopt(fd_, SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
        setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
        const timeval sendLimit{std::chrono::seconds(kWait).count(), 0};
        setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
    }

    template <typename Done>
    bool Read(std::chrono::milliseconds wait, Done done) {
        return ReadFor(fd_, wait, received_, done) && done();
    }

    int fd_ = -1;
    bool connected_ = false;
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

// The bytes of a session log, every byte value among them, and a timing
// file that reads them in `reads` steps of 0.1 s.
struct Session {
    Bytes log;
    std::string timing;
};

Session TenthsOfASecond(int reads, std::size_t bytesPerRead) {
    Session session;
    for (int i = 0; i < reads; ++i) {
        for (std::size_t b = 0; b < bytesPerRead; ++b) session.log += static_cast<char>(b + i);
        session.timing += "0.100000 " + std::to_string(bytesPerRead) + "\n";
    }
    return session;
}

// The seconds from `start` until each read of `bytesPerRead` bytes had
// arrived whole, checking the client got exactly the log and the
// connection stays.
std::vector<double> ReadArrivals(Client& client, std::chrono::steady_clock::time_point start,
                                 const Bytes& log, std::size_t bytesPerRead) {
    std::vector<double> arrivals;
    for (std::size_t end = bytesPerRead; end <= log.size(); end += bytesPerRead) {
        EXPECT_TRUE(client.ReadBytes(end));
        arrivals.push_back(SecondsSince(start));
    }
    EXPECT_TRUE(client.StaysOpen(200ms)) << "the last screen stays on display";
    EXPECT_TRUE(client.Received() == log) << client.Received().size() << " bytes";
    return arrivals;
}

// No read comes before its time in the timing file (`step` seconds apart),
// less a little for the clocks' rounding.
void ExpectNoReadEarly(const std::vector<double>& arrivals, double step) {
    for (std::size_t i = 0; i < arrivals.size(); ++i) {
        EXPECT_GE(arrivals[i], step * static_cast<double>(i + 1) - 0.005) << "read " << i;
    }
}

// The session's clock is tested above; here the program is seen to take the
// timing file and the speed: every read waits for its time, and ten times
// as fast has ended while the other, started with it, has sent less than
// half.
TEST(DemoHostProgram, PlaysALogBackInItsRhythmAtTheChosenSpeed) {
    LogFiles files;
    constexpr std::size_t kRead = 200;
    const Session session = TenthsOfASecond(10, kRead);
    const std::string log = files.Write("session.log", session.log);
    const std::string timing = files.Write("session.log.timing", session.timing);
    DemoHostProcess normal({"--play", log, "--timing", timing, "0"});
    DemoHostProcess tenTimes({"--play", log, "--timing", timing, "--speed", "10", "0"});
    const int normalPort = PortFrom(normal.NextLine());
    const int tenTimesPort = PortFrom(tenTimes.NextLine());

    // Before connecting, so that neither host can have started earlier.
    const auto start = std::chrono::steady_clock::now();
    Client slow(normalPort);
    Client fast(tenTimesPort);
    ExpectNoReadEarly(ReadArrivals(fast, start, session.log, kRead), 0.01);
    slow.TakeWhatHasArrived();
    EXPECT_LT(slow.Received().size(), session.log.size() / 2) << "ten times as fast ends first";
    ExpectNoReadEarly(ReadArrivals(slow, start, session.log, kRead), 0.1);
}

TEST(DemoHostProgram, PlaysALogWithoutTimingAsFastAsEachClientTakesIt) {
    LogFiles files;
    // More than the host's send buffer, which grows to a few MiB.
    const Session session = TenthsOfASecond(256, 32 * 1024);  // 8 MiB
    const std::string log = files.Write("session.log", session.log);
    DemoHostProcess host({"--play", log, "0"});
    const int port = PortFrom(host.NextLine());
    Client talker(port);
    Client reader(port);
    ASSERT_TRUE(talker.Connected());
    ASSERT_TRUE(reader.Connected());

    // Much more than the sockets hold: the host must go on reading the
    // client while it is stuck sending it the log.
    talker.Send(Bytes(4 << 20, 'x') + "\xff\xfd\x01");
    ASSERT_TRUE(talker.ReadBytes(session.log.size()));
    ASSERT_TRUE(reader.ReadBytes(session.log.size()));
    // Nothing else: no answer to DO ECHO or a line, no closing.
    reader.Send("\xff\xfd\x01hello\r\n");
    EXPECT_TRUE(reader.StaysOpen(300ms));
    EXPECT_TRUE(talker.StaysOpen(100ms));
    EXPECT_TRUE(reader.Received() == session.log) << reader.Received().size() << " bytes";
    EXPECT_TRUE(talker.Received() == session.log) << talker.Received().size() << " bytes";
}

TEST(DemoHostProgram, RefusesBadUseWithOneLine) {
    LogFiles files;
    const std::string log = files.Write("log", "0123456789");
    const std::string timing = files.Write("log.timing", "0.500000 4\n0.250000 6\n");
    const std::string fifo = log + ".fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::vector<std::string>> bad{
        {"65536"},
        {"-1"},
        {"23x"},
        {""},
        {"0", "1"},
        {"--play", log},
        {"--bogus", "0"},
        {"--play", log, "--play", log, "0"},
        {"--timing", timing, "0"},
        {"--speed", "2", "0"},
        {"--play", log + ".missing", "0"},
        {"--play", log, "--timing", log + ".missing", "0"},
        {"--play", log, "--timing", timing, "--speed", "0", "0"},
        {"--play", log, "--speed", "-1", "0"},
        {"--play", log, "--speed", "fast", "0"},
        // Not regular files: no end, or no writer, to wait for.
        {"--play", "/dev/zero", "0"},
        {"--play", log, "--timing", "/dev/zero", "0"},
        {"--play", fifo, "0"},
        {"--play", log, "--timing", fifo, "0"},
        {"--login-file", log + ".missing", "0"},
        {"--play", log, "--cast", log, "0"},
        {"--cast", log, "--timing", timing, "0"}};
    const std::vector<std::string> badTimings{
        "0.500000 4\n0.250000 5\n",                 // one byte short
        "0.500000 4\n0.250000 6\n0.1 1\n",          // one too many
        "0.500000 4\nx 6\n",                        // bad number
        "0.500000 4\n-0.250000 6\n",                // negative time
        "0.500000 4\n0.250000\n",                   // missing count
        "0.500000 4\n0.250000 6 6\n",               // extra field
        "0,500000 4\n0,250000 6\n",                 // a decimal comma
        "0.5 4\n" + Bytes(2000, ' ') + "0.25 6\n",  // a line too long to be one
    };
    std::vector<std::vector<std::string>> all = bad;
    for (std::size_t i = 0; i < badTimings.size(); ++i) {
        const std::string path = files.Write("bad" + std::to_string(i), badTimings[i]);
        all.push_back({"--play", log, "--timing", path, "0"});
    }
    for (const std::vector<std::string>& args : all) {
        DemoHostProcess host(args);
        std::string shown;
        for (const std::string& a : args) shown += " '" + a + "'";
        EXPECT_EQ(host.ExitStatus(), 2) << shown;
        const std::string errors = host.Errors();
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << shown << ": " << errors;
        EXPECT_GT(errors.size(), 1u) << shown;
    }
    // The bytes of a bad line are shown escaped: a NUL does not end the message.
    DemoHostProcess nul(
        {"--play", log, "--timing", files.Write("nul", Bytes("0.5 4\n\0\x1b\\ 6\n", 12)), "0"});
    EXPECT_EQ(nul.ExitStatus(), 2);
    EXPECT_NE(nul.Errors().find(": line 2: bad time '\\x00\\x1b\\\\'\n"), std::string::npos);

    // The good timing file, for contrast.
    DemoHostProcess good({"--play", log, "--timing", timing, "0"});
    EXPECT_GT(PortFrom(good.NextLine()), 0);
}

TEST(DemoHostProgram, PlaysAnAsciicastRecordingAndRefusesAMalformedOneBeforeListening) {
    LogFiles files;
    const std::string header = "{\"version\": 2, \"width\": 80, \"height\": 24}\n";
    const std::string bad = files.Write("bad.cast", header + "[0.1, \"o\", \"a\"]\n[0.2, \"o\"]\n");
    DemoHostProcess refused({"--cast", bad, "0"});
    EXPECT_EQ(refused.ExitStatus(), 2);
    EXPECT_EQ(refused.Errors(), "quillterm-demo-host: " + bad +
                                    ": line 3: an event is an array of three\n");
    EXPECT_EQ(refused.NextLine(), "") << "no listening line";

    const std::string good = files.Write(
        "good.cast", header + "[0.01, \"o\", \"caf\\u00e9\\r\\n\"]\n[0.02, \"i\", \"x\"]\n"
                              "[0.05, \"o\", \"\\u001b[1mbold\"]\n");
    const Bytes played = "caf\xc3\xa9\r\n\x1b[1mbold";
    DemoHostProcess host({"--cast", good, "--speed", "5", "0"});
    Client client(PortFrom(host.NextLine()));
    ASSERT_TRUE(client.ReadBytes(played.size()));
    EXPECT_TRUE(client.StaysOpen(200ms));
    EXPECT_TRUE(client.Received() == played) << client.Received();
}

// A log larger than any buffer, with a timing line per KiB, arrives whole
// (bench/demo-host-memory.sh shows the memory it takes).
TEST(DemoHostProgram, PlaysALargeLogWhole) {
    LogFiles files;
    const Bytes log(32 << 20, '\0');
    const std::string path = files.Write("large.log", "");
    ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(log.size())), 0);  // no room on disk
    std::string timing;
    for (std::size_t at = 0; at < log.size(); at += 1024) timing += "0 1024\n";  // 256 KiB
    DemoHostProcess host({"--play", path, "--timing", files.Write("large.timing", timing), "0"});
    const int port = PortFrom(host.NextLine());
    ASSERT_GT(port, 0);
    Client client(port);
    ASSERT_TRUE(client.ReadBytes(log.size(), 60s));
    EXPECT_TRUE(client.Received() == log);
}

}  // namespace
}  // namespace quill::demo
