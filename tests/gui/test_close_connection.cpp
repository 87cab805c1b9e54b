// Closing the connection (Exit, Alt+X, the close box) sends what is still
// queued for the host first, and waits for a host that takes nothing only
// for a bounded time.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "loopback_listener.h"
#include "session_fixture.h"
#include "ui/resources/command_ids.h"

namespace quill::test {
namespace {

using namespace std::chrono_literals;

// A host on its own thread, so that it reads while the client's close blocks
// the test's thread. It keeps its receive buffer small, takes nothing for
// `idle`, then reads until the client's end of stream, for at most 10 s.
class SlowReader {
  public:
    explicit SlowReader(std::chrono::milliseconds idle) : idle_(idle) {
        listener_ = ListenOnLoopback(1, port_, 4096);
        thread_ = std::thread([this] { Serve(); });
    }
    ~SlowReader() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        ::close(listener_);
    }

    int Port() const { return port_; }
    // Waits for the host to finish; the bytes it read, and whether the stream
    // ended with the client's orderly close.
    std::size_t Finish(bool& orderlyEnd) {
        if (thread_.joinable()) thread_.join();
        orderlyEnd = orderlyEnd_;
        return total_;
    }

  private:
    void Serve() {
        const int client = Accept();
        if (client < 0) return;
        std::this_thread::sleep_for(idle_);
        ReadUntilEnd(client);
        ::close(client);
    }
    int Accept() {
        pollfd p{listener_, POLLIN, 0};
        for (int i = 0; i < 100 && !stop_; ++i) {
            if (::poll(&p, 1, 100) > 0) return ::accept(listener_, nullptr, nullptr);
        }
        return -1;
    }
    void ReadUntilEnd(int client) {
        std::vector<char> buffer(16 * 1024);
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{client, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            const ssize_t n = ::recv(client, buffer.data(), buffer.size(), 0);
            if (n <= 0) {
                orderlyEnd_ = n == 0;
                return;
            }
            total_ += static_cast<std::size_t>(n);
        }
    }

    std::chrono::milliseconds idle_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::size_t total_ = 0;
    bool orderlyEnd_ = false;
};

// Far more than the kernel buffers on both sides hold: most of it is still
// queued in the client when Exit comes.
constexpr std::size_t kLargeSend = 8 * 1024 * 1024;

class CloseConnectionTest : public SessionTest {
  protected:
    void ConnectTo(const SlowReader& host) {
        ASSERT_EQ(StartUp({"127.0.0.1", std::to_string(host.Port())}), Application::kStarted);
    }
    void SendLarge() {
        const std::vector<std::uint8_t> bytes(kLargeSend, 'x');
        app->Transport().SendBytes(bytes.data(), bytes.size());
    }
    // Exit, timed: how long the window took to go.
    qint64 Exit() {
        QElapsedTimer clock;
        clock.start();
        Window().OnCommand(CommandId::kExit);
        return clock.elapsed();
    }
};

TEST_F(CloseConnectionTest, ExitSendsWhatIsStillQueuedThenClosesInOrder) {
    SlowReader host(300ms);
    ConnectTo(host);
    SendLarge();
    Exit();
    EXPECT_TRUE(Window().Destroyed());
    bool orderlyEnd = false;
    EXPECT_EQ(host.Finish(orderlyEnd), kLargeSend);
    EXPECT_TRUE(orderlyEnd);
}

TEST_F(CloseConnectionTest, AHostThatTakesNothingHoldsTheCloseForAboutTwoSecondsOnly) {
    SlowReader host(2500ms);
    ConnectTo(host);
    SendLarge();
    const qint64 took = Exit();
    EXPECT_GE(took, 1500);
    EXPECT_LT(took, 3500);
    EXPECT_TRUE(Window().Destroyed());
    bool orderlyEnd = true;
    EXPECT_LT(host.Finish(orderlyEnd), kLargeSend);
}

}  // namespace
}  // namespace quill::test
