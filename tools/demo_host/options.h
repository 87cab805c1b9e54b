#pragma once

#include <optional>
#include <string>

namespace quill::demo {

// quillterm-demo-host [--login-file FILE]
//     [--play LOG [--timing TIMING] [--speed X] | --cast FILE.cast [--speed X]] PORT
struct Options {
    int port = 0;  // 0: a free port
    std::optional<std::string> play;
    std::optional<std::string> timing;
    std::optional<std::string> cast;  // an asciicast recording to play
    double speed = 1;
    // Ask for the login this file holds before the session starts.
    std::optional<std::string> loginFile;
};

// nullopt for bad use, with a one-line `error`.
std::optional<Options> ParseOptions(int argc, char** argv, std::string& error);

}  // namespace quill::demo
