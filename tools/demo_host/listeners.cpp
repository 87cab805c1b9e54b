#include "listeners.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace quill::demo {
namespace {

constexpr int kBacklog = 8;

sockaddr_storage LoopbackAddress(int family, int port) {
    sockaddr_storage address{};
    const auto netPort = htons(static_cast<std::uint16_t>(port));
    if (family == AF_INET6) {
        auto& v6 = reinterpret_cast<sockaddr_in6&>(address);
        v6.sin6_family = AF_INET6;
        v6.sin6_port = netPort;
        v6.sin6_addr = in6addr_loopback;
    } else {
        auto& v4 = reinterpret_cast<sockaddr_in&>(address);
        v4.sin_family = AF_INET;
        v4.sin_port = netPort;
        v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    return address;
}

bool BindAndListen(int fd, int family, int port) {
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_storage address = LoopbackAddress(family, port);
    const socklen_t size = family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    return bind(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0 &&
           listen(fd, kBacklog) == 0 && fcntl(fd, F_SETFL, O_NONBLOCK) == 0;
}

}  // namespace

int ListenOnLoopback(int family, int port, std::string& error) {
    const int fd = socket(family, SOCK_STREAM, 0);
    if (fd >= 0 && BindAndListen(fd, family, port)) return fd;
    error = std::string("cannot listen on ") + (family == AF_INET6 ? "::1" : "127.0.0.1") +
            " port " + std::to_string(port) + ": " + std::strerror(errno);
    if (fd >= 0) close(fd);
    return -1;
}

int BoundPort(int fd) {
    sockaddr_storage address{};
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    if (address.ss_family == AF_INET6) {
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    }
    return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
}

}  // namespace quill::demo
