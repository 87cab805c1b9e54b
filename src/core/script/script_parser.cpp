#include <charconv>
#include <cmath>
#include <map>
#include <string_view>

#include "core/script/script.h"
#include "core/script/script_lexer.h"

namespace quill {
namespace {

// The longest time a script may wait at once: a day.
constexpr double kLongestSeconds = 86'400;

using Tokens = std::vector<ScriptToken>;

// A jump that waits for its label's index.
struct PendingJump {
    std::size_t step = 0;
    std::string label;
};

// Every command has at most one jump.
void SetJumpTarget(ScriptCommand& command, std::size_t target) {
    if (auto* expect = std::get_if<ExpectCommand>(&command)) expect->orTarget = target;
    if (auto* ifMatched = std::get_if<IfMatchedCommand>(&command)) ifMatched->target = target;
    if (auto* jump = std::get_if<GotoCommand>(&command)) jump->target = target;
}

bool IsLabelCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

bool IsLabelName(std::string_view name) {
    if (name.empty()) return false;
    for (const char c : name) {
        if (!IsLabelCharacter(c)) return false;
    }
    return true;
}

std::string Describe(const ScriptToken& token) {
    return token.quoted ? "a string" : "'" + token.word + "'";
}

// Seconds as digits with an optional fraction ("2", "0.5"), as milliseconds.
std::optional<ScriptMillis> ParseSeconds(const ScriptToken& token) {
    const std::string& w = token.word;
    if (token.quoted || w.empty() || w.front() < '0' || w.front() > '9' || w.back() == '.') {
        return std::nullopt;
    }
    double seconds = 0;
    const auto [end, code] =
        std::from_chars(w.data(), w.data() + w.size(), seconds, std::chars_format::fixed);
    if (code != std::errc() || end != w.data() + w.size() || seconds > kLongestSeconds) {
        return std::nullopt;
    }
    return static_cast<ScriptMillis>(std::llround(seconds * 1000));
}

class Parser {
  public:
    explicit Parser(std::string file) { script_.file = std::move(file); }

    std::variant<Script, ScriptError> Run(const std::string& text) {
        std::size_t start = 0;
        for (int line = 1; start <= text.size(); ++line) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            if (!Line(std::string_view(text).substr(start, end - start), line)) return error_;
            start = end + 1;
        }
        for (const PendingJump& jump : jumps_) {
            const auto label = labels_.find(jump.label);
            if (label == labels_.end()) {
                Fail(script_.steps[jump.step].line, "there is no label " + jump.label);
                return error_;
            }
            SetJumpTarget(script_.steps[jump.step].command, label->second.step);
        }
        return std::move(script_);
    }

  private:
    struct Label {
        std::size_t step = 0;
        int line = 0;
    };

    bool Fail(int line, std::string what) {
        error_ = ScriptError{script_.file, line, std::move(what)};
        return false;
    }

    bool Line(std::string_view text, int line) {
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos || text[first] == '#') return true;
        auto tokens = TokenizeScriptLine(text);
        if (auto* fault = std::get_if<std::string>(&tokens)) return Fail(line, *fault);
        return Command(std::get<Tokens>(tokens), line);
    }

    bool Command(const Tokens& tokens, int line) {
        const ScriptToken& head = tokens.front();
        if (head.quoted) return Fail(line, "a line starts with a command, not a string");
        if (tokens.size() == 1 && head.word.size() > 1 && head.word.back() == ':') {
            return DefineLabel(head.word.substr(0, head.word.size() - 1), line);
        }
        line_ = line;
        const std::string& name = head.word;
        const Tokens args(tokens.begin() + 1, tokens.end());
        if (name == "expect") return Expect(args);
        if (name == "if") return IfMatched(args);
        if (name == "goto") return Goto(args);
        if (name == "send" || name == "sendln") return Send(args, name == "sendln");
        if (name == "password") return Password(args);
        if (name == "pause") return Pause(args);
        if (name == "stop") return Stop(args);
        return Fail(line, "unknown command '" + name + "'");
    }

    bool DefineLabel(const std::string& name, int line) {
        if (!IsLabelName(name)) return Fail(line, "'" + name + "' is no label name");
        const auto [where, added] = labels_.try_emplace(name, Label{script_.steps.size(), line});
        if (!added) {
            return Fail(line, "the label " + name + " is already on line " +
                                  std::to_string(where->second.line));
        }
        return true;
    }

