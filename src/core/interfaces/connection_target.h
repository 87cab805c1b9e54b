#pragma once

#include <cstddef>
#include <string>

namespace quill {

inline constexpr int kDefaultPort = 23;
// The port of Telnet over TLS when none is given ("telnets").
inline constexpr int kTlsDefaultPort = 992;
// HostName holds at most this many characters.
inline constexpr std::size_t kHostNameMaxLength = 99;

// Where to connect: filled by the command line or the Connect dialog, read by
// the transport.
struct ConnectionTarget {
    std::string HostName;
    int PortNumber = kDefaultPort;
    // The session runs inside TLS from the first byte.
    bool Tls = false;
    // Raw TCP: no Telnet at all, every byte is terminal data both ways.
    bool Raw = false;
};

// The port a target takes when none is given.
inline int DefaultPortFor(bool tls) {
    return tls ? kTlsDefaultPort : kDefaultPort;
}

}  // namespace quill
