// quillterm-demo-host: a small Telnet server on 127.0.0.1 to try the
// terminal with. Usage: quillterm-demo-host PORT (0 picks a free port).
// The port in use is printed on the first line of standard output.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "demo_session.h"

namespace {

using quill::demo::DemoSession;
using Clock = DemoSession::Clock;

constexpr int kBacklog = 8;
constexpr int kMaxClients = 32;
constexpr std::size_t kReadChunk = 4096;
constexpr int kSendTimeoutSeconds = 2;

bool ParsePort(const char* text, int& port) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < 0 || value > 65535) return false;
    port = static_cast<int>(value);
    return true;
}

// A listening socket on 127.0.0.1; -1 on failure (reported on stderr).
int Listen(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0 ||
        listen(fd, kBacklog) < 0) {
        std::fprintf(stderr, "quillterm-demo-host: cannot listen on 127.0.0.1:%d: %s\n", port,
                     std::strerror(errno));
        close(fd);
        return -1;
    }
    return fd;
}

int BoundPort(int fd) {
    sockaddr_in address{};
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

// Sends everything; false when the client has gone.
bool SendAll(int fd, const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

class Server {
  public:
    explicit Server(int listener) : listener_(listener) {}

    void Run() {
        for (;;) {
            std::vector<pollfd> fds{{listener_, POLLIN, 0}};
            for (const auto& [fd, session] : sessions_) fds.push_back({fd, POLLIN, 0});
            if (poll(fds.data(), fds.size(), TimeoutMs()) < 0 && errno != EINTR) return;
            if (fds[0].revents & POLLIN) Accept();
            for (std::size_t i = 1; i < fds.size(); ++i) {
                if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) Read(fds[i].fd);
            }
            TickAll();
        }
    }

  private:
    // Until the nearest negotiation deadline, or for ever.
    int TimeoutMs() const {
        int timeout = -1;
        const Clock::time_point now = Clock::now();
        for (const auto& [fd, session] : sessions_) {
            if (!session.WaitingForClient()) continue;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(session.Deadline() - now)
                    .count();
            const int ms = static_cast<int>(std::max<long long>(0, left));
            timeout = timeout < 0 ? ms : std::min(timeout, ms);
        }
        return timeout;
    }

    void Accept() {
        const int fd = accept(listener_, nullptr, nullptr);
        if (fd < 0) return;
        if (sessions_.size() >= kMaxClients) {
            close(fd);
            return;
        }
        // A client that stops reading is dropped instead of stalling the others.
        const timeval sendTimeout{kSendTimeoutSeconds, 0};
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendTimeout, sizeof sendTimeout);
        DemoSession& session = sessions_[fd];
        Deliver(fd, session, session.Start(Clock::now()));
    }

    void Read(int fd) {
        std::uint8_t buffer[kReadChunk];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) return;
        if (n <= 0) {
            Drop(fd);
            return;
        }
        DemoSession& session = sessions_[fd];
        Deliver(fd, session, session.Feed(buffer, static_cast<std::size_t>(n)));
    }

    void TickAll() {
        const Clock::time_point now = Clock::now();
        std::vector<int> fds;
        for (const auto& [fd, session] : sessions_) fds.push_back(fd);
        for (int fd : fds) {
            DemoSession& session = sessions_[fd];
            Deliver(fd, session, session.Tick(now));
        }
    }

    void Deliver(int fd, const DemoSession& session, const std::string& bytes) {
        if (!SendAll(fd, bytes) || session.Finished()) Drop(fd);
    }

    void Drop(int fd) {
        sessions_.erase(fd);
        close(fd);
    }

    int listener_;
    std::map<int, DemoSession> sessions_;
};

}  // namespace

int main(int argc, char** argv) {
    int port = 0;
    if (argc != 2 || !ParsePort(argv[1], port)) {
        std::fprintf(stderr, "usage: quillterm-demo-host PORT   (0 picks a free port)\n");
        return 2;
    }
    const int listener = Listen(port);
    if (listener < 0) return 1;
    std::printf("quillterm-demo-host listening on 127.0.0.1 port %d\n", BoundPort(listener));
    std::fflush(stdout);
    Server(listener).Run();
    close(listener);
    return 1;
}
