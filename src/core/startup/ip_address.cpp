#include "core/startup/ip_address.h"

#ifdef _WIN32
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#endif

#include <string>

namespace quill {

bool IsIpv6Address(std::string_view text) {
    // inet_pton reads a C string: a NUL inside would end the text early.
    if (text.find('\0') != std::string_view::npos) return false;
    const std::string terminated(text);
    unsigned char address[16];
    return ::inet_pton(AF_INET6, terminated.c_str(), address) == 1;
}

std::optional<std::string_view> BracketedIpv6Address(std::string_view text) {
    if (text.size() < 2 || text.front() != '[' || text.back() != ']') return std::nullopt;
    const std::string_view inside = text.substr(1, text.size() - 2);
    if (!IsIpv6Address(inside)) return std::nullopt;
    return inside;
}

}  // namespace quill
