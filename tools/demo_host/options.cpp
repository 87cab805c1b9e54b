#include "options.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace quill::demo {
namespace {

constexpr std::string_view kUsage =
    "usage: [--login-file FILE] [--play LOG [--timing TIMING] [--speed X] | --cast FILE.cast "
    "[--speed X]] PORT, 0 picks a free port";

// The arguments as given, before their values are checked.
struct Words {
    std::optional<std::string> play, timing, speed, port, loginFile, cast;
};

std::optional<std::string>* SlotFor(std::string_view argument, Words& words) {
    if (argument == "--play") return &words.play;
    if (argument == "--timing") return &words.timing;
    if (argument == "--speed") return &words.speed;
    if (argument == "--login-file") return &words.loginFile;
    if (argument == "--cast") return &words.cast;
    return nullptr;
}

// False for an unknown option, one given twice or without its value, and a
// missing or second PORT.
bool Collect(int argc, char** argv, Words& words) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::optional<std::string>* slot = SlotFor(argument, words);
        if (slot == nullptr) {
            if (argument.starts_with("--")) return false;
            slot = &words.port;
        } else if (++i == argc) {
            return false;
        }
        if (slot->has_value()) return false;
        *slot = argv[i];
    }
    return words.port.has_value();
}

template <typename Number>
bool ParseWhole(const std::string& text, Number& value) {
    const char* end = text.data() + text.size();
    const auto [stop, code] = std::from_chars(text.data(), end, value);
    return code == std::errc() && stop == end;
}

bool ParsePort(const std::string& text, int& port) {
    return ParseWhole(text, port) && port >= 0 && port <= 65535;
}

bool ParseSpeed(const std::string& text, double& speed) {
    return ParseWhole(text, speed) && std::isfinite(speed) && speed > 0;
}

}  // namespace

std::optional<Options> ParseOptions(int argc, char** argv, std::string& error) {
    Words words;
    Options options;
    if (!Collect(argc, argv, words) || !ParsePort(*words.port, options.port)) {
        error = kUsage;
        return std::nullopt;
    }
    if (words.play && words.cast) {
        error = "--play and --cast exclude each other";
        return std::nullopt;
    }
    if (!words.play && (words.timing || (words.speed && !words.cast))) {
        error = "--timing and --speed go with --play (--speed also with --cast)";
        return std::nullopt;
    }
    if (words.speed && !ParseSpeed(*words.speed, options.speed)) {
        error = "--speed wants a number greater than 0, not '" + *words.speed + "'";
        return std::nullopt;
    }
    options.play = words.play;
    options.timing = words.timing;
    options.cast = words.cast;
    options.loginFile = words.loginFile;
    return options;
}

}  // namespace quill::demo
