#include "core/script/script_lexer.h"

#include <cstdint>
#include <optional>
#include <utility>

#include "core/text/utf8_codec.h"

namespace quill {
namespace {

// The one-letter escapes and what they stand for; \xHH is read apart.
constexpr std::pair<char, char32_t> kEscapes[] = {
    {'r', '\r'}, {'n', '\n'}, {'t', '\t'}, {'e', 0x1B}, {'\\', '\\'}, {'"', '"'},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::optional<int> HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

// Reads one quoted string starting at line[at] == '"'; leaves `at` after the
// closing quote.
class StringReader {
  public:
    StringReader(std::string_view line, std::size_t& at) : line_(line), at_(at) {}

    std::optional<std::string> Read(ScriptText& out) {
        for (++at_; at_ < line_.size(); ++at_) {
            const char c = line_[at_];
            if (c == '"') {
                ++at_;
                return Finish();
            }
            if (c == '\\') {
                if (auto fault = Escape(out)) return fault;
            } else if (auto fault = Byte(static_cast<std::uint8_t>(c), out)) {
                return fault;
            }
        }
        return "the string has no closing quote";
    }

  private:
    std::optional<std::string> Finish() {
        if (utf8_.Open()) return std::string("the string is not UTF-8 text");
        return std::nullopt;
    }

    std::optional<std::string> Byte(std::uint8_t b, ScriptText& out) {
        if (b < 0x80) {
            if (utf8_.Open()) return "the string is not UTF-8 text";
            out.push_back(b);
            return std::nullopt;
        }
        const Utf8Decoder::Output decoded = utf8_.Feed(b);
        if (decoded.malformed > 0) return "the string is not UTF-8 text";
        if (decoded.character != Utf8Decoder::kNoCharacter) out.push_back(decoded.character);
        return std::nullopt;
    }

    std::optional<std::string> Escape(ScriptText& out) {
        if (utf8_.Open()) return "the string is not UTF-8 text";
        if (++at_ == line_.size()) return "the string has no closing quote";
        const char c = line_[at_];
        if (c == 'x') return HexByte(out);
        for (const auto& [letter, character] : kEscapes) {
            if (c == letter) {
                out.push_back(character);
                return std::nullopt;
            }
        }
        return "unknown escape \\" + std::string(1, c);
    }

    std::optional<std::string> HexByte(ScriptText& out) {
        const std::optional<int> high =
            at_ + 1 < line_.size() ? HexDigit(line_[at_ + 1]) : std::nullopt;
        const std::optional<int> low =
            at_ + 2 < line_.size() ? HexDigit(line_[at_ + 2]) : std::nullopt;
        if (!high || !low) return "\\x wants two hexadecimal digits";
        at_ += 2;
        out.push_back(kRawByteBase + static_cast<char32_t>(*high * 16 + *low));
        return std::nullopt;
    }

    std::string_view line_;
    std::size_t& at_;
    Utf8Decoder utf8_;
};

}  // namespace

std::variant<std::vector<ScriptToken>, std::string> TokenizeScriptLine(std::string_view line) {
    std::vector<ScriptToken> tokens;
    std::size_t at = 0;
    while (true) {
        while (at < line.size() && IsBlank(line[at])) ++at;
        if (at == line.size()) return tokens;
        ScriptToken token;
        if (line[at] == '"') {
            token.quoted = true;
            if (auto fault = StringReader(line, at).Read(token.text)) return *fault;
        } else {
            const std::size_t start = at;
            while (at < line.size() && !IsBlank(line[at]) && line[at] != '"') ++at;
            token.word = line.substr(start, at - start);
        }
        if (at < line.size() && !IsBlank(line[at])) {
            return "a blank is missing after " +
                   (token.quoted ? std::string("a string") : token.word);
        }
        tokens.push_back(std::move(token));
    }
}

std::string ScriptTextBytes(const ScriptText& text) {
    std::string bytes;
    for (const char32_t c : text) {
        if (IsRawByte(c)) {
            bytes.push_back(static_cast<char>(c - kRawByteBase));
            continue;
        }
        AppendUtf8(bytes, c);
    }
    return bytes;
}

}  // namespace quill
