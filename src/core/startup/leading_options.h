#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quill {

// The command line with its leading options taken off: "--script FILE",
// "--tls" and "--raw", in any order, each at most once.
struct LeadingOptions {
    // "--script" came without a FILE, or an option came twice: a
    // command-line error.
    bool error = false;
    std::optional<std::string> file;
    // "--tls": the connection is made over TLS.
    bool tls = false;
    // "--raw": raw TCP, no Telnet.
    bool raw = false;
    // The program name and the arguments left, for ParseCommandLine.
    std::vector<const char*> rest;
};

LeadingOptions TakeLeadingOptions(int argc, const char* const* argv);

}  // namespace quill
