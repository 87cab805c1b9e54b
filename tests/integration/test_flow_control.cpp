// A server that floods the client with requests and does not read the
// replies: the client stops reading instead of queueing them without bound,
// and once the server reads again every request gets its reply, in order.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QRegularExpression>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <string_view>
#include <thread>
#include <vector>

#include "loopback_listener.h"
#include "program_under_xvfb.h"
#include "scripted_server.h"

namespace quill::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// ESC Z and IAC DO ECHO; the client answers with its identity and IAC WONT ECHO.
constexpr std::string_view kRequest("\x1bZ\xff\xfd\x01", 5);
constexpr std::string_view kReply("\x1b[?1;7c\xff\xfc\x01", 10);
constexpr std::size_t kRequests = (64u << 20) / kRequest.size();  // 64 MiB of requests

// The processor time a process has used so far, in clock ticks; -1 when it
// cannot be read.
long long ProcessorTicks(qint64 pid) {
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly)) return -1;
    // After the command name in parentheses: state, then 10 fields, then user and system time.
    const QList<QByteArray> fields = stat.readAll().split(')').last().simplified().split(' ');
    if (fields.size() < 13) return -1;
    return fields[11].toLongLong() + fields[12].toLongLong();
}

// The peak resident memory of a process, in MiB.
long PeakResidentMiB(qint64 pid) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    const QRegularExpression peak("VmHWM:\\s+(\\d+) kB");
    const auto match = peak.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLong() / 1024 : -1;
}

// The flooding server, on a thread of its own: the test's thread watches the
// client meanwhile. It writes requests without reading until the client's
// flow control holds it back, then, once told, reads and writes the rest.
// Held back means: the connection takes nothing more while the client, with
// requests waiting for it, uses no processor time at all. A client that is
// only slow, on a busy machine, still uses some.
class FloodServer {
  public:
    FloodServer() {
        listener_ = ListenOnLoopback(1, port_);
        thread_ = std::thread([this] { Serve(); });
    }
    ~FloodServer() {
        readAgain_ = true;
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        ::close(listener_);
    }

    int Port() const { return port_; }
    void WatchClient(qint64 pid) { clientPid_ = pid; }
    // The server wrote until it was held back, or until it had written all.
    bool FirstPhaseOver() const { return firstPhaseOver_; }
    std::size_t WrittenWithoutReading() const { return writtenWithoutReading_; }
    void ReadAgain() { readAgain_ = true; }
    bool Done() const { return done_; }
    std::size_t RepliesInOrder() const { return repliedBytes_ / kReply.size(); }
    bool RepliesMatched() const { return matched_; }

  private:
    void Serve() {
        const int client = Accept();
        if (client < 0) return;
        WriteUntilHeldBack(client);
        while (!readAgain_ && !stop_) std::this_thread::sleep_for(10ms);
        ReadAndWriteTheRest(client);
        done_ = true;
        // The connection stays open: the user ends the session.
        while (!stop_) std::this_thread::sleep_for(10ms);
        ::close(client);
    }
    int Accept() {
        pollfd p{listener_, POLLIN, 0};
        for (int i = 0; i < 300 && !stop_; ++i) {
            if (::poll(&p, 1, 100) > 0)
                return ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK);
        }
        return -1;
    }
    // Until the client is held back (checked every 200 ms, three times in a
    // row), or everything is written; for at most 90 s.
    void WriteUntilHeldBack(int client) {
        const auto deadline = Clock::now() + 90s;
        int stillChecks = 0;
        long long ticks = -1;
        while (!stop_ && Write(client) && stillChecks < 3 && Clock::now() < deadline) {
            pollfd p{client, POLLOUT, 0};
            if (::poll(&p, 1, 200) != 0) {
                stillChecks = 0;
                ticks = -1;
                continue;
            }
            const long long now = ProcessorTicks(clientPid_);
            stillChecks = now >= 0 && now == ticks ? stillChecks + 1 : 0;
            ticks = now;
        }
        writtenWithoutReading_ = written_.load();
        firstPhaseOver_ = true;
    }
    void ReadAndWriteTheRest(int client) {
        const auto deadline = Clock::now() + 90s;
        while (!stop_ && Clock::now() < deadline && repliedBytes_ < kRequests * kReply.size()) {
            const bool writing = written_ < kRequests * kRequest.size();
            pollfd p{client, static_cast<short>(POLLIN | (writing ? POLLOUT : 0)), 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            if ((p.revents & POLLIN) != 0 && !Read(client)) return;
            if (writing) Write(client);
        }
    }
    // Writes what the socket takes now; false once every request is out.
    bool Write(int client) {
        const std::size_t total = kRequests * kRequest.size();
        while (written_ < total) {
            const std::size_t at = written_ % block_.size();
            const std::size_t length = std::min(block_.size() - at, total - written_);
            const ssize_t n = ::send(client, block_.data() + at, length, MSG_NOSIGNAL);
            if (n <= 0) return true;
            written_ += static_cast<std::size_t>(n);
        }
        return false;
    }
    bool Read(int client) {
        char buffer[64 * 1024];
        const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) return n < 0;
        for (ssize_t i = 0; i < n; ++i) {
            matched_ = matched_ && buffer[i] == kReply[repliedBytes_++ % kReply.size()];
        }
        return true;
    }

    // A block of whole requests, written round and round.
    const std::string block_ = [] {
        std::string block;
        for (int i = 0; i < 8192; ++i) block += kRequest;
        return block;
    }();
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<qint64> clientPid_{0};
    std::atomic<bool> stop_{false};
    std::atomic<bool> readAgain_{false};
    std::atomic<bool> firstPhaseOver_{false};
    std::atomic<bool> done_{false};
    std::atomic<std::size_t> written_{0};
    std::atomic<std::size_t> writtenWithoutReading_{0};
    std::atomic<std::size_t> repliedBytes_{0};
    std::atomic<bool> matched_{true};
};

TEST(FlowControl, AServerThatDoesNotReadIsHeldBackAndEveryRequestIsAnsweredLater) {
    if (const QString missing = ProgramUnderXvfb::Missing(); !missing.isEmpty()) {
        GTEST_SKIP() << missing.toStdString();
    }
    FloodServer server;
    ProgramUnderXvfb program;
    ASSERT_TRUE(program.Start("", {"127.0.0.1", QString::number(server.Port())}));
    server.WatchClient(program.ProcessId());
    ASSERT_TRUE(program.FocusWindow("127.0.0.1"))
        << "windows on the display: " << program.Windows().toStdString();

    ASSERT_TRUE(PumpUntil([&] { return server.FirstPhaseOver(); }, 90000));
    const long peak = PeakResidentMiB(program.ProcessId());
    const std::size_t sent = server.WrittenWithoutReading();
    EXPECT_GT(peak, 0);
    EXPECT_LT(peak, 120) << "MiB resident after " << (sent >> 20) << " MiB of requests";
    EXPECT_LT(sent, kRequests * kRequest.size()) << "the client never held the server back";

    server.ReadAgain();
    ASSERT_TRUE(PumpUntil([&] { return server.Done(); }, 100000));
    EXPECT_EQ(server.RepliesInOrder(), kRequests);
    EXPECT_TRUE(server.RepliesMatched());
    RecordProperty("peak_resident_mib", static_cast<int>(peak));
    RecordProperty("requests_before_held_back_mib", static_cast<int>(sent >> 20));

    program.Xdotool({"key", "alt+x"});
    EXPECT_EQ(program.WaitForExit(), 0);
}

}  // namespace
}  // namespace quill::test
