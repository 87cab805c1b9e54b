#include "loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace quill::bench {

LoopbackServer::LoopbackServer() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::listen(fd_, 1) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        std::perror("listen on 127.0.0.1");
        std::exit(1);
    }
    port_ = ntohs(address.sin_port);
}

LoopbackServer::~LoopbackServer() {
    ::close(fd_);
}

int LoopbackServer::AcceptClient() const {
    constexpr int kConnectTimeoutMs = 20000;
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, kConnectTimeoutMs) != 1) return -1;
    const int fd = ::accept(fd_, nullptr, nullptr);
    // IAC WILL ECHO, IAC WILL SUPPRESS-GO-AHEAD
    if (fd >= 0 && !SendAll(fd, "\xff\xfb\x01\xff\xfb\x03")) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool SendAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

void Drain(int fd) {
    char buffer[4096];
    while (::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT) > 0) {
    }
}

}  // namespace quill::bench
