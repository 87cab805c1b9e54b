#pragma once

#include <functional>

#include "core/interfaces/connection_target.h"

namespace quill {

enum class CommandLineResult {
    TargetKnown,      // go on and connect
    Error,            // "Commandline error"
    DialogCancelled,  // the start-up Connect dialog was cancelled
};

// Takes the connection target from the arguments (argc counts the program
// name): none opens connectDialog, which fills target and returns true on OK;
// "host", "host:port" or "host port" set it directly. Three or more
// arguments, a host longer than kHostNameMaxLength and an argument made only
// of colons are errors.
CommandLineResult ParseCommandLine(int argc, const char* const* argv, ConnectionTarget& target,
                                   const std::function<bool(ConnectionTarget&)>& connectDialog);

}  // namespace quill
