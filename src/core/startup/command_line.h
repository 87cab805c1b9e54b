#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace quill {

inline constexpr int kDefaultPort = 23;
// HostName holds at most this many characters.
inline constexpr std::size_t kHostNameMaxLength = 99;

// Where to connect: filled by the command line or the Connect dialog.
struct ConnectionTarget {
    std::string HostName;
    int PortNumber = kDefaultPort;
};

// Takes the connection target from the arguments (argc counts the program
// name): none opens connectDialog, which fills target and returns its dialog
// result; "host", "host:port" or "host port" set it directly.
// Returns 1 when the target is known, 0 on a command-line error (three or
// more arguments, a host longer than kHostNameMaxLength, an argument made
// only of colons) and -1 when the dialog was cancelled (returned 0).
int ParseCommandLine(int argc, const char* const* argv, ConnectionTarget& target,
                     const std::function<int(ConnectionTarget&)>& connectDialog);

}  // namespace quill
