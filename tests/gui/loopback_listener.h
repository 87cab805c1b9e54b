#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

namespace quill::test {

// A plain listening socket on 127.0.0.1 and a port the system picked, for
// servers that need more control than ScriptedServer gives (their own
// thread, a full accept queue, a small receive buffer). -1 on failure.
inline int ListenOnLoopback(int backlog, int& port, int receiveBuffer = 0) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    if (listener < 0) return -1;
    if (receiveBuffer > 0) {
        ::setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, backlog) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        return -1;
    }
    port = ntohs(address.sin_port);
    return listener;
}

}  // namespace quill::test
