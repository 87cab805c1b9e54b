#include "core/startup/command_line.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "core/settings/settings_store.h"  // ParseDecimal
#include "core/startup/ip_address.h"

namespace quill {
namespace {

constexpr std::string_view kTelnetScheme = "telnet://";
constexpr std::string_view kTelnetsScheme = "telnets://";
constexpr std::string_view kRawScheme = "raw://";
constexpr std::string_view kRawsScheme = "raws://";
constexpr int kHighestPort = 65535;

// No port given: the default of the target's transport.
CommandLineResult SetTarget(std::string_view host, std::optional<int> port,
                            ConnectionTarget& target) {
    if (host.size() > kHostNameMaxLength) return CommandLineResult::Error;
    target.HostName = host;
    target.PortNumber = port.value_or(DefaultPortFor(target.Tls));
    return CommandLineResult::TargetKnown;
}

// "host:port": leading colons are skipped, the host runs to the next colon and
// the port is everything after it, further colons included.
CommandLineResult SetTargetFromColonForm(std::string_view argument, ConnectionTarget& target) {
    const std::size_t hostStart = argument.find_first_not_of(':');
    // Nothing but colons: there is no host to connect to.
    if (hostStart == std::string_view::npos) return CommandLineResult::Error;
    const std::size_t colon = argument.find(':', hostStart);
    const std::string_view host = argument.substr(hostStart, colon - hostStart);
    if (colon == std::string_view::npos || colon + 1 == argument.size()) {
        return SetTarget(host, std::nullopt, target);
    }
    return SetTarget(host, ParseDecimal(argument.substr(colon + 1)), target);
}

// The port of the newer forms ("[address]:port", telnet URLs): decimal digits
// only, 0 to 65535. A sign, another character, an empty port or a larger
// value gives none.
std::optional<int> StrictPort(std::string_view text) {
    if (text.empty()) return std::nullopt;
    int port = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        port = port * 10 + (c - '0');
        if (port > kHighestPort) return std::nullopt;
    }
    return port;
}

// A host name as a link may give it: letters, digits, '-' and '.' (so a
// dotted IPv4 address too), nothing that would need escaping.
bool IsPlainHostName(std::string_view host) {
    return std::all_of(host.begin(), host.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '-' || c == '.';
    });
}

// "host", "host:port", "[address]" or "[address]:port" with a strict port:
// the host part of a telnet URL, and the bracket forms of the command line.
// An empty host, a host that is no plain name, and a colon with no port
// after it are errors.
CommandLineResult SetTargetFromHostAndStrictPort(std::string_view text, ConnectionTarget& target) {
    std::size_t hostEnd = text.find(':');
    std::string_view host = text.substr(0, hostEnd);
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string_view::npos) return CommandLineResult::Error;
        const std::optional<std::string_view> address =
            BracketedIpv6Address(text.substr(0, close + 1));
        if (!address) return CommandLineResult::Error;
        host = *address;
        hostEnd = close + 1;
    } else if (!IsPlainHostName(host)) {
        return CommandLineResult::Error;
    }
    if (host.empty()) return CommandLineResult::Error;
    if (hostEnd >= text.size()) return SetTarget(host, std::nullopt, target);
    if (text[hostEnd] != ':') return CommandLineResult::Error;
    const std::optional<int> port = StrictPort(text.substr(hostEnd + 1));
    if (!port) return CommandLineResult::Error;
    return SetTarget(host, *port, target);
}

// The scheme in any case, compared as ASCII whatever the locale.
bool HasScheme(std::string_view argument, std::string_view scheme) {
    if (argument.size() < scheme.size()) return false;
    for (std::size_t i = 0; i < scheme.size(); ++i) {
        const char c = argument[i];
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != scheme[i]) return false;
    }
    return true;
}

// telnet://[USERINFO@]HOST[:PORT][/] after its scheme: the user information
// is not used, the path may only be empty or "/".
CommandLineResult SetTargetFromUrl(std::string_view rest, ConnectionTarget& target) {
    const std::size_t authorityEnd = rest.find_first_of("/?#");
    std::string_view authority = rest.substr(0, authorityEnd);
    if (authorityEnd != std::string_view::npos && rest.substr(authorityEnd) != "/") {
        return CommandLineResult::Error;
    }
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    return SetTargetFromHostAndStrictPort(authority, target);
}

