#include "server.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <optional>

namespace quill::demo {
namespace {

constexpr std::size_t kMaxClients = 32;
constexpr std::size_t kReadChunk = 4096;
// A client that sends but does not read is dropped before what it has not
// taken grows without bound.
constexpr std::size_t kMaxUnsent = 1 << 20;
// Wakes up at least this often, so that a far-off deadline fits poll's int.
constexpr long long kLongestWaitMs = 60'000;

bool WouldBlock() {
    return errno == EAGAIN || errno == EWOULDBLOCK;
}

}  // namespace

Server::Server(std::vector<int> listeners, SessionFactory newSession)
    : listeners_(std::move(listeners)), newSession_(std::move(newSession)) {}

void Server::Run() {
    for (;;) {
        std::vector<pollfd> fds = PollSet();
        if (poll(fds.data(), fds.size(), TimeoutMs()) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        for (const pollfd& ready : fds) Handle(ready);
        TickIdle();
    }
}

// The listeners first, so that a client dropped below cannot free an fd
// number that an accept in the same round would take.
std::vector<pollfd> Server::PollSet() const {
    std::vector<pollfd> fds;
    for (int listener : listeners_) fds.push_back({listener, POLLIN, 0});
    for (const auto& [fd, client] : clients_) {
        const short events = client.unsent.empty() ? POLLIN : POLLIN | POLLOUT;
        fds.push_back({fd, events, 0});
    }
    return fds;
}

// Until the nearest moment a session with nothing unsent wants its Tick;
// the others wait for their socket.
int Server::TimeoutMs() const {
    std::optional<Clock::time_point> next;
    for (const auto& [fd, client] : clients_) {
        if (!client.unsent.empty()) continue;
        const std::optional<Clock::time_point> due = client.session->NextTick();
        if (due && (!next || *due < *next)) next = due;
    }
    if (!next) return -1;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now());
    return static_cast<int>(std::clamp<long long>(left.count(), 0, kLongestWaitMs));
}

void Server::Handle(const pollfd& ready) {
    if (ready.revents == 0) return;
    if (std::find(listeners_.begin(), listeners_.end(), ready.fd) != listeners_.end()) {
        Accept(ready.fd);
        return;
    }
    if (ready.revents & (POLLIN | POLLHUP | POLLERR)) Read(ready.fd);
    if ((ready.revents & POLLOUT) && clients_.contains(ready.fd)) Flush(ready.fd);
}

void Server::Accept(int listener) {
    const int fd = accept(listener, nullptr, nullptr);
    if (fd < 0) return;
    if (clients_.size() >= kMaxClients || fcntl(fd, F_SETFL, O_NONBLOCK) < 0) {
        close(fd);
        return;
    }
    Client& client = clients_[fd];
    client.session = newSession_();
    Queue(fd, client.session->Start(Clock::now()));
}

void Server::Read(int fd) {
    std::uint8_t buffer[kReadChunk];
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EINTR || WouldBlock())) return;
    if (n <= 0) {
        Drop(fd);
        return;
    }
    Queue(fd, clients_.at(fd).session->Feed(buffer, static_cast<std::size_t>(n)));
}

void Server::Queue(int fd, const std::string& bytes) {
    clients_.at(fd).unsent += bytes;
    Flush(fd);
}

// Sends what the socket takes now; the rest waits for POLLOUT.
void Server::Flush(int fd) {
    Client& client = clients_.at(fd);
    while (!client.unsent.empty()) {
        const ssize_t n = send(fd, client.unsent.data(), client.unsent.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && WouldBlock()) break;
        if (n <= 0) {
            Drop(fd);
            return;
        }
        client.unsent.erase(0, static_cast<std::size_t>(n));
    }
    const bool done = client.unsent.empty() && client.session->Finished();
    if (done || client.unsent.size() > kMaxUnsent) Drop(fd);
}

// Sessions are asked for more only once their socket has taken everything,
// so a recording is never copied out faster than the client reads it.
void Server::TickIdle() {
    const Clock::time_point now = Clock::now();
    std::vector<int> idle;
    for (const auto& [fd, client] : clients_) {
        if (client.unsent.empty()) idle.push_back(fd);
    }
    for (int fd : idle) Queue(fd, clients_.at(fd).session->Tick(now));
}

void Server::Drop(int fd) {
    clients_.erase(fd);
    close(fd);
}

}  // namespace quill::demo
