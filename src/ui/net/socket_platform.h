#pragma once

#include <QtGlobal>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// The few things the transport needs from the system's own socket interface
// that Qt's network classes do not offer. Both platforms have them under the
// same names; socket_platform.cpp holds the one #ifdef between them.
namespace quill::platform {

// Whether this system can make TCP sockets at all.
bool CanMakeTcpSockets();

// A dotted IPv4 address read as inet_addr reads it (short, octal and hex
// forms included), in network byte order. Text that is no address gives
// none, and so does 255.255.255.255, which inet_addr cannot tell apart from
// a failure.
std::optional<std::uint32_t> ParseDottedAddress(const std::string& text);

// Keeps TCP urgent data in the stream (SO_OOBINLINE), so that the IAC of a
// server's IAC DM stays in front of its DM.
void KeepUrgentDataInline(qintptr descriptor);

// Sends the bytes in one send as TCP urgent data, the last one the urgent
// byte; returns how many went (0 when none could, at once).
std::size_t SendUrgent(qintptr descriptor, const std::uint8_t* bytes, std::size_t length);

// Sends what the system takes at once, in one send, without waiting; returns
// how many bytes went.
std::size_t SendAtOnce(qintptr descriptor, const std::uint8_t* bytes, std::size_t length);

}  // namespace quill::platform
