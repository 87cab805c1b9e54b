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
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "loopback_listener.h"
#include "session_fixture.h"
#include "ui/resources/command_ids.h"

namespace quill::test {
namespace {

using namespace std::chrono_literals;

// A host on its own thread, so that it reads while the client's close blocks
// the test's thread. It keeps its receive buffer small and takes nothing until
// it is let go (or, should that never happen, for 30 s); then, after `delay`,
// it reads until the client's end of stream, for at most 30 s.
class SlowReader {
  public:
    explicit SlowReader(std::chrono::milliseconds delay = 0ms) : delay_(delay) {
        listener_ = ListenOnLoopback(1, port_, 4096);
        thread_ = std::thread([this] { Serve(); });
    }
    ~SlowReader() {
        stop_ = true;
        LetGo();
        if (thread_.joinable()) thread_.join();
        ::close(listener_);
    }

    int Port() const { return port_; }
    void LetGo() {
        {
            const std::lock_guard lock(mutex_);
            letGo_ = true;
        }
        wake_.notify_all();
    }
    // Waits for the host to finish; the bytes it read, and whether the stream
    // ended with the client's orderly close.
    std::size_t Finish(bool& orderlyEnd) {
        LetGo();
        if (thread_.joinable()) thread_.join();
        orderlyEnd = orderlyEnd_;
        return total_;
    }

  private:
    void Serve() {
        const int client = Accept();
        if (client < 0) return;
        {
            // Let go (at the latest after 30 s), then the host's own delay,
            // which the end of the test cuts short.
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, 30s, [this] { return letGo_.load(); });
            wake_.wait_for(lock, delay_, [this] { return stop_.load(); });
        }
        ReadUntilEnd(client);
        ::close(client);
    }
    int Accept() {
        pollfd p{listener_, POLLIN, 0};
        for (int i = 0; i < 300 && !stop_; ++i) {
            if (::poll(&p, 1, 100) > 0) return ::accept(listener_, nullptr, nullptr);
        }
        return -1;
    }
    void ReadUntilEnd(int client) {
        std::vector<char> buffer(16 * 1024);
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (!stop_ && std::chrono::steady_clock::now() < deadline) {
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

    std::chrono::milliseconds delay_;
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> letGo_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
    std::size_t total_ = 0;
    bool orderlyEnd_ = false;
};

// Far more than the kernel buffers on both sides hold: most of it is still
// queued in the client when Exit comes.
constexpr std::size_t kLargeSend = 8 * 1024 * 1024;

class CloseConnectionTest : public SessionTest {
  protected:
    void ConnectTo(const SlowReader& host, std::chrono::milliseconds closeWait) {
        hooks.closeWait = closeWait;
        app = std::make_unique<Application>(store, hooks);
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

// The host starts reading only after the close has waited longer than it
// would by default: the wait it was given holds the close open for it.
TEST_F(CloseConnectionTest, ExitSendsWhatIsStillQueuedThenClosesInOrder) {
    SlowReader host(kCloseWait + 500ms);
    ConnectTo(host, 60s);
    SendLarge();
    host.LetGo();
    Exit();
    EXPECT_TRUE(Window().Destroyed());
    bool orderlyEnd = false;
    EXPECT_EQ(host.Finish(orderlyEnd), kLargeSend);
    EXPECT_TRUE(orderlyEnd);
}

// The host takes nothing until the window has gone.
TEST_F(CloseConnectionTest, AHostThatTakesNothingHoldsTheCloseForTheCloseWaitOnly) {
    SlowReader host;
    constexpr auto kWait = 300ms;
    ConnectTo(host, kWait);
    SendLarge();
    const qint64 took = Exit();
    EXPECT_TRUE(Window().Destroyed());
    EXPECT_GE(took, kWait.count());
    bool orderlyEnd = true;
    EXPECT_LT(host.Finish(orderlyEnd), kLargeSend);
}

}  // namespace
}  // namespace quill::test