    void Add(ScriptCommand command) { script_.steps.push_back({line_, std::move(command)}); }

    // Adds a command that jumps; the jump is resolved once every label is known.
    bool AddJumping(ScriptCommand command, const ScriptToken& label, const char* after) {
        if (label.quoted || !IsLabelName(label.word)) {
            return Fail(line_, std::string(after) + " wants a label, not " + Describe(label));
        }
        jumps_.push_back({script_.steps.size(), label.word});
        Add(std::move(command));
        return true;
    }

    bool Expect(const Tokens& args) {
        ExpectCommand expect;
        std::size_t i = 0;
        for (; i < args.size() && args[i].quoted; ++i) {
            if (args[i].text.empty()) return Fail(line_, "expect wants a text that is not empty");
            expect.texts.push_back(args[i].text);
        }
        if (expect.texts.empty()) return Fail(line_, "expect wants a text in double quotes");
        if (i < args.size() && !args[i].quoted && args[i].word == "within") {
            const std::optional<ScriptMillis> millis =
                i + 1 < args.size() ? ParseSeconds(args[i + 1]) : std::nullopt;
            if (!millis) return Fail(line_, "within wants a number of seconds");
            expect.within = *millis;
            i += 2;
        }
        bool jumps = false;
        if (i < args.size() && !args[i].quoted && args[i].word == "or") {
            if (i + 1 == args.size()) return Fail(line_, "or wants a label");
            jumps = true;
            i += 2;
        }
        if (i < args.size()) return Fail(line_, "expect does not take " + Describe(args[i]));
        if (!jumps) {
            Add(std::move(expect));
            return true;
        }
        return AddJumping(std::move(expect), args.back(), "or");
    }

    bool IfMatched(const Tokens& args) {
        const bool shaped = args.size() == 4 && !args[0].quoted && args[0].word == "matched" &&
                            !args[2].quoted && args[2].word == "goto";
        if (!shaped) return Fail(line_, "if is written: if matched N goto LABEL");
        int number = 0;
        const std::string& n = args[1].word;
        const auto [end, code] = std::from_chars(n.data(), n.data() + n.size(), number);
        if (args[1].quoted || code != std::errc() || end != n.data() + n.size() || number < 1) {
            return Fail(line_,
                        "if matched wants a text number from 1 up, not " + Describe(args[1]));
        }
        return AddJumping(IfMatchedCommand{number, 0}, args[3], "goto");
    }

    bool Goto(const Tokens& args) {
        if (args.size() != 1) return Fail(line_, "goto wants one label");
        return AddJumping(GotoCommand{}, args[0], "goto");
    }

    bool OneString(const Tokens& args, const char* command) {
        if (args.size() == 1 && args[0].quoted) return true;
        if (args.empty())
            return Fail(line_, std::string(command) + " wants a text in double quotes");
        if (args.size() > 1) return Fail(line_, std::string(command) + " takes one text only");
        return Fail(line_, std::string(command) + " wants a text in double quotes, not " +
                               Describe(args[0]));
    }

    bool Send(const Tokens& args, bool enter) {
        if (!OneString(args, enter ? "sendln" : "send")) return false;
        Add(SendCommand{args[0].text, enter});
        return true;
    }

    bool Password(const Tokens& args) {
        if (!OneString(args, "password")) return false;
        if (args[0].text.empty()) return Fail(line_, "password wants a name that is not empty");
        Add(PasswordCommand{ScriptTextBytes(args[0].text)});
        return true;
    }

    bool Pause(const Tokens& args) {
        const std::optional<ScriptMillis> millis =
            args.size() == 1 ? ParseSeconds(args[0]) : std::nullopt;
        if (!millis) return Fail(line_, "pause wants a number of seconds");
        Add(PauseCommand{*millis});
        return true;
    }

    bool Stop(const Tokens& args) {
        if (args.empty()) {
            Add(StopCommand{});
            return true;
        }
        if (!OneString(args, "stop")) return false;
        Add(StopCommand{ScriptTextBytes(args[0].text)});
        return true;
    }

    Script script_;
    ScriptError error_;
    std::map<std::string, Label> labels_;
    std::vector<PendingJump> jumps_;
    int line_ = 0;
};

}  // namespace

std::string ScriptError::Text() const {
    return file + ", line " + std::to_string(line) + ": " + what;
}

std::variant<Script, ScriptError> ParseScript(const std::string& text, const std::string& file) {
    return Parser(file).Run(text);
}

}  // namespace quill
