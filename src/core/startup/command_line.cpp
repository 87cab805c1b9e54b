#include "core/startup/command_line.h"

#include <string_view>

#include "core/settings/settings_store.h"  // ParseDecimal

namespace quill {
namespace {

CommandLineResult SetTarget(std::string_view host, int port, ConnectionTarget& target) {
    if (host.size() > kHostNameMaxLength) return CommandLineResult::Error;
    target.HostName = host;
    target.PortNumber = port;
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
        return SetTarget(host, kDefaultPort, target);
    }
    return SetTarget(host, ParseDecimal(argument.substr(colon + 1)), target);
}

}  // namespace

CommandLineResult ParseCommandLine(int argc, const char* const* argv, ConnectionTarget& target,
                                   const std::function<bool(ConnectionTarget&)>& connectDialog) {
    switch (argc) {
        case 0:
        case 1:
            return connectDialog(target) ? CommandLineResult::TargetKnown
                                         : CommandLineResult::DialogCancelled;
        case 2:
            if (std::string_view(argv[1]).find(':') == std::string_view::npos) {
                return SetTarget(argv[1], kDefaultPort, target);
            }
            return SetTargetFromColonForm(argv[1], target);
        case 3:
            return SetTarget(argv[1], ParseDecimal(argv[2]), target);
        default:
            return CommandLineResult::Error;
    }
}

}  // namespace quill
