#pragma once

// Terminal behaviour written as data: a script feeds bytes to a fresh terminal
// and states what the replay output must show afterwards.
//
//   test NAME
//   options wrap showcodes extended chunk=N   (any of them, optional)
//   in "bytes"                         \e \r \n \t \b \0 \xHH \\ \" as escapes
//   expect LINE                        a line of the replay output, verbatim
//                                      (cursor, attribute, region, keys, beeps, sent)
//   row N "text"                       screen row N, padded with spaces to 80
//   history N "text"                   buffer row N of the history, padded
//   attrs N "digits"                   attribute codes of screen row N, padded with 0

#include <ostream>
#include <string>
#include <vector>

namespace quill::test {

struct ScriptCase {
    std::string file;
    int line = 0;
    std::string name;
    bool wrap = false;
    bool showCodes = false;
    bool extended = false;
    int chunk = 100;
    std::string input;
    std::vector<std::string> expectations;  // raw expectation lines with their line numbers
    std::vector<int> expectationLines;
};

// A quoted text with the escapes above; `where` names it in the error
// thrown for a text without quotes.
std::string Unescape(const std::string& quoted, const std::string& where);
// What an `in` line feeds: its quoted text, N times after "*N".
std::string InputText(const std::string& rest, const std::string& where);

// Names a case in test reports by its file, line and title.
void PrintTo(const ScriptCase& c, std::ostream* os);

std::vector<ScriptCase> LoadScriptCases(const std::string& directory);

// Runs one case; returns an empty string when every expectation holds,
// else a description of what differed.
std::string RunScriptCase(const ScriptCase& c);

}  // namespace quill::test