// An argument with two or more colons that is no IPv6 address is a failed
// one ("fe80::1%eth0": zone ids are not taken), unless it is a host and a port
// with more after it ("myhost:99:5", port 99): its port text starts with a
// digit and it holds no '%'.
bool IsMalformedIpv6Address(std::string_view argument) {
    if (std::count(argument.begin(), argument.end(), ':') < 2) return false;
    if (argument.find('%') != std::string_view::npos) return true;
    const std::size_t hostStart = argument.find_first_not_of(':');
    const std::size_t colon = argument.find(':', hostStart);
    const char portStart = colon + 1 < argument.size() ? argument[colon + 1] : '\0';
    return portStart < '0' || portStart > '9';
}

// A link of any of the schemes: its target goes over TLS (telnets, raws) or
// raw TCP (raw, raws).
bool HasLinkScheme(std::string_view argument) {
    for (const std::string_view scheme : {kTelnetsScheme, kTelnetScheme, kRawsScheme, kRawScheme}) {
        if (HasScheme(argument, scheme)) return true;
    }
    return false;
}

CommandLineResult SetTargetFromLink(std::string_view argument, ConnectionTarget& target) {
    const std::size_t schemeEnd = argument.find("://") + 3;
    const std::string_view scheme = argument.substr(0, schemeEnd);
    target.Tls = target.Tls || HasScheme(scheme, kTelnetsScheme) || HasScheme(scheme, kRawsScheme);
    target.Raw = target.Raw || HasScheme(scheme, kRawScheme) || HasScheme(scheme, kRawsScheme);
    return SetTargetFromUrl(argument.substr(schemeEnd), target);
}

// One argument, recognised in this order: a link; a bracketed IPv6
// address; an argument that is as a whole an IPv6 address (each has two or
// more colons; one made only of colons, "::" among them, is left to the colon
// rule, which refuses it) or a malformed one; then a host with or without
// ":port".
CommandLineResult SetTargetFromArgument(std::string_view argument, ConnectionTarget& target) {
    if (HasLinkScheme(argument)) return SetTargetFromLink(argument, target);
    if (argument.starts_with('[')) return SetTargetFromHostAndStrictPort(argument, target);
    const bool onlyColons = argument.find_first_not_of(':') == std::string_view::npos;
    if (!onlyColons && IsIpv6Address(argument)) return SetTarget(argument, std::nullopt, target);
    if (!onlyColons && IsMalformedIpv6Address(argument)) return CommandLineResult::Error;
    if (argument.find(':') == std::string_view::npos) {
        return SetTarget(argument, std::nullopt, target);
    }
    return SetTargetFromColonForm(argument, target);
}

// "host port", where the host may be a bracketed IPv6 address; the port is
// read as ParseDecimal reads it.
CommandLineResult SetTargetFromHostAndPort(std::string_view host, std::string_view port,
                                           ConnectionTarget& target) {
    if (host.starts_with('[')) {
        const std::optional<std::string_view> address = BracketedIpv6Address(host);
        if (!address) return CommandLineResult::Error;
        host = *address;
    }
    return SetTarget(host, ParseDecimal(port), target);
}

CommandLineResult SetTargetFromArguments(int argc, const char* const* argv,
                                         ConnectionTarget& target) {
    switch (argc) {
        case 2:
            return SetTargetFromArgument(argv[1], target);
        case 3:
            return SetTargetFromHostAndPort(argv[1], argv[2], target);
        default:
            return CommandLineResult::Error;
    }
}

}  // namespace

std::optional<ConnectionTarget> ParseHostEntry(std::string_view entry) {
    ConnectionTarget parsed;
    const bool link = HasLinkScheme(entry);
    const bool withPort = entry.starts_with('[') ? entry.find("]:") != std::string_view::npos
                                                 : std::count(entry.begin(), entry.end(), ':') == 1;
    if (!link && !withPort) return std::nullopt;
    const CommandLineResult result =
        link ? SetTargetFromArgument(entry, parsed) : SetTargetFromHostAndStrictPort(entry, parsed);
    if (result != CommandLineResult::TargetKnown) return std::nullopt;
    return parsed;
}

// The arguments are read into a target of their own, so that an error leaves
// the caller's untouched.
CommandLineResult ParseCommandLine(int argc, const char* const* argv, bool tls, bool raw,
                                   ConnectionTarget& target,
                                   const std::function<bool(ConnectionTarget&)>& connectDialog) {
    if (argc <= 1) {
        target.Tls = tls;
        target.Raw = raw;
        return connectDialog(target) ? CommandLineResult::TargetKnown
                                     : CommandLineResult::DialogCancelled;
    }
    ConnectionTarget parsed;
    parsed.Tls = tls;
    parsed.Raw = raw;
    const CommandLineResult result = SetTargetFromArguments(argc, argv, parsed);
    if (result == CommandLineResult::TargetKnown) target = parsed;
    return result;
}

}  // namespace quill
