#pragma once

#include <cstddef>
#include <string>

namespace quill {

inline constexpr int kDefaultPort = 23;
// HostName holds at most this many characters.
inline constexpr std::size_t kHostNameMaxLength = 99;

// Where to connect: filled by the command line or the Connect dialog, read by
// the transport.
struct ConnectionTarget {
    std::string HostName;
    int PortNumber = kDefaultPort;
};

}  // namespace quill
