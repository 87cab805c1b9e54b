#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "core/interfaces/connection_target.h"

namespace quill {

enum class CommandLineResult {
    TargetKnown,      // go on and connect
    Error,            // "Commandline error"
    DialogCancelled,  // the start-up Connect dialog was cancelled
};

// Takes the connection target from the arguments (argc counts the program
// name): none opens connectDialog, which fills target and returns true on OK;
// "host", "host:port" or "host port" set it directly, and so do an IPv6
// address given whole ("::1"), "[address]", "[address]:port",
// "[address] port" and telnet://[userinfo@]host[:port][/] (the scheme in any
// case, host possibly a bracketed IPv6 address). The target's host never has
// brackets. raw (the "--raw" option) makes the connection raw TCP whatever
// the argument; so do raw:// and raws:// links (raws: over TLS), which take
// the telnet URL's form.
//
// The port of "host:port" and "host port" is read by ParseDecimal ("abc" is
// 0, a sign and values beyond 16 bits pass through). The port after
// "[address]:" and in a URL is stricter: decimal digits only, 0 to 65535;
// anything else there is an error.
//
// Errors: three or more arguments, a host longer than kHostNameMaxLength, an
// argument made only of colons ("::" too), one with two or more colons that
// is no IPv6 address (a zone id, "fe80::1%eth0", or "host::port") unless it is
// "host:port" with more after the port ("myhost:99:5"), brackets around
// anything but an IPv6 address or followed by anything but ":port", and a
// telnet URL with an empty host, a host other than a name of letters, digits,
// '-' and '.' or a bracketed IPv6 address, a colon without a port, or a path
// other than "" or "/". An error leaves the target as it was.
CommandLineResult ParseCommandLine(int argc, const char* const* argv, bool tls, bool raw,
                                   ConnectionTarget& target,
                                   const std::function<bool(ConnectionTarget&)>& connectDialog);

// A host field or history entry that says how to connect by itself: a
// telnets://, telnet://, raws:// or raw:// link, "host:port" or "[address]:port" (strict
// ports, plain host names). None for anything else, a bare host or IPv6
// address among them, and for a malformed one.
std::optional<ConnectionTarget> ParseHostEntry(std::string_view entry);

}  // namespace quill
