#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace quill {

// A string of a script. Characters are code points; a byte written as \xHH
// is kept apart from them, in the range kRawByteBase + 0x00..0xFF (code
// points no UTF-8 text can hold), because `send` sends it as that very byte.
using ScriptText = std::u32string;
inline constexpr char32_t kRawByteBase = 0xDC00;
inline constexpr bool IsRawByte(char32_t c) {
    return c >= kRawByteBase && c <= kRawByteBase + 0xFF;
}

// A time a script waits, in milliseconds.
using ScriptMillis = long long;

inline constexpr ScriptMillis kDefaultExpectMillis = 30'000;

struct ExpectCommand {
    std::vector<ScriptText> texts;
    ScriptMillis within = kDefaultExpectMillis;
    std::optional<std::size_t> orTarget;  // the command index to jump to on time-out
};
struct IfMatchedCommand {
    int number = 0;
    std::size_t target = 0;
};
struct GotoCommand {
    std::size_t target = 0;
};
struct SendCommand {
    ScriptText text;
    bool enter = false;  // sendln
};
struct PasswordCommand {
    std::string name;  // UTF-8
};
struct PauseCommand {
    ScriptMillis millis = 0;
};
struct StopCommand {
    std::optional<std::string> message;  // UTF-8
};

using ScriptCommand = std::variant<ExpectCommand, IfMatchedCommand, GotoCommand, SendCommand,
                                   PasswordCommand, PauseCommand, StopCommand>;

// One command and the line of the file it came from.
struct ScriptStep {
    int line = 0;
    ScriptCommand command;
};

// A checked script: jump targets are step indexes; a label at the end of
// the file is the index one past the last step.
struct Script {
    std::string file;
    std::vector<ScriptStep> steps;
};

// What is wrong with a script, and where.
struct ScriptError {
    std::string file;
    int line = 0;
    std::string what;

    // "FILE, line N: WHAT"
    std::string Text() const;
};

// Reads a whole script (its UTF-8 text) and checks every line and label;
// `file` names it in errors.
std::variant<Script, ScriptError> ParseScript(const std::string& text, const std::string& file);

}  // namespace quill
