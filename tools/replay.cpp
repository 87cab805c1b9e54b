// quillterm-replay: shows what a byte stream from a server does to the
// terminal, without a window. The output format is relied on by tests and users.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "replay_session.h"

namespace {

struct Options {
    bool wrap = false;
    bool showCodes = false;
    bool history = false;
    int chunk = quill::kReceiveChunk;
    std::string file = "-";
};

[[noreturn]] void Fail(const std::string& message) {
    std::cerr << "quillterm-replay: " << message << "\n";
    std::exit(2);
}

int ParseChunk(const std::string& text) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > quill::kReceiveChunk) {
        Fail("--chunk takes a number from 1 to 100, not '" + text + "'");
    }
    return static_cast<int>(value);
}

Options ParseArguments(int argc, char** argv) {
    Options options;
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--wrap") {
            options.wrap = true;
        } else if (arg == "--show-codes") {
            options.showCodes = true;
        } else if (arg == "--history") {
            options.history = true;
        } else if (arg == "--chunk") {
            if (i + 1 >= argc) Fail("--chunk needs a number");
            options.chunk = ParseChunk(argv[++i]);
        } else if (arg.size() > 1 && arg[0] == '-') {
            Fail("unknown option '" + arg + "'");
        } else if (haveFile) {
            Fail("only one FILE may be given");
        } else {
            options.file = arg;
            haveFile = true;
        }
    }
    return options;
}

std::string ReadInput(const std::string& file) {
    std::ifstream in;
    if (file != "-") {
        in.open(file, std::ios::binary);
        if (!in) Fail("cannot read '" + file + "'");
    }
    std::istream& source = file == "-" ? std::cin : in;
    try {
        std::string bytes{std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()};
        if (!source.bad()) return bytes;
    } catch (const std::exception&) {
        // a directory, say: reported below like any other unreadable input
    }
    Fail("cannot read '" + file + "'");
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = ParseArguments(argc, argv);
    const std::string input = ReadInput(options.file);
    quill::ReplaySession session(options.wrap, options.showCodes);
    session.Feed(input, options.chunk);
    const std::string out = session.Render(options.history);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 2;
}
