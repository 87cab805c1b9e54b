#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/script/script.h"

namespace quill {

// A word (command, keyword, label, number) or a string in double quotes.
struct ScriptToken {
    bool quoted = false;
    std::string word;  // unquoted tokens
    ScriptText text;   // quoted tokens, escapes decoded
};

// Splits one line of a script at blanks. Strings take the escapes
// \r \n \t \e \\ \" and \xHH; the text between them must be UTF-8.
// On a fault: what is wrong.
std::variant<std::vector<ScriptToken>, std::string> TokenizeScriptLine(std::string_view line);

// The UTF-8 bytes of a string's characters; a \xHH byte stays that byte.
std::string ScriptTextBytes(const ScriptText& text);

}  // namespace quill
