#include "terminal_script.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "replay_session.h"

namespace quill::test {

std::string Unescape(const std::string& quoted, const std::string& where) {
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') {
        throw std::runtime_error(where + ": expected a quoted text");
    }
    std::string out;
    for (std::size_t i = 1; i + 1 < quoted.size(); ++i) {
        if (quoted[i] != '\\') {
            out += quoted[i];
            continue;
        }
        const char e = quoted[++i];
        switch (e) {
            case 'e':
                out += '\x1b';
                break;
            case 'r':
                out += '\r';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case '0':
                out += '\0';
                break;
            case 'x':
                out += static_cast<char>(std::stoi(quoted.substr(i + 1, 2), nullptr, 16));
                i += 2;
                break;
            default:
                out += e;
        }
    }
    return out;
}

std::string InputText(const std::string& rest, const std::string& where) {
    const std::size_t close = rest.rfind('"');
    const std::string tail = rest.substr(close + 1);
    const std::size_t star = tail.find('*');
    const int repeat = star == std::string::npos ? 1 : std::stoi(tail.substr(star + 1));
    const std::string text = Unescape(rest.substr(0, close + 1), where);
    std::string input;
    for (int i = 0; i < repeat; ++i) input += text;
    return input;
}

namespace {

std::string Rest(std::istringstream& in) {
    std::string rest;
    std::getline(in >> std::ws, rest);
    return rest;
}

void ParseLine(std::vector<ScriptCase>& cases, const std::string& file, int number,
               const std::string& line) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word) || word[0] == '#') return;
    const std::string where = file + ":" + std::to_string(number);
    if (word == "test") {
        ScriptCase c;
        c.file = file;
        c.line = number;
        c.name = Rest(in);
        cases.push_back(c);
        return;
    }
    if (cases.empty()) throw std::runtime_error(where + ": '" + word + "' before any test");
    ScriptCase& c = cases.back();
    if (word == "options") {
        for (std::string option; in >> option;) {
            if (option == "wrap")
                c.wrap = true;
            else if (option == "showcodes")
                c.showCodes = true;
            else if (option == "extended")
                c.extended = true;
            else if (option.rfind("chunk=", 0) == 0)
                c.chunk = std::stoi(option.substr(6));
            else
                throw std::runtime_error(where + ": unknown option " + option);
        }
    } else if (word == "in") {
        c.input += InputText(Rest(in), where);
    } else if (word == "expect" || word == "row" || word == "history" || word == "attrs") {
        c.expectations.push_back(line.substr(line.find(word)));
        c.expectationLines.push_back(number);
    } else {
        throw std::runtime_error(where + ": unknown directive " + word);
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The replay line an expectation is about, and the text it must equal.
std::pair<std::string, std::string> Expected(const std::string& expectation,
                                             const std::vector<std::string>& output,
                                             const std::string& where) {
    std::istringstream in(expectation);
    std::string word;
    in >> word;
    if (word == "expect") {
        const std::string wanted = Rest(in);
        const std::string key = wanted.substr(0, wanted.find(' '));
        const auto it = std::find_if(output.begin(), output.end(), [&](const std::string& l) {
            return l.substr(0, l.find(' ')) == key;
        });
        return {it == output.end() ? "(no " + key + " line)" : *it, wanted};
    }
    int row = 0;
    in >> row;
    std::string text = Unescape(Rest(in), where);
    const char pad = word == "attrs" ? '0' : ' ';
    text.resize(kColumns, pad);
    const std::string section =
        word == "row" ? "screen" : (word == "attrs" ? "attributes" : "history");
    const auto at = std::find(output.begin(), output.end(), section);
    const int limit = word == "history" ? kHistoryRows : kScreenRows;
    if (at == output.end() || row < 0 || row >= limit) {
        throw std::runtime_error(where + ": no such row");
    }
    return {*(at + 1 + row), "|" + text + "|"};
}

}  // namespace

void PrintTo(const ScriptCase& c, std::ostream* os) {
    *os << c.file << ":" << c.line << " " << c.name;
}

std::vector<ScriptCase> LoadScriptCases(const std::string& directory) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (entry.path().extension() == ".test") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::vector<ScriptCase> cases;
    for (const auto& path : files) {
        std::ifstream in(path);
        int number = 0;
        for (std::string line; std::getline(in, line);) {
            ParseLine(cases, path.filename().string(), ++number, line);
        }
    }
    return cases;
}

std::string RunScriptCase(const ScriptCase& c) {
    ReplaySession session(c.wrap, c.showCodes);
    session.Options().SetExtended(c.extended);
    session.Feed(c.input, c.chunk);
    const std::vector<std::string> output = Lines(session.Render(true));
    std::string failures;
    for (std::size_t i = 0; i < c.expectations.size(); ++i) {
        const std::string where = c.file + ":" + std::to_string(c.expectationLines[i]);
        const auto [actual, wanted] = Expected(c.expectations[i], output, where);
        if (actual != wanted) {
            failures += where + ": " + c.expectations[i] + "\n  wanted: " + wanted +
                        "\n  actual: " + actual + "\n";
        }
    }
    return failures;
}

}  // namespace quill::test
