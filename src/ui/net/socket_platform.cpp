#include "ui/net/socket_platform.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace quill::platform {

#ifdef _WIN32
namespace {

// Windows needs its socket library started before the first socket call;
// Qt starts it for its own sockets too, and starts nest.
bool StartSockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

}  // namespace

bool CanMakeTcpSockets() {
    if (!StartSockets()) return false;
    const SOCKET probe = ::socket(AF_INET, SOCK_STREAM, 0);
    if (probe == INVALID_SOCKET) return false;
    ::closesocket(probe);
    return true;
}

void KeepUrgentDataInline(qintptr descriptor) {
    const BOOL on = TRUE;
    ::setsockopt(static_cast<SOCKET>(descriptor), SOL_SOCKET, SO_OOBINLINE,
                 reinterpret_cast<const char*>(&on), sizeof on);
}

namespace {

std::size_t Send(qintptr descriptor, const std::uint8_t* bytes, std::size_t length, int flags) {
    const int sent = ::send(static_cast<SOCKET>(descriptor), reinterpret_cast<const char*>(bytes),
                            static_cast<int>(length), flags);
    return sent > 0 ? static_cast<std::size_t>(sent) : 0;
}

}  // namespace

std::size_t SendUrgent(qintptr descriptor, const std::uint8_t* bytes, std::size_t length) {
    return Send(descriptor, bytes, length, MSG_OOB);
}

// Qt's sockets do not block.
std::size_t SendAtOnce(qintptr descriptor, const std::uint8_t* bytes, std::size_t length) {
    return Send(descriptor, bytes, length, 0);
}
#else
bool CanMakeTcpSockets() {
    const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
    if (probe < 0) return false;
    ::close(probe);
    return true;
}

void KeepUrgentDataInline(qintptr descriptor) {
    const int on = 1;
    ::setsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_OOBINLINE, &on, sizeof on);
}

namespace {

std::size_t Send(qintptr descriptor, const std::uint8_t* bytes, std::size_t length, int flags) {
    const ssize_t sent =
        ::send(static_cast<int>(descriptor), bytes, length, flags | MSG_NOSIGNAL | MSG_DONTWAIT);
    return sent > 0 ? static_cast<std::size_t>(sent) : 0;
}

}  // namespace

std::size_t SendUrgent(qintptr descriptor, const std::uint8_t* bytes, std::size_t length) {
    return Send(descriptor, bytes, length, MSG_OOB);
}

std::size_t SendAtOnce(qintptr descriptor, const std::uint8_t* bytes, std::size_t length) {
    return Send(descriptor, bytes, length, 0);
}
#endif

std::optional<std::uint32_t> ParseDottedAddress(const std::string& text) {
    const auto address = static_cast<std::uint32_t>(::inet_addr(text.c_str()));
    if (address == INADDR_NONE) return std::nullopt;
    return address;
}

}  // namespace quill::platform
