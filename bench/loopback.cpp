#include "loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
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

std::unique_ptr<Connection> LoopbackServer::AcceptClient(const TlsIdentity* tls) const {
    constexpr std::chrono::milliseconds kConnectTimeout(20000);
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(kConnectTimeout.count())) != 1) return nullptr;
    const int fd = ::accept(fd_, nullptr, nullptr);
    if (fd < 0) return nullptr;
    std::unique_ptr<Connection> connection =
        tls != nullptr ? tls->Accept(fd, kConnectTimeout) : PlainConnection(fd);
    // IAC WILL ECHO, IAC WILL SUPPRESS-GO-AHEAD
    if (connection && !connection->Send("\xff\xfb\x01\xff\xfb\x03")) return nullptr;
    return connection;
}

}  // namespace quill::bench
