#include "connection.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace quill::bench {
namespace {

class Plain final : public Connection {
  public:
    using Connection::Connection;

    ssize_t WriteSome(std::string_view bytes) override {
        return Result(::send(Fd(), bytes.data(), bytes.size(), MSG_NOSIGNAL), POLLOUT);
    }

    ssize_t ReadSome(char* buffer, std::size_t size) override {
        const ssize_t n = ::recv(Fd(), buffer, size, 0);
        return n == 0 ? -1 : Result(n, POLLIN);
    }

  private:
    // A would-block is 0, waiting for `events`.
    ssize_t Result(ssize_t n, short events) {
        if (n >= 0) return n;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return -1;
        awaits_ = events;
        return 0;
    }
};

}  // namespace

Connection::Connection(int fd) : fd_(fd) {
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
}

Connection::~Connection() {
    ::close(fd_);
}

bool Connection::Send(std::string_view bytes) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::seconds(10);
    while (!bytes.empty()) {
        const ssize_t n = WriteSome(bytes);
        if (n < 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
        if (n > 0) continue;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now());
        pollfd p{fd_, awaits_, 0};
        if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) != 1) return false;
    }
    return true;
}

void Connection::Drain() {
    char buffer[4096];
    while (ReadSome(buffer, sizeof buffer) > 0) {
    }
}

std::unique_ptr<Connection> PlainConnection(int fd) {
    return std::make_unique<Plain>(fd);
}

}  // namespace quill::bench
