#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quill {

// The command line with a leading "--script FILE" pair taken off.
struct ScriptArgument {
    // "--script" came without a FILE: a command-line error.
    bool error = false;
    std::optional<std::string> file;
    // The program name and the arguments left, for ParseCommandLine.
    std::vector<const char*> rest;
};

ScriptArgument TakeScriptArgument(int argc, const char* const* argv);

}  // namespace quill
